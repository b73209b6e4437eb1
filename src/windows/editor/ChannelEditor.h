#pragma once

#include "catalogue/Catalogue.h"
#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "sqlite/Database.h"
#include "windows/forms/Forms.h"

#include <optional>
#include <vector>

// The channel editor, in which stations are added, found by part of their name and changed. Its upper section adds
// a station, its lower one finds stations and changes the name and web address of one of them; nothing in it
// changes a category or deletes a station. The main window's "频道设置" shows it; the window system decides where
// it first appears. Playlist files dropped onto it are imported.
class add : public Form {
    Q_OBJECT

public:
    explicit add(Forms& forms);

    void Form_Load() override;

    Shape Shape1;
    Shape Shape2;
    Label Label1;
    Label Label2;
    // The window's caption, where a title bar would show it: the search writes its count there.
    Label CaptionLabel;
    Label Label3;
    TextBox Text1;
    Label Label5;
    ComboBox Combo1;
    Label Label4;
    TextBox Text2;
    Image Image1;
    Image Image2;
    Label Label9;
    TextBox Text3;
    Image Image3;
    ListBox List1;
    Label Label8;
    Label Label6;
    TextBox Text4;
    Label Label7;
    TextBox Text5;
    Image Image4;
    Image Image5;

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
    int listStations(const Catalogue::StationQuery& query);

    Forms& forms_;
    std::optional<Database> connection_;
    // What a change rewrites the first station of: the last search, or the station of the line chosen since.
    std::optional<Catalogue::StationQuery> currentQuery_;
    // The row of the station each line of List1 shows, line by line.
    std::vector<qint64> lineStations_;
};
