#include "windows/panels/CategoryPanel.h"

#include "catalogue/Catalogue.h"
#include "catalogue/StationPages.h"
#include "core/OnError.h"
#include "guide/Guide.h"
#include "playing/Playing.h"
#include "runtime/MsgBox.h"
#include "runtime/Screen.h"
#include "windows/forms/InternetTexts.h"

using namespace Qt::StringLiterals;
using namespace Catalogue;

namespace {

const PanelDesign radioDesign{
    .listLeft = 960,
    .countLeft = 960,
    .categories = {{120, 600, Categories::DomesticRadio},
                   {120, 960, Categories::HongKongTaiwanRadio},
                   {120, 1320, Categories::OverseasRadio},
                   {120, 1680, Categories::SpecialInterestRadio}},
    .countWord = u" 个电台"_s,
    .side = PanelDesign::Side::Right,
    .windowName = u"广播选框"_s,
    .listName = u"电台列表"_s,
};

const PanelDesign tvDesign{
    .listLeft = 120,
    .countLeft = 120,
    .categories = {{4320, 600, Categories::DomesticTv},
                   {4320, 960, Categories::HongKongTaiwanTv},
                   {4320, 1320, Categories::OverseasTv},
                   {4320, 1680, Categories::SelectedMusic},
                   {4320, 2040, Categories::SelectedFilms},
                   {4320, 2400, Categories::SpecialInterestTv}},
    .countWord = u" 个电视台"_s,
    .side = PanelDesign::Side::Left,
    .windowName = u"电视选框"_s,
    .listName = u"电视台列表"_s,
};

// What the count label says while another program holds the catalogue locked.
const QString busyCatalogue = u"电台目录正被占用"_s;
// A writer (the subscriptions' update, an import) locks the catalogue out only while it commits. A category click
// waits for that no longer than a click may take; the listing is tried again by itself until the lock goes, for
// as long as a change the user asked for would wait.
constexpr std::chrono::milliseconds listingPatience{50};
constexpr std::chrono::milliseconds listingRetry{50};
constexpr int listingRetries = Database::WriteWait / listingRetry;

} // namespace

CategoryPanel::CategoryPanel(Forms& forms, QAnyStringView name, const PanelDesign& design)
    : Form(name, 5175, 3390, TaskBar::NoButton), List1(*this, "List1", design.listLeft, 120, 4095, 2910),
      Label9(*this, "Label9", design.countLeft, 3120, 90, 180, {}), forms_(forms), design_(design) {
    listingAgain_.setInterval(listingRetry);
    connect(&listingAgain_, &QTimer::timeout, this, [this] { listCategory(); });
    for (const PanelDesign::CategoryLabel& category : design.categories) {
        const QString labelName = u"Label%1"_s.arg(2 + categoryLabels.size());
        auto label = std::make_unique<Label>(*this, labelName, category.left, category.top, 720, 180, category.caption);
        withPressEffect(*label, u"列出电台"_s, [this, &l = *label] { CategoryLabel_MouseUp(l); });
        // Alt+1 lists the top category; the list keeps the keyboard, to move through the stations with the arrows.
        label->setShortcut(QKeySequence(Qt::ALT | Qt::Key(Qt::Key_1 + categoryLabels.size())));
        categoryLabels.push_back(std::move(label));
    }
    setAccessibleName(design.windowName);
    List1.setAccessibleName(design.listName);
    List1.onClick = {u"播放电台"_s, [this] { List1_Click(); }};
    // A line's colour marks a station the last check found dead; its tooltip says what is on, and that finding.
    List1.setLineData([this](int line, int role) -> QVariant {
        if (role == Qt::ForegroundRole)
            return deadEntryOfLine(line) ? QVariant(deadLineColour()) : QVariant();
        if (role != Qt::ToolTipRole)
            return {};
        QVariant programme = programmeOfLine(line);
        const HealthTable::Entry* dead = deadEntryOfLine(line);
        if (!dead)
            return programme;
        return programme.isValid() ? programme.toString() + u'\n' + deadMark(*dead) : deadMark(*dead);
    });
}

// Docks beside the main window and opens the panel's own connection. A catalogue that cannot be opened is no
// reason for a message at start; the count label quietly says so until the first listing. A catalogue another
// program holds locked is not waited for: the panel loads, says so, and keeps its connection for the next click.
void CategoryPanel::Form_Load() {
    const Form& main = forms_.form(FormName::Form1);
    if (design_.side == PanelDesign::Side::Left)
        dockLeft(*this, main);
    else
        dockRight(*this, main);
    try {
        connection_ = openConnection();
        checkTable(*connection_);
    } catch (const BusyError&) {
        Label9.setCaption(busyCatalogue);
    } catch (const DbError&) {
        Label9.setCaption(u"找不到电台目录"_s);
        throw;
    }
}

