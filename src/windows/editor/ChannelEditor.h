#pragma once

#include "catalogue/Catalogue.h"
#include "catalogue/StationPages.h"
#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "sqlite/Database.h"
#include "windows/forms/Forms.h"

#include <QTimer>
#include <optional>

// The channel editor, in which stations are added, found by part of their name and changed. Its upper section adds
// a station, its lower one finds stations and changes the name and web address of one of them; nothing in it
// changes a category or deletes a station. The main window's "频道设置" shows it; the window system decides where
// it first appears. Playlist files dropped onto it are imported.
class add : public Form {
    Q_OBJECT

public:
    explicit add(Forms& forms);

    void Form_Load() override;

    Shape Shape1; // frame round the add section
    Shape Shape2; // frame round the find-and-change section
    Label Label1; // drag handle "移动": moves the window, the browser panels dock again
    Label Label2; // "关闭": closes the editor and forgets what it held
    // The window's caption, where a title bar would show it: the search writes its count there.
    Label CaptionLabel; // the caption line: "总共找到 n 记录" after a search
    Label Label3;       // "名称：" beside Text1
    TextBox Text1;      // name of the station to add
    Label Label5;       // "类别：" beside Combo1
    ComboBox Combo1;    // category of the station to add: chosen or typed, one blank at first
    Label Label4;       // "网址：" beside Text2
    TextBox Text2;      // web address of the station to add
    Image Image1;       // "添加": adds the station
    Image Image2;       // "取消": empties Text1 and Text2
    Label Label9;       // "搜索结果列表：" above List1
    TextBox Text3;      // part of a name to search for
    Image Image3;       // "搜索": lists the stations whose name contains Text3
    ListBox List1;      // search results; a chosen line shows its station in Text4 and Text5
    Label Label8;       // hint "请先输入名称，搜索到后再进行修改！"
    Label Label6;       // "名称：" beside Text4
    TextBox Text4;      // new name of the station to change
    Label Label7;       // "网址：" beside Text5
    TextBox Text5;      // new web address of the station to change
    Image Image4;       // "修改": changes the chosen station, or the first found
    Image Image5;       // "取消": empties Text4 and Text5

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void connectHandlers();
    void designForKeysAndScreenReaders();
    void Label1_MouseDown(int button);
    void Label2_Click();
    void Image1_MouseUp();
    void Image2_MouseUp();
    void Image3_MouseUp();
    void Image4_MouseUp();
    void Image5_MouseUp();
    void List1_Click();
    void findMore();

    Forms& forms_;
    std::optional<Database> connection_;
    // What a change rewrites the first station of: the last search, or the station of the line chosen since.
    std::optional<Catalogue::StationQuery> currentQuery_;
    // The stations of the last search, found a stretch at a time while findingOn_ runs; nothing before a search.
    std::optional<Catalogue::StationPages> found_;
    QTimer findingOn_;
};
