// The clicks of the browser panels, the channel editor and the main window on large catalogues, as a user waits for
// them, each beside a floor or a goal, measured in the same run on the same catalogue:
// - a category click on the TV panel until its list is painted (the first click included), against a bare list view
//   (lines of one height) filled from a bare SQLite query of the category's names and painted;
// - End in that list until the last line is painted and its address was handed off; a click on the last line until
//   its address is handed off; a quick-select click until its address is (where it goes told, its player looked up,
//   with the start itself recorded);
// - a program started for a station as the hand-off starts it (in a session of its own, watched for its first
//   seconds), against today's start of xdg-open (QProcess::startDetached, as QDesktopServices::openUrl does);
// - the memory of the program before and after listing the category, and of a process that shows only the bare list;
// - a name search in the channel editor until its first lines are painted, and until the whole count is shown.
// Catalogues: the shipped stations and 100,000, 1,000,000 and 10,000,000 more (tools/grow-catalogue.sql), made by
// the benchmark and indexed as the program's first start leaves them (ten million take minutes and 1.8 GB).
// Offscreen; medians of several runs, wall and processor time.
//
//   bench_listing [RUNS [STATIONS...]]
#include "app/Registry.h"
#include "bench/Measure.h"
#include "catalogue/Catalogue.h"
#include "desktop/Launch.h"
#include "desktop/ProgramDir.h"
#include "runtime/Twips.h"
#include "runtime/WindowSystem.h"
#include "windows/editor/ChannelEditor.h"
#include "windows/mainwindow/MainWindow.h"
#include "windows/panels/CategoryPanel.h"

#include <QApplication>
#include <QDir>
#include <QListView>
#include <QProcess>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <sqlite3.h>

using namespace Qt::StringLiterals;
using namespace Catalogue;

namespace {

const QString listedCategory = Categories::DomesticTv;
// Found in a quarter of the names, spread over the whole catalogue.
const QString wideSearch = u"城市之声"_s;

// What the floor does for a category click: the category's names from the engine into strings, nothing else.
QStringList bareNames(sqlite3* db, const QString& category) {
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db, "SELECT 名称 FROM radio WHERE 类别 = ? ORDER BY rowid", -1, &query, nullptr);
    const QByteArray value = category.toUtf8();
    sqlite3_bind_text(query, 1, value.constData(), int(value.size()), SQLITE_STATIC);
    QStringList names;
    while (sqlite3_step(query) == SQLITE_ROW)
        names.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query, 0)),
                                       sqlite3_column_bytes(query, 0)));
    sqlite3_finalize(query);
    return names;
}

// A window holding nothing but a list view of the TV panel's list's size.
class BareList {
public:
    explicit BareList(QSize size) {
        view_.setModel(&names_);
        view_.setUniformItemSizes(true);
        view_.resize(size);
        view_.show();
    }
    void fill(const QStringList& names) {
        names_.setStringList(names);
        painted(view_);
    }
    int count() const { return names_.rowCount(); }
    QString lastName() const { return names_.stringList().constLast(); }

    static void painted(QWidget& window) {
        QCoreApplication::processEvents();
        window.repaint();
    }

private:
    QStringListModel names_;
    QListView view_;
};

// The program as main() starts it, on the catalogue in `dir`, with the TV panel shown and the shell recorded.
class Program {
public:
    explicit Program(const QString& dir) {
        setProgramDirForTesting(dir);
        WindowSystem::openAddressSeam.replace([this](const QString& address) {
            played.append(address);
            return true;
        });
        launchSeam.replace([this](const HandOff& handOff, const Outcome&) {
            played.append(handOff.address);
            return true;
        });
        forms.form(FormName::Form1).Show();
        tv().Show();
        QCoreApplication::processEvents();
    }

    Form1& main() { return forms.get<Form1>(FormName::Form1); }
    Form3& tv() { return forms.get<Form3>(FormName::Form3); }