// Lists the stations whose category is the label's caption, in catalogue order: counted at once, their names read
// as they come into view. Any step that fails is passed over: without a connection the list stays empty and the
// count label keeps its text, or says that another program holds the catalogue. A station without a name cannot
// be listed but is counted.
void CategoryPanel::CategoryLabel_MouseUp(const Label& label) {
    List1.Clear();
    pages_.reset();
    deadOnPage_.clear();
    listedCategory_ = label.Caption();
    listed_ = StationQuery::stationsOfCategory(listedCategory_);
    retriesLeft_ = listingRetries;
    listCategory();
}

// The first page is read here, so that a commit beginning before the list is painted cannot hold the paint up.
void CategoryPanel::listCategory() {
    listingAgain_.stop();
    resumeNext([&] {
        try {
            Database& connection = opened(connection_);
            connection.waitingAtMost(listingPatience, [&] {
                pages_ = Catalogue::StationPages::counted(connection, listed_);
                if (pages_->lineCount() > 0)
                    pages_->line(connection, 0);
            });
            List1.showLines(pages_->lineCount(), [this](int line) { return pages_->shownName(*connection_, line); });
            showCount(pages_->stationCount());
        } catch (const BusyError&) {
            pages_.reset();
            Label9.setCaption(busyCatalogue);
            if (retriesLeft_-- > 0)
                listingAgain_.start();
        }
    });
}

// Plays the station of the selected line. Two stations may share a name: the k-th line of a name plays the k-th
// station of that name among the stations of the listed category, in catalogue order. A name no station holds any
// more clears the count label, which then no longer describes the list.
void CategoryPanel::List1_Click() {
    Database& connection = opened(connection_);
    const int occurrence = pages_ ? pages_->occurrence(connection, List1.ListIndex()) : 0;
    const std::optional<PlayableStation> station = listed_.stationOf(connection, List1.Text(), occurrence);
    if (!station)
        Label9.setCaption(QString());
    Screen::setMousePointer(vbDefault);
    if (station)
        Playing::play(tellInBox(*this), connection, *station);
}

// The marks are extra: a catalogue that cannot tell them now leaves the page's lines as they are until their next
// paint. A page's findings are one look along the findings' rows, however large the category.
const HealthTable::Entry* CategoryPanel::deadEntryOfLine(int line) {
    if (!pages_)
        return nullptr;
    const int page = line / Catalogue::StationPages::PageSize;
    auto dead = deadOnPage_.find(page);
    if (dead == deadOnPage_.end()) {
        const int first = page * Catalogue::StationPages::PageSize;
        const int last = std::min(first + Catalogue::StationPages::PageSize, pages_->lineCount()) - 1;
        try {
            const HealthTable::Rows rows{pages_->line(*connection_, first).row, pages_->line(*connection_, last).row};
            dead = deadOnPage_.emplace(page, HealthTable::deadStations(*connection_, listedCategory_, rows)).first;
        } catch (const DbError&) {
            return nullptr;
        }
    }
    const auto finding = dead->second.constFind(rowOfLine(line));
    return finding == dead->second.constEnd() ? nullptr : &*finding;
}

qint64 CategoryPanel::rowOfLine(int line) {
    const Catalogue::StationPages::Line* shown = pages_ ? pages_->shown(*connection_, line) : nullptr;
    return shown ? shown->row : 0;
}

// What is on the line's station now and next, asked only when the pointer rests on the line: one indexed query.
// Nothing for a station without a guide, or while the catalogue cannot answer.
QVariant CategoryPanel::programmeOfLine(int line) {
    const qint64 row = rowOfLine(line);
    if (row == 0)
        return {};
    try {
        const QString summary = Guide::summary(Guide::nowNext(*connection_, row, Guide::clockSeam()));
        return summary.isEmpty() ? QVariant() : QVariant(summary);
    } catch (const DbError&) {
        return {};
    }
}

void CategoryPanel::showCount(int count) {
    Label9.setCaption(u"总共有"_s + QString::number(count) + design_.countWord);
}

Form2::Form2(Forms& forms) : CategoryPanel(forms, "Form2", radioDesign) {}

Form3::Form3(Forms& forms) : CategoryPanel(forms, "Form3", tvDesign) {}
