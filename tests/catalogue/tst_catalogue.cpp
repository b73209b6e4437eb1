#include "catalogue/Catalogue.h"
#include "catalogue/RecentStations.h"
#include "sqlite/Statement.h"
#include "tests/support/TestProgramDir.h"

#include <QFile>
#include <QTest>
#include <optional>
#include <pwd.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace Catalogue;

class TestCatalogue : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void shippedCatalogue_fillsEveryCategoryAndEverySlot();
    void stationsOfCategory_needTheWholeCaption();
    void searches_keepTheirPatternCharacters();
    void addStation_appendsANewRecordEveryTime();
    void changeStation_rewritesTheFirstStationOfTheHeldQuery();
    void changeStation_findingNothing_changesNothing();
    void missingCatalogue_cannotBeOpened();
    void nameList_showsTheNamedStationsInOrder_andCountsTheNameless();
    void firstOpen_addsTheIndexesAndChangesNoStation();
    void readOnlyCatalogue_goesWithoutIndexes();
    void recentStations_newestFirst_asTheyAreNow_keptToTheirLimit();

private:
    QStringList names(const StationQuery& query);
    void add(const QString& category, const QString& name, const QString& address = u"http://example.org/"_s);

    std::optional<TestProgramDir> dir;
    std::optional<Database> db;
};

void TestCatalogue::init() {
    dir.emplace();
    db = openConnection();
}

void TestCatalogue::cleanup() {
    db.reset();
    dir.reset();
}

QStringList TestCatalogue::names(const StationQuery& query) {
    return query.names(*db).names;
}

void TestCatalogue::add(const QString& category, const QString& name, const QString& address) {
    addStation(*db, {category, name, address});
}

void TestCatalogue::shippedCatalogue_fillsEveryCategoryAndEverySlot() {
    using namespace Categories;
    for (const QString& category :
         {DomesticTv, HongKongTaiwanTv, OverseasTv, SelectedMusic, SelectedFilms, SpecialInterestTv, DomesticRadio,
          HongKongTaiwanRadio, OverseasRadio, SpecialInterestRadio}) {
        const std::vector<Station> shipped = stations(*db, category);
        QVERIFY2(shipped.size() >= 5, qPrintable(category));
        for (const Station& station : shipped)
            QVERIFY2(station.address.startsWith(u"http"_s), qPrintable(station.name));
    }
    for (const QString& slot : SlotNames)
        QVERIFY2(stations(*db, slot).size() == 1, qPrintable(slot));
}

void TestCatalogue::stationsOfCategory_needTheWholeCaption() {
    add(u"测试"_s, u"甲台"_s);
    add(u"测试 "_s, u"尾随空格"_s);
    add(u"新测试"_s, u"更长类别"_s);
    QCOMPARE(names(StationQuery::stationsOfCategory(u"测试"_s)), QStringList{u"甲台"_s});
}

void TestCatalogue::searches_keepTheirPatternCharacters() {
    add(u"测试"_s, u"Rock'n'Roll FM"_s, u"http://rock.example/"_s);
    add(u"测试"_s, u"CCTV-X 测试"_s);
    add(u"测试"_s, u"100% Jazz"_s);
    add(u"旧快速选台一备用"_s, u"槽内"_s);

    // Quotes are text, in a search and in the lookup of a listed line alike.
    QCOMPARE(names(StationQuery::nameSearch(u"k'n'R"_s)), QStringList{u"Rock'n'Roll FM"_s});
    QCOMPARE(StationQuery::stationsOfCategory(u"测试"_s).stationOf(*db, u"Rock'n'Roll FM"_s, 0)->address,
             QVariant(u"http://rock.example/"_s));
    // SQLite's own like characters are text; letters match in any case.
    QCOMPARE(names(StationQuery::nameSearch(u"0% JAZZ"_s)), QStringList{u"100% Jazz"_s});
    QCOMPARE(names(StationQuery::nameSearch(u"Jaz_"_s)), QStringList());
    QCOMPARE(names(StationQuery::nameSearch(u"CCTV-?"_s)).size(), names(StationQuery::nameSearch(u"CCTV-"_s)).size());
    QVERIFY(names(StationQuery::nameSearch(u"CCTV-#"_s)).contains(u"CCTV-1 综合"_s));
    QVERIFY(!names(StationQuery::nameSearch(u"CCTV-#"_s)).contains(u"CCTV-X 测试"_s));
    // The preset editor's search finds a category that merely contains the slot name.
    QCOMPARE(names(StationQuery::categorySearch(SlotNames[0])).size(), 2);
}