    void listCategory() {
        for (const auto& label : tv().categoryLabels) {
            if (label->Caption() == listedCategory)
                QTest::mouseClick(label.get(), Qt::LeftButton);
        }
        BareList::painted(tv());
    }

    void pressEnd() {
        QTest::keyClick(&tv().List1, Qt::Key_End);
        BareList::painted(tv());
    }

    add& editor() { return forms.get<add>(FormName::add); }

    // The search as a user starts it, until its first lines are painted; the rest of the search waits for the
    // event loop.
    void search(const QString& text) {
        editor().Text3.setText(text);
        QTest::mouseClick(&editor().Image3, Qt::LeftButton);
        editor().repaint();
    }

    // Until the caption gives the whole count.
    void searchToTheEnd() {
        while (!editor().CaptionLabel.Caption().startsWith(u"总共"))
            QCoreApplication::processEvents();
    }

    // Scrolled into view first, as a user does, and not timed.
    QPoint lastLine() {
        ListBox& list = tv().List1;
        const QModelIndex last = list.model()->index(list.ListCount() - 1, 0);
        list.scrollTo(last);
        BareList::painted(tv());
        return list.visualRect(last).center();
    }

    QStringList played;
    Registry forms;
};

// A program started for a station, until the start returns, against today's start of the desktop's handler; the
// program is one that ends at once, so that the starts measure the launcher's own work.
void handOffs(int runs) {
    const QString program = u"/bin/true"_s;
    const QString address = u"http://a.example/live/index.m3u8"_s;
    std::vector<Time> todays, nows;
    int ended = 0;
    for (int run = 0; run < runs; ++run) {
        todays.push_back(timed([&] { QProcess::startDetached(program, {address}); }));
        nows.push_back(timed([&] {
            launch({{program, address}, address, {}}, [&](const std::optional<QString>&) { ++ended; });
        }));
    }
    if (!QTest::qWaitFor([&] { return ended == runs; }, 10000))
        qFatal("%d of %d started programs were seen to end", ended, runs);
    const Time today = median(todays), now = median(nows);
    print("  today: xdg-open started (QProcess::startDetached)", today);
    print("  player started, watched in its own session", now, ofTheFloor(now, today) + u"   goal x1.5"_s);
}

// Every click, timed in one process, floor and program run by run in turn so that both meet the same load.
int clicks(const QString& dir, int runs) {
    Program program(dir);
    BareList bare(program.tv().List1.size());
    sqlite3* db = nullptr;
    sqlite3_open_v2(QDir(dir).filePath(u"tv.mdb"_s).toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);

    std::vector<Time> floorRuns, listingRuns, endRuns, stationRuns, presetRuns, searchRuns, wholeSearchRuns;
    for (int run = 0; run < runs; ++run) {
        listingRuns.push_back(timed([&] { program.listCategory(); }));
        floorRuns.push_back(timed([&] { bare.fill(bareNames(db, listedCategory)); }));
        endRuns.push_back(timed([&] { program.pressEnd(); }));
    }
    if (program.tv().List1.ListCount() != bare.count())
        qFatal("the panel lists %d names, the floor %d", program.tv().List1.ListCount(), bare.count());
    if (program.played.size() != runs || program.tv().List1.Text() != bare.lastName())
        qFatal("End played %d times, and the last line is %s, not %s", int(program.played.size()),
               qPrintable(program.tv().List1.Text()), qPrintable(bare.lastName()));

    const QPoint lastLine = program.lastLine();
    program.editor().Show();
    for (int run = 0; run < runs; ++run) {
        stationRuns.push_back(
            timed([&] { QTest::mouseClick(program.tv().List1.viewport(), Qt::LeftButton, {}, lastLine); }));
        presetRuns.push_back(timed([&] { QTest::mouseClick(&program.main().Image2, Qt::LeftButton); }));
        searchRuns.push_back(timed([&] { program.search(wideSearch); }));
        wholeSearchRuns.push_back(timed([&] { program.searchToTheEnd(); }));
    }
    if (program.played.size() != 3 * runs)
        qFatal("%d of %d clicks reached the shell", int(program.played.size()), 3 * runs);
    sqlite3_close(db);

    const Time floor = median(floorRuns), listing = median(listingRuns);
    Time whole = median(wholeSearchRuns);
    whole.wall += median(searchRuns).wall;
    whole.processor += median(searchRuns).processor;
    std::printf("  category click: %d names\n", bare.count());
    print("  floor: bare list view, bare name query", floor);
    print("  program, until painted (first click included)", listing,
          ofTheFloor(listing, floor) + u"   goal <= 100 ms"_s);
    print("End -> last line painted, its address to the shell", median(endRuns), u"goal <= 100 ms"_s);
    print("station click, last line -> shell", median(stationRuns), u"goal <= 10 ms"_s);
    print("quick-select click -> shell", median(presetRuns), u"goal <= 5 ms"_s);
    print("channel editor search -> first lines painted", median(searchRuns),
          u"\"%1\": %2   goal <= 100 ms"_s.arg(wideSearch, program.editor().CaptionLabel.Caption()));
    print("  until the whole count is shown", whole);
    std::printf("  hand-off started:\n");
    launchSeam.restore();
    handOffs(runs);
    return 0;
}

