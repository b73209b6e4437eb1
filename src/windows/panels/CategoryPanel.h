#pragma once

#include "catalogue/Catalogue.h"
#include "catalogue/StationPages.h"
#include "health/HealthTable.h"
#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "sqlite/Database.h"
#include "windows/forms/Forms.h"

#include <QTimer>
#include <map>
#include <memory>
#include <optional>
#include <vector>

// What tells the TV panel and the radio panel apart: their category labels, where the list sits, the word of
// the count text and the side of the main window they dock on. Positions in twips.
struct PanelDesign {
    struct CategoryLabel {
        int left;
        int top;
        QString caption;
    };
    enum class Side { Left, Right };

    int listLeft;
    int countLeft;
    std::vector<CategoryLabel> categories;
    QString countWord;
    Side side;
    // What a screen reader calls the panel and its list.
    QString windowName;
    QString listName;
};

// A browser panel: a column of category labels, the list of the stations of the category last released, and
// the count label under the list. A line's tooltip says what is on its station now and next, where it has a guide. Each
// panel keeps its own catalogue connection from its load on.
class CategoryPanel : public Form {
    Q_OBJECT

public:
    void Form_Load() override;
    // The station of a line the list shows, by its row; 0 for none. For what a line shows beside its name
    // (ListBox::setLineData): the line's page is held, so this asks the catalogue nothing.
    qint64 rowOfLine(int line);

    ListBox List1; // the stations of the category listed; a chosen line plays its station
    Label Label9;  // count line "总共有 n 个电台", or why the list is empty
    // Label2 onwards, in the order of the design.
    std::vector<std::unique_ptr<Label>> categoryLabels; // "国内广播" …: a release lists the category

protected:
    CategoryPanel(Forms& forms, QAnyStringView name, const PanelDesign& design);

private:
    void CategoryLabel_MouseUp(const Label& label);
    void listCategory();
    void List1_Click();
    void showCount(int count);
    QString nameOfLine(int line);
    QVariant programmeOfLine(int line);
    const HealthTable::Entry* deadEntryOfLine(int line);

    Forms& forms_;
    const PanelDesign& design_;
    std::optional<Database> connection_;
    // The stations the list shows: those of the category last listed; the whole catalogue until then, while the
    // list is empty.
    Catalogue::StationQuery listed_ = Catalogue::StationQuery::allStations();
    QString listedCategory_;
    // Lists the category again while another program's commit keeps the catalogue locked.
    QTimer listingAgain_;
    int retriesLeft_ = 0;
    // The lines of the list, read as they are shown; nothing while the list is empty.
    std::optional<Catalogue::StationPages> pages_;
    // The stations the last check found dead, by row, for each page of the list shown so far: their lines are grey,
    // with the finding as their tooltip. Read as a page is first painted after a listing.
    std::map<int, QHash<qint64, HealthTable::Entry>> deadOnPage_;
};

// The radio panel, on the main window's right.
class Form2 final : public CategoryPanel {
    Q_OBJECT

public:
    explicit Form2(Forms& forms);
};

// The TV panel, on the main window's left.
class Form3 final : public CategoryPanel {
    Q_OBJECT

public:
    explicit Form3(Forms& forms);
};