void TestCatalogue::addStation_appendsANewRecordEveryTime() {
    add(u"测试"_s, u"重名"_s, u"http://one.example/"_s);
    add(u"测试"_s, u"重名"_s, u"http://two.example/"_s);

    QCOMPARE(stations(*db, u"测试"_s), std::vector<Station>({{u"测试"_s, u"重名"_s, u"http://one.example/"_s},
                                                             {u"测试"_s, u"重名"_s, u"http://two.example/"_s}}));
}

void TestCatalogue::changeStation_rewritesTheFirstStationOfTheHeldQuery() {
    add(u"测试"_s, u"测站"_s, u"http://x.example/"_s);
    add(u"测试"_s, u"测站2"_s, u"http://x2.example/"_s);
    const StationQuery held = StationQuery::nameSearch(u"测站"_s);

    QVERIFY(changeStation(*db, held, u"测站 新名"_s, u"http://new.example/"_s));
    QCOMPARE(names(StationQuery::stationsOfCategory(u"测试"_s)), QStringList({u"测站 新名"_s, u"测站2"_s}));

    // Run again, the held query finds the renamed station first once more; the category never changes.
    QVERIFY(changeStation(*db, held, u"测站 再改"_s, u"http://again.example/"_s));
    QCOMPARE(names(StationQuery::stationsOfCategory(u"测试"_s)), QStringList({u"测站 再改"_s, u"测站2"_s}));
}

void TestCatalogue::changeStation_findingNothing_changesNothing() {
    const std::vector<Station> before = stations(*db);
    QVERIFY(!changeStation(*db, StationQuery::categorySearch(u"无此槽"_s), u"名"_s, u"http://x.example/"_s));
    QCOMPARE(stations(*db), before);
}

void TestCatalogue::missingCatalogue_cannotBeOpened() {
    dir->remove(u"tv.mdb"_s);
    QVERIFY_THROWS_EXCEPTION(DbError, openConnection());
}

// A station list: the named stations of the query in catalogue order, each line with the row of its station, and
// the nameless ones counted though they get no line.
void TestCatalogue::nameList_showsTheNamedStationsInOrder_andCountsTheNameless() {
    // Thousands of stations over three categories, interleaved: names with quotes, nameless ones, a name shared by
    // stations of one category and of another.
    dir->changeCatalogue(uR"(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)
        INSERT INTO radio (类别, 名称, 网址) SELECT '测试' || (i % 3),
            CASE WHEN i % 97 = 0 THEN NULL WHEN i % 5 = 0 THEN '同名台' WHEN i % 7 = 0 THEN 'It''s "台" ' || i
                 ELSE '电台 ' || i END, 'http://example.org/' || i FROM n)"_s);
    QStringList named;
    for (int i = 1; i <= 3000; i += 3) {
        if (i % 97 != 0)
            named.append(i % 5 == 0 ? u"同名台"_s : i % 7 == 0 ? u"It's \"台\" %1"_s.arg(i) : u"电台 %1"_s.arg(i));
    }

    const StationQuery::Names listed = StationQuery::stationsOfCategory(u"测试1"_s).names(*db);
    QCOMPARE(listed.names, named);
    QCOMPARE(listed.count, 1000);
    for (qsizetype line = 0; line < listed.names.size(); ++line)
        QCOMPARE(station(*db, listed.rows[static_cast<size_t>(line)])->name, listed.names[line]);
}

