[playlist]
NumberOfEntries=2
File1=http://a.example/live
Title1=甲台
Group1=国内广播
File3=mms://b.example/
Length1=-1
Version=2
