#include "catalogue/Catalogue.h"
#include "internet/Subscriptions.h"
#include "sqlite/Statement.h"
#include "tests/support/TestProgramDir.h"

#include <QTest>
#include <optional>

using namespace Qt::StringLiterals;
using Catalogue::Station;
using Stations = std::vector<Station>;

namespace {

const QString Address = u"https://lists.example/tv.m3u"_s;

QByteArray m3u(const QList<QByteArray>& entries) {
    return "#EXTM3U\n" + QByteArrayList(entries).join();
}

QByteArray entry(const QByteArray& attributes, const QByteArray& name, const QByteArray& address) {
    return "#EXTINF:-1 " + attributes + "," + name + "\n" + address + "\n";
}

} // namespace

// The update rules of a subscription, on a real catalogue: the list is followed, and what the user changed or
// deleted since is never undone.
class TestSubscriptions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        dir.emplace();
        dir->changeCatalogue(u"DELETE FROM radio"_s);
        catalogue.emplace(Catalogue::openConnection());
    }
    void cleanup() {
        catalogue.reset();
        dir.reset();
    }

    void update_followsTheList_andKeepsWhatTheUserChangedOrDeleted();
    void prune_removesWhatLeftTheList_butNeverWhatTheUserChangedOrHadBefore();
    void subscribingAgainWithACategory_movesTheStationsTheUserLeftAlone();

private:
    // Takes the list in as the commands do: the subscription recorded and updated in one transaction.
    Subscriptions::Report take(const QByteArray& list, Subscriptions::Options options = {},
                               std::optional<QString> category = std::nullopt);
    Stations stations() { return Catalogue::stations(*catalogue); }
    qint64 rowOf(const QString& name);

    std::optional<TestProgramDir> dir;
    std::optional<Database> catalogue;
};

Subscriptions::Report TestSubscriptions::take(const QByteArray& list, Subscriptions::Options options,
                                              std::optional<QString> category) {
    Transaction transaction(*catalogue);
    Subscriptions::Subscription subscription = Subscriptions::subscribe(*catalogue, Address, category);
    Subscriptions::Report report = Subscriptions::update(*catalogue, subscription, {Address, Playlists::read(list)},
                                                         {"\"etag\"", {}, list}, options);
    transaction.commit();
    return report;
}

qint64 TestSubscriptions::rowOf(const QString& name) {
    Statement row(*catalogue, u"SELECT rowid FROM radio WHERE 名称 = ?"_s);
    row.bind(1, name);
    row.step();
    return row.integer(0);
}

void TestSubscriptions::update_followsTheList_andKeepsWhatTheUserChangedOrDeleted() {
    take(m3u({entry("tvg-id=\"cctv1\" group-title=\"国内电视\"", "CCTV-1", "http://tv.example/1"),
              entry("group-title=\"国内电视\"", "CCTV-2", "http://tv.example/2"),
              entry("group-title=\"国内电视\"", "CCTV-3", "http://tv.example/3"),
              entry("group-title=\"国内电视\"", "CCTV-4", "http://tv.example/4"),
              entry("group-title=\"国内电视\"", "重复台", "http://tv.example/r1"),
              entry("group-title=\"国内电视\"", "重复台", "http://tv.example/r2")}));
    // The user renames CCTV-2 in the channel editor and deletes CCTV-3.
    QVERIFY(Catalogue::changeStation(*catalogue, Catalogue::StationQuery::stationAt(rowOf(u"CCTV-2"_s)), u"我的二台"_s,
                                     u"http://mine.example/2"_s));
    dir->changeCatalogue(u"DELETE FROM radio WHERE 名称 = 'CCTV-3'"_s);

    const Subscriptions::Report report =
        take(m3u({entry("tvg-id=\"cctv1\" group-title=\"国内电视\"", "CCTV-1 综合", "http://tv.example/1-new"),
                  entry("group-title=\"国内电视\"", "CCTV-2", "http://tv.example/2-new"),
                  entry("group-title=\"国内电视\"", "CCTV-3", "http://tv.example/3"),
                  entry("group-title=\"国内电视\"", "重复台", "http://tv.example/r1"),
                  entry("group-title=\"国内电视\"", "重复台", "http://tv.example/r2-new"),
                  entry("group-title=\"News, World\"", "France 24", "http://tv.example/f24")}));

    // Known by its tvg-id, CCTV-1 follows its new name and address; known by name and order, the second 重复台
    // follows its address. Nothing else of what the user made is undone.
    QCOMPARE(stations(), (Stations{{u"国内电视"_s, u"CCTV-1 综合"_s, u"http://tv.example/1-new"_s},
                                   {u"国内电视"_s, u"我的二台"_s, u"http://mine.example/2"_s},
                                   {u"国内电视"_s, u"CCTV-4"_s, u"http://tv.example/4"_s},
                                   {u"国内电视"_s, u"重复台"_s, u"http://tv.example/r1"_s},
                                   {u"国内电视"_s, u"重复台"_s, u"http://tv.example/r2-new"_s},
                                   {u"News, World"_s, u"France 24"_s, u"http://tv.example/f24"_s}}));
    QCOMPARE(report.import.added, 1);
    QCOMPARE(report.changed.size(), 2u);
    QCOMPARE(report.keptEdits.size(), 1u);
    QCOMPARE(report.keptEdits[0].list.address, u"http://tv.example/2-new"_s);
    QCOMPARE(report.deletedByUser, 1);
    QCOMPARE(report.gone.size(), 1u);
    QCOMPARE(report.gone[0].station.name, u"CCTV-4"_s);
    QCOMPARE(report.import.hidden, (std::map<QString, int>{{u"News, World"_s, 1}}));
}

