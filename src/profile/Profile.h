#pragma once

#include <QString>

// The value of key strName in section strSection of strFileName, read character by character with the file's own
// grammar, or "" after a failure. It never throws: a missing file or a header that ends the file shows "节点未找到";
// any read past the end of the file after that shows "在文件中没有找到所要查找的字段" (Abort, Retry, Ignore).
QString GetProfile(const QString& strFileName, const QString& strSection, const QString& strName);

// Rewrites strFileName line by line so that every header of strSection carries strName=strSave, keeping a full
// copy of the new content in programDir()/tvset.tmp. A file from which GetProfile would not read strSave back, a
// missing one included, gets "[strSection]" and the entry as its first two lines instead, its own lines kept after
// them. Throws FileFailure (core/FileFailure.h) when the file cannot be read or written, leaving it exactly as it
// was.
void setProfile(const QString& strFileName, const QString& strSection, const QString& strName, const QString& strSave);

// Removes the passing files that a save of `strFileName` (and of tvset.tmp beside the program) killed half-way left
// behind. Every save does it first; the start of the windows does it too.
void removeUnfinishedSaves(const QString& strFileName);
