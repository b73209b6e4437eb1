// The clicks of the browser panels and the main window on large catalogues, as a user waits for them, each beside
// a floor or a goal, measured in the same run on the same catalogue:
// - a category click on the TV panel until its list is painted, against a bare list view (lines of one height)
//   filled from a bare SQLite query of the category's names and painted;
// - a click on the last line of that list until its address is handed off; a quick-select click until its
//   address is (where it goes told, its player looked up, with the start itself recorded);
// - a program started for a station as the hand-off starts it (in a session of its own, watched for its first
//   seconds), against today's start of xdg-open (QProcess::startDetached, as QDesktopServices::openUrl does);
// - the memory of a program that has listed the category, against a process that shows only the bare list;
// - a name search of the whole catalogue, as the channel editor runs it.
// Catalogues: the shipped stations and 10,000, 100,000 and 1,000,000 more (tools/grow-catalogue.sql), indexed as
// the program's first start leaves them. Offscreen; medians of several runs, wall and processor time.
//
//   bench_listing [RUNS [STATIONS...]]
#include "app/Registry.h"
#include "bench/Measure.h"
#include "catalogue/Catalogue.h"
#include "desktop/Launch.h"
#include "desktop/ProgramDir.h"
#include "runtime/Module1.h"
#include "runtime/Twips.h"
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
        Module1::shellSeam.replace(
            [this](QWidget*, const QString&, const QString& file, const QString&, const QString&, int) {
                played.append(file);
                return 42L;
            });
        launchSeam.replace([this](QWidget*, const HandOff& handOff, const Outcome&) {
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
            launch(nullptr, {{program, address}, address, {}}, [&](const std::optional<QString>&) { ++ended; });
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

    std::vector<Time> floorRuns, listingRuns, stationRuns, presetRuns, searchRuns, wideSearchRuns;
    for (int run = 0; run < runs; ++run) {
        floorRuns.push_back(timed([&] { bare.fill(bareNames(db, listedCategory)); }));
        listingRuns.push_back(timed([&] { program.listCategory(); }));
    }
    if (program.tv().List1.ListCount() != bare.count())
        qFatal("the panel lists %d names, the floor %d", program.tv().List1.ListCount(), bare.count());

    const QPoint lastLine = program.lastLine();
    Database connection = openConnection();
    int found = 0, foundWide = 0;
    for (int run = 0; run < runs; ++run) {
        stationRuns.push_back(
            timed([&] { QTest::mouseClick(program.tv().List1.viewport(), Qt::LeftButton, {}, lastLine); }));
        presetRuns.push_back(timed([&] { QTest::mouseClick(&program.main().Image2, Qt::LeftButton); }));
        searchRuns.push_back(
            timed([&] { found = StationQuery::nameSearch(u"音乐台 0002"_s).names(connection).count; }));
        wideSearchRuns.push_back(
            timed([&] { foundWide = StationQuery::nameSearch(u"fm live"_s).names(connection).count; }));
    }
    if (program.played.size() != 2 * runs)
        qFatal("%d of %d clicks reached the shell", int(program.played.size()), 2 * runs);
    sqlite3_close(db);

    const Time floor = median(floorRuns), listing = median(listingRuns);
    std::printf("  category click: %d names listed and painted\n", bare.count());
    print("  floor: bare list view, bare name query", floor);
    print("  program", listing, ofTheFloor(listing, floor) + u"   goal <= 100 ms and x1.3"_s);
    print("station click, last line -> shell", median(stationRuns), u"goal <= 10 ms"_s);
    print("quick-select click -> shell", median(presetRuns), u"goal <= 5 ms"_s);
    std::printf("  hand-off started:\n");
    launchSeam.restore();
    handOffs(runs);
    print("name search, Chinese text", median(searchRuns), u"\"音乐台 0002\": %1 found   goal <= 100 ms"_s.arg(found));
    print("name search, Latin text in another case", median(wideSearchRuns), u"\"fm live\": %1 found"_s.arg(foundWide));
    return 0;
}

// The resident memory once the category is listed and painted, the program's or the bare list's.
int memory(const QString& dir, const QString& who) {
    if (who == u"program") {
        Program program(dir);
        program.listCategory();
        std::printf("%.1f\n", residentMegabytes());
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
    const double program = runChild({u"memory"_s, dir.path(), u"program"_s}).trimmed().toDouble();
    std::printf("  memory after listing: floor, the bare list view %.1f MB; program %.1f MB, +%.1f MB   goal <= +15 "
                "MB\n",
                floor, program, program - floor);
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
        sizes = {10000, 100000, 1000000};
    std::printf("clicks on large catalogues, median of %d runs, offscreen\n", runs);
    for (int stations : sizes)
        measure(stations, runs);
    return 0;
}
