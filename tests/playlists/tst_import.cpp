#include "playlists/Import.h"
#include "tests/support/TestProgramDir.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <optional>

using namespace Qt::StringLiterals;
using namespace Playlists;

// Bringing playlist entries into the catalogue.
class TestImport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void stationOf_takesCategoryThenGroupThenABlank_data();
    void stationOf_takesCategoryThenGroupThenABlank();
    void stationsAlreadyPresent_byCategoryNameAndAddress_areLeftOut();
    void addressesTheShellWouldRefuse_areAddedAndListed();
    void failure_leavesTheCatalogueAsItWas();
    void cancel_leavesTheCatalogueAsItWas();
    void dryRun_reportsWhatTheImportWouldDo_andWritesNothing();

private:
    std::vector<Catalogue::Station> all() { return Catalogue::stations(*db); }

    std::optional<TestProgramDir> dir;
    std::optional<Database> db;
};

namespace {

Entry entry(const QString& title, const QString& address, std::optional<QString> group = u"测试"_s) {
    return {title, address, std::move(group), 0};
}

// A file that hands on these entries and unreadable lines, as a playlist reader would.
std::vector<ImportFile> file(std::vector<Entry> entries, std::vector<UnreadableLine> unreadable = {}) {
    return {{u"list.m3u"_s, Unit::Line, [=](const Reading& reading) {
                 for (const Entry& entry : entries)
                     reading.entry(entry);
                 for (const UnreadableLine& line : unreadable)
                     reading.unreadable(line);
             }}};
}

std::vector<Entry> manyEntries(int count) {
    std::vector<Entry> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back(entry(u"台 %1"_s.arg(i), u"http://example.org/%1"_s.arg(i)));
    return entries;
}

} // namespace

void TestImport::init() {
    dir.emplace();
    db = Catalogue::openConnection();
}

void TestImport::cleanup() {
    db.reset();
    dir.reset();
}

void TestImport::stationOf_takesCategoryThenGroupThenABlank_data() {
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<std::optional<QString>>("category");
    QTest::addColumn<Catalogue::Station>("station");
    QTest::newRow("the category given wins")
        << entry(u"台"_s, u"http://a/"_s, u"海外电视"_s) << std::optional(u"快速选台三"_s)
        << Catalogue::Station{u"快速选台三"_s, u"台"_s, u"http://a/"_s};
    QTest::newRow("the group as it is") << entry(u"台"_s, u"http://a/"_s, u" News, \"World\""_s)
                                        << std::optional<QString>()
                                        << Catalogue::Station{u" News, \"World\""_s, u"台"_s, u"http://a/"_s};
    QTest::newRow("no group, no title") << entry(u""_s, u" http://a/ "_s, std::nullopt) << std::optional<QString>()
                                        << Catalogue::Station{u" "_s, u" http://a/ "_s, u" http://a/ "_s};
}

void TestImport::stationOf_takesCategoryThenGroupThenABlank() {
    QFETCH(Entry, entry);
    QFETCH(std::optional<QString>, category);
    QFETCH(Catalogue::Station, station);
    QCOMPARE(stationOf(entry, category), station);
}

void TestImport::stationsAlreadyPresent_byCategoryNameAndAddress_areLeftOut() {
    dir->changeCatalogue(
        u"DELETE FROM radio; INSERT INTO radio (类别, 名称, 网址) VALUES ('测试', '台', 'http://a/')"_s);
    const ImportReport report = importPlaylists(*db, file({
                                                         entry(u"台"_s, u"http://a/"_s),
                                                         entry(u"台"_s, u"http://A/"_s),
                                                         entry(u"台 "_s, u"http://a/"_s),
                                                         entry(u"台"_s, u"http://a/"_s, u"测试2"_s),
                                                         entry(u"台"_s, u"http://A/"_s),
                                                     }));
    QCOMPARE(report.added, 3);
    QCOMPARE(report.alreadyPresent, 2);
    QCOMPARE(all(), (std::vector<Catalogue::Station>{{u"测试"_s, u"台"_s, u"http://a/"_s},
                                                     {u"测试"_s, u"台"_s, u"http://A/"_s},
                                                     {u"测试"_s, u"台 "_s, u"http://a/"_s},
                                                     {u"测试2"_s, u"台"_s, u"http://a/"_s}}));
}

void TestImport::addressesTheShellWouldRefuse_areAddedAndListed() {
    const ImportReport report =
        importPlaylists(*db, file({entry(u"本地"_s, u"file:///music/a.mp3"_s), entry(u"留白"_s, u"  http://ok/ "_s),
                                   entry(u"无主机"_s, u"http://"_s), entry(u"FTP"_s, u"ftp://a/"_s)}));
    QCOMPARE(report.added, 4);
    QStringList listed;
    for (const StationAt& at : report.willNotPlay.first)
        listed.append(at.station.name);
    QCOMPARE(listed, QStringList({u"本地"_s, u"无主机"_s, u"FTP"_s}));
}

void TestImport::failure_leavesTheCatalogueAsItWas() {
    const auto before = all();
    dir->changeCatalogue(u"CREATE TRIGGER refuse BEFORE INSERT ON radio WHEN NEW.名称 = '台 1500' "
                         "BEGIN SELECT RAISE(ABORT, 'refused'); END"_s);
    QVERIFY_THROWS_EXCEPTION(DbError, importPlaylists(*db, file(manyEntries(2000))));
    QCOMPARE(all(), before);
}

void TestImport::cancel_leavesTheCatalogueAsItWas() {
    const auto before = all();
    std::atomic_bool cancel = false;
    ImportOptions options;
    options.cancel = &cancel;
    options.progress = [&](qint64 entries) { cancel = entries >= 1000; };
    QVERIFY(importPlaylists(*db, file(manyEntries(2500)), options).cancelled);
    QCOMPARE(all(), before);
}

void TestImport::dryRun_reportsWhatTheImportWouldDo_andWritesNothing() {
    const std::vector<ImportFile> files =
        file({entry(u"CCTV-1 综合"_s, u"https://tv.cctv.com/live/cctv1/"_s, u"国内电视"_s),
              entry(u"本地"_s, u"/music/a.mp3"_s), entry(u"本地"_s, u"/music/a.mp3"_s)},
             {{7, u"is broken"_s}});
    const QByteArray catalogueBefore = dir->read(u"tv.mdb"_s);
    ImportOptions dryRun;
    dryRun.dryRun = true;

    const ImportReport rehearsed = importPlaylists(*db, files, dryRun);
    QCOMPARE(dir->read(u"tv.mdb"_s), catalogueBefore);
    QVERIFY(!QFile::exists(dir->file(u"backup"_s)));
    const ImportReport done = importPlaylists(*db, files);
    // The real import keeps the catalogue as it was first.
    QCOMPARE(QDir(dir->file(u"backup"_s)).entryList(QDir::Files).size(), 1);
    QCOMPARE(rehearsed.added, 1);
    QCOMPARE(rehearsed.alreadyPresent, 2);
    QCOMPARE(rehearsed.added, done.added);
    QCOMPARE(rehearsed.alreadyPresent, done.alreadyPresent);
    QCOMPARE(rehearsed.willNotPlay.count, done.willNotPlay.count);
    QCOMPARE(rehearsed.unreadable.count, 1);
    QCOMPARE(rehearsed.unreadable.count, done.unreadable.count);
}

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