namespace {

// What opening a catalogue must never change: the table's columns and every row, read on a bare connection.
QStringList stationsAndColumns(const QString& catalogue) {
    Database bare = Database::OpenDatabase(catalogue);
    QStringList seen;
    for (const QString& sql :
         {u"SELECT name, type, pk FROM pragma_table_info('radio')"_s, u"SELECT rowid, * FROM radio ORDER BY rowid"_s}) {
        Statement rows(bare, sql);
        while (rows.step()) {
            QStringList fields;
            for (int column = 0; column < rows.columnCount(); ++column)
                fields.append(rows.column(column).toString());
            seen.append(fields.join(u'|'));
        }
    }
    return seen;
}

QStringList indexes(Database& connection) {
    Statement names(connection, u"SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'radio' "
                                "ORDER BY name"_s);
    QStringList found;
    while (names.step())
        found.append(names.text(0));
    return found;
}

} // namespace

void TestCatalogue::firstOpen_addsTheIndexesAndChangesNoStation() {
    db.reset();
    dir.emplace();
    dir->changeCatalogue(u"INSERT INTO radio (类别, 名称, 网址) VALUES ('测试', NULL, NULL)"_s);
    const QStringList before = stationsAndColumns(dir->catalogue());

    db = openConnection();
    QCOMPARE(indexes(*db), QStringList({u"radio_listing"_s, u"radio_names"_s, u"radio_station"_s, u"radio_类别"_s}));
    Database again = openConnection();
    createIndexes(again);
    QCOMPARE(indexes(again).size(), 4);
    QCOMPARE(stationsAndColumns(dir->catalogue()), before);
}

// Root may write any file; an ordinary user may not write a read-only one, so the test becomes one meanwhile.
void TestCatalogue::readOnlyCatalogue_goesWithoutIndexes() {
    db.reset();
    dir.emplace();
    const QByteArray before = dir->read(u"tv.mdb"_s);
    const auto readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    QFile::setPermissions(dir->catalogue(), readable);
    QFile::setPermissions(dir->path(), readable | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    const bool asRoot = geteuid() == 0;
    if (asRoot && seteuid(getpwnam("nobody")->pw_uid) != 0)
        QFAIL("cannot act as an ordinary user");

    std::optional<Database> readOnly;
    QStringList listed;
    try {
        readOnly = openConnection();
        listed = StationQuery::stationsOfCategory(Categories::OverseasRadio).names(*readOnly).names;
    } catch (const DbError&) {
    }
    readOnly.reset();
    if (asRoot && seteuid(0) != 0)
        qFatal("cannot act as root again");
    QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QVERIFY(listed.size() >= 5);
    QCOMPARE(dir->read(u"tv.mdb"_s), before);
}

void TestCatalogue::recentStations_newestFirst_asTheyAreNow_keptToTheirLimit() {
    QVERIFY(RecentStations::latest(*db).empty());
    const PlayableStation first = *StationQuery::stationsOfCategory(SlotNames[0]).first(*db);
    const PlayableStation second = *StationQuery::stationsOfCategory(SlotNames[1]).first(*db);
    const PlayableStation third = *StationQuery::stationsOfCategory(SlotNames[2]).first(*db);
    for (const PlayableStation& played : {first, second, third, first})
        RecentStations::remember(*db, played.row);

    using Played = std::vector<PlayableStation>;
    QCOMPARE(RecentStations::latest(*db), (Played{first, third, second}));
    QCOMPARE(RecentStations::latest(*db, 2), (Played{first, third}));
    // Changed since, as it is now; deleted since, gone; all of it read again by a connection of the next start.
    dir->changeCatalogue(u"UPDATE radio SET 名称 = '新名' WHERE rowid = %1"_s.arg(third.row));
    dir->changeCatalogue(u"DELETE FROM radio WHERE rowid = %1"_s.arg(second.row));
    PlayableStation renamed = third;
    renamed.name = u"新名"_s;
    Database nextStart = openConnection();
    QCOMPARE(RecentStations::latest(nextStart), (Played{first, renamed}));

    for (qint64 row = 1000; row < 1000 + RecentStations::Kept; ++row)
        RecentStations::remember(*db, row);
    Statement kept(*db, u"SELECT count(*), min(station) FROM recent_stations"_s);
    QVERIFY(kept.step());
    QCOMPARE(kept.integer(0), RecentStations::Kept);
    QCOMPARE(kept.integer(1), 1000);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