void TestSubscriptions::prune_removesWhatLeftTheList_butNeverWhatTheUserChangedOrHadBefore() {
    dir->changeCatalogue(
        u"INSERT INTO radio (类别, 名称, 网址) VALUES ('国内广播', '旧台', 'http://radio.example/old')"_s);
    take(m3u({entry("group-title=\"国内广播\"", "旧台", "http://radio.example/old"),
              entry("group-title=\"国内广播\"", "改台", "http://radio.example/changed"),
              entry("group-title=\"国内广播\"", "走台", "http://radio.example/gone"),
              entry("group-title=\"国内广播\"", "留台", "http://radio.example/stays")}));
    QVERIFY(Catalogue::changeStation(*catalogue, Catalogue::StationQuery::stationAt(rowOf(u"改台"_s)), u"改台"_s,
                                     u"http://mine.example/changed"_s));

    const QByteArray list = m3u({entry("group-title=\"国内广播\"", "留台", "http://radio.example/stays")});
    const Subscriptions::Report kept = take(list);
    QCOMPARE(kept.gone.size(), 2u);
    QCOMPARE(stations().size(), 4u);

    const Subscriptions::Report pruned = take(list, {true, nullptr});
    QCOMPARE(pruned.pruned, (Stations{{u"国内广播"_s, u"走台"_s, u"http://radio.example/gone"_s}}));
    QCOMPARE(stations(), (Stations{{u"国内广播"_s, u"旧台"_s, u"http://radio.example/old"_s},
                                   {u"国内广播"_s, u"改台"_s, u"http://mine.example/changed"_s},
                                   {u"国内广播"_s, u"留台"_s, u"http://radio.example/stays"_s}}));
}

void TestSubscriptions::subscribingAgainWithACategory_movesTheStationsTheUserLeftAlone() {
    const QByteArray list = m3u({entry("group-title=\"Jazz\"", "甲", "http://radio.example/a"),
                                 entry("group-title=\"Jazz\"", "乙", "http://radio.example/b")});
    take(list);
    QVERIFY(Catalogue::changeStation(*catalogue, Catalogue::StationQuery::stationAt(rowOf(u"乙"_s)), u"我的乙"_s,
                                     u"http://radio.example/b"_s));

    const Subscriptions::Report report = take(list, {}, u"海外广播"_s);
    QCOMPARE(report.changed.size(), 1u);
    QCOMPARE(stations(), (Stations{{u"海外广播"_s, u"甲"_s, u"http://radio.example/a"_s},
                                   {u"Jazz"_s, u"我的乙"_s, u"http://radio.example/b"_s}}));
}

QTEST_GUILESS_MAIN(TestSubscriptions)
#include "tst_subscriptions.moc"
