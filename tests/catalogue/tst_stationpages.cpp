#include "catalogue/StationPages.h"
#include "sqlite/Statement.h"
#include "tests/support/TestProgramDir.h"

#include <QTest>
#include <optional>

using namespace Qt::StringLiterals;
using namespace Catalogue;

// The lines of a long station list, read a page at a time.
class TestStationPages : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void kthLineOfAName_findsTheKthStationOfThatName_whicheverPagesWereRead_data();
    void kthLineOfAName_findsTheKthStationOfThatName_whicheverPagesWereRead();
    void stationsAddedMeanwhile_waitForTheNextListing();
    void search_foundBitByBit_listsWhatTheWholeSearchFinds();

private:
    // `count` stations of 测试, every seventh named 同名台, with one 同名台 in another category among them; their
    // 编号 `spacing` apart.
    void fill(int count, int spacing = 1);
    StationQuery listed() const { return StationQuery::stationsOfCategory(u"测试"_s); }

    std::optional<TestProgramDir> dir;
    std::optional<Database> db;
};

void TestStationPages::init() {
    dir.emplace();
    db = openConnection();
}

void TestStationPages::cleanup() {
    db.reset();
    dir.reset();
}

void TestStationPages::fill(int count, int spacing) {
    Statement grow(*db, u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                        "INSERT INTO radio (编号, 类别, 名称, 网址) SELECT 100000 + i * ?, "
                        "CASE i WHEN 300 THEN '别的' ELSE '测试' END, "
                        "CASE WHEN i % 7 = 0 THEN '同名台' ELSE '台 ' || i END, 'http://s.example/' || i FROM n"_s);
    grow.bind(1, count);
    grow.bind(2, spacing);
    grow.step();
}

void TestStationPages::kthLineOfAName_findsTheKthStationOfThatName_whicheverPagesWereRead_data() {
    QTest::addColumn<QList<int>>("readFirst"); // lines read before the one played, in this order
    QTest::newRow("pages in turn") << QList<int>{0, 256, 512, 768};
    QTest::newRow("the end first") << QList<int>{999};
    QTest::newRow("a page in the middle first") << QList<int>{600, 0};
    QTest::newRow("nothing read") << QList<int>{};
}

void TestStationPages::kthLineOfAName_findsTheKthStationOfThatName_whicheverPagesWereRead() {
    QFETCH(QList<int>, readFirst);
    fill(1001);
    const StationQuery::Names whole = listed().names(*db);
    StationPages pages = StationPages::counted(*db, listed());
    QCOMPARE(pages.lineCount(), whole.names.size());
    for (int line : readFirst)
        pages.line(*db, line);

    int seen = 0;
    for (int line = 0; line < pages.lineCount(); ++line) {
        if (whole.names[line] != u"同名台")
            continue;
        const int occurrence = pages.occurrence(*db, line);
        QCOMPARE(occurrence, seen++);
        const std::optional<PlayableStation> played = listed().stationOf(*db, u"同名台"_s, occurrence);
        QVERIFY(played);
        QCOMPARE(played->row, whole.rows[static_cast<size_t>(line)]);
        QCOMPARE(pages.line(*db, line).row, whole.rows[static_cast<size_t>(line)]);
    }
}

// Another program adds stations while the list is shown: the count, the lines and the last line stay those of the
// listing, wherever the reading starts; the next listing has them.
void TestStationPages::stationsAddedMeanwhile_waitForTheNextListing() {
    fill(600);
    const StationQuery::Names whole = listed().names(*db);
    StationPages pages = StationPages::counted(*db, listed());
    Database other = Database::OpenDatabase(file());
    other.execute(u"INSERT INTO radio (类别, 名称, 网址) VALUES ('测试', '新来的台', 'http://new.example/')"_s);

    QCOMPARE(pages.lineCount(), whole.names.size());
    QCOMPARE(pages.line(*db, pages.lineCount() - 1).name, whole.names.last());
    QStringList read;
    for (int line = 0; line < pages.lineCount(); ++line)
        read.append(pages.line(*db, line).name);
    QCOMPARE(read, whole.names);

    StationPages again = StationPages::counted(*db, listed());
    QCOMPARE(again.lineCount(), whole.names.size() + 1);
    QCOMPARE(again.line(*db, again.lineCount() - 1).name, u"新来的台"_s);
}

// A search that takes turns, its stations spread over many stretches of the catalogue: the lines are those a search
// all at once finds.
void TestStationPages::search_foundBitByBit_listsWhatTheWholeSearchFinds() {
    fill(3000, 1000);
    const StationQuery search = StationQuery::nameSearch(u"同名"_s);
    StationPages pages = StationPages::toFind(*db, search);
    while (!pages.complete())
        pages.findMore(*db, std::chrono::milliseconds(0));

    const StationQuery::Names whole = search.names(*db);
    QCOMPARE(pages.stationCount(), whole.count);
    QStringList read;
    for (int line = pages.lineCount() - 1; line >= 0; --line)
        read.prepend(pages.line(*db, line).name);
    QCOMPARE(read, whole.names);
}

QTEST_GUILESS_MAIN(TestStationPages)
#include "tst_stationpages.moc"