// The resident memory before and after the category is listed and painted, the program's; or the bare list's.
int memory(const QString& dir, const QString& who) {
    if (who == u"program") {
        Program program(dir);
        const double before = residentMegabytes();
        program.listCategory();
        std::printf("%.1f %.1f\n", before, residentMegabytes());
    } else {
        BareList bare(toPixels(0, 0, 4095, 2910).size());
        sqlite3* db = nullptr;
        sqlite3_open_v2(QDir(dir).filePath(u"tv.mdb"_s).toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        bare.fill(bareNames(db, listedCategory));
        std::printf("%.1f\n", residentMegabytes());
        sqlite3_close(db);
    }
    return 0;
}

QByteArray runChild(const QStringList& arguments) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    // The offscreen platform's warnings say nothing about the figures.
    environment.insert(u"QT_LOGGING_RULES"_s, u"*.warning=false"_s);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        qFatal("bench_listing %s failed", qPrintable(arguments.join(u' ')));
    return child.readAllStandardOutput();
}

void measure(int stations, int runs) {
    QTemporaryDir dir;
    const QString catalogue = dir.filePath(u"tv.mdb"_s);
    makeCatalogue(catalogue, stations);
    QFile::copy(QStringLiteral(VIMARO_SEED_SETTINGS), dir.filePath(u"tvset.ini"_s));
    const Time indexing = timed([&] {
        Database connection = Database::OpenDatabase(catalogue);
        createIndexes(connection);
    });

    std::printf("\ncatalogue of the shipped stations and %d more\n", stations);
    printHeading();
    print("indexes made at the first start, once", indexing);
    std::fputs(runChild({u"clicks"_s, dir.path(), QString::number(runs)}).constData(), stdout);
    const double floor = runChild({u"memory"_s, dir.path(), u"floor"_s}).trimmed().toDouble();
    const QList<QByteArray> program = runChild({u"memory"_s, dir.path(), u"program"_s}).trimmed().split(' ');
    const double before = program.first().toDouble(), after = program.last().toDouble();
    std::printf("  memory: the bare list view's process %.1f MB; program before the click %.1f MB, after listing "
                "%.1f MB, %+.1f MB   goal <= +15 MB\n",
                floor, before, after, after - before);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == u"clicks" || mode == u"memory") {
        QApplication app(argc, argv);
        const QString dir = QString::fromLocal8Bit(argv[2]);
        const QString third = QString::fromLocal8Bit(argv[3]);
        return mode == u"clicks" ? clicks(dir, third.toInt()) : memory(dir, third);
    }

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? atoi(argv[1]) : 7;
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(atoi(argv[i]));
    if (sizes.empty())
        sizes = {100000, 1000000, 10000000};
    std::printf("clicks on large catalogues, median of %d runs, offscreen\n", runs);
    for (int stations : sizes)
        measure(stations, runs);
    return 0;
}
