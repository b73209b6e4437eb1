#include "catalogue/Catalogue.h"
#include "catalogue/StationAttributes.h"
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
    void prune_neverRemovesAStationTheListStillGives_underAnotherEntry();
    void everyEntryKnowsItsStation_andOneTheCatalogueHeldStaysTheUsers();
    void anEditKeepsItsField_andTheOthersFollowTheList();
    void attributesFollowTheList_untilTheUserChangesThem();
    void subscribingAgainWithACategory_movesTheCategoriesTheUserLeftAlone();

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
    Subscriptions::Report report = Subscriptions::update(
        *catalogue, subscription, Playlists::playlistFile({Address, Playlists::read(list)}), {}, options);
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
    QCOMPARE(report.changed.count, 2);
    QCOMPARE(report.keptEdits.count, 1);
    QCOMPARE(report.keptEdits.first[0].list.address, u"http://tv.example/2-new"_s);
    QCOMPARE(report.deletedByUser, 1);
    QCOMPARE(report.gone.count, 1);
    QCOMPARE(report.gone.first[0].station.name, u"CCTV-4"_s);
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

    // The first list without them may have been cut short on its way: --prune waits for a second.
    const QByteArray list = m3u({entry("group-title=\"国内广播\"", "留台", "http://radio.example/stays")});
    const Subscriptions::Report waiting = take(list, {true, nullptr});
    QCOMPARE(waiting.waiting.first, (Stations{{u"国内广播"_s, u"走台"_s, u"http://radio.example/gone"_s}}));
    QCOMPARE(waiting.gone.count, 1);
    QCOMPARE(stations().size(), 4u);

    const Subscriptions::Report pruned = take(list, {true, nullptr});
    QCOMPARE(pruned.pruned.first, (Stations{{u"国内广播"_s, u"走台"_s, u"http://radio.example/gone"_s}}));
    QCOMPARE(stations(), (Stations{{u"国内广播"_s, u"旧台"_s, u"http://radio.example/old"_s},
                                   {u"国内广播"_s, u"改台"_s, u"http://mine.example/changed"_s},
                                   {u"国内广播"_s, u"留台"_s, u"http://radio.example/stays"_s}}));
}

void TestSubscriptions::prune_neverRemovesAStationTheListStillGives_underAnotherEntry() {
    take(m3u({entry("tvg-id=\"a\" group-title=\"G\"", "DupA", "http://radio.example/a"),
              entry("group-title=\"G\"", "Other", "http://radio.example/o")}));
    const QByteArray renamed = m3u({entry("tvg-id=\"b\" group-title=\"G\"", "DupA", "http://radio.example/a")});
    take(renamed, {true, nullptr});
    const Subscriptions::Report report = take(renamed, {true, nullptr});
    QCOMPARE(report.pruned.first, (Stations{{u"G"_s, u"Other"_s, u"http://radio.example/o"_s}}));
    QCOMPARE(stations(), (Stations{{u"G"_s, u"DupA"_s, u"http://radio.example/a"_s}}));
}

void TestSubscriptions::everyEntryKnowsItsStation_andOneTheCatalogueHeldStaysTheUsers() {
    dir->changeCatalogue(u"INSERT INTO radio (类别, 名称, 网址) VALUES ('G', '旧台', 'http://radio.example/old')"_s);
    const QByteArray list = m3u({entry("tvg-id=\"old\" group-title=\"G\"", "旧台", "http://radio.example/old"),
                                 entry("group-title=\"G\"", "双台", "http://radio.example/twice"),
                                 entry("group-title=\"G\"", "双台", "http://radio.example/twice")});
    QCOMPARE(take(list).import.added, 1);
    dir->changeCatalogue(u"DELETE FROM radio"_s);
    const Subscriptions::Report deleted = take(list);
    QCOMPARE(deleted.deletedByUser, 3);
    QVERIFY(stations().empty());

    // Subscribed anew, the list finds the stations its old subscription added: the user's now, and never doubled.
    const QByteArray first = m3u({entry("tvg-id=\"x\" group-title=\"G\"", "甲", "http://radio.example/1")});
    for (int round = 0; round < 2; ++round) {
        Subscriptions::unsubscribe(*catalogue, *Subscriptions::find(*catalogue, Address));
        take(first);
    }
    const QByteArray moved = m3u({entry("tvg-id=\"x\" group-title=\"G\"", "甲", "http://radio.example/2")});
    QCOMPARE(take(moved, {true, nullptr}).keptEdits.count, 1);
    QCOMPARE(stations(), (Stations{{u"G"_s, u"甲"_s, u"http://radio.example/1"_s}}));
}

void TestSubscriptions::anEditKeepsItsField_andTheOthersFollowTheList() {
    take(m3u({entry("group-title=\"G\"", "CGTN", "http://tv.example/1")}));
    QVERIFY(Catalogue::changeStation(*catalogue, Catalogue::StationQuery::stationAt(rowOf(u"CGTN"_s)),
                                     u"CGTN 英语新闻"_s, u"http://tv.example/1"_s));
    take(m3u({entry("group-title=\"G\"", "CGTN", "http://tv.example/2")}));
    QCOMPARE(stations(), (Stations{{u"G"_s, u"CGTN 英语新闻"_s, u"http://tv.example/2"_s}}));

    // The user's address stays the user's, also after the list once gave the same.
    QVERIFY(Catalogue::changeStation(*catalogue, Catalogue::StationQuery::stationAt(rowOf(u"CGTN 英语新闻"_s)),
                                     u"CGTN 英语新闻"_s, u"http://mine.example/"_s));
    take(m3u({entry("group-title=\"G\"", "CGTN", "http://mine.example/")}));
    take(m3u({entry("group-title=\"G\"", "CGTN", "http://tv.example/3")}));
    QCOMPARE(stations(), (Stations{{u"G"_s, u"CGTN 英语新闻"_s, u"http://mine.example/"_s}}));
}

void TestSubscriptions::attributesFollowTheList_untilTheUserChangesThem() {
    const auto logo = [&] {
        return Catalogue::valueOf(Catalogue::attributes(*catalogue, rowOf(u"CGTN"_s)), Catalogue::AttributeSource::M3u,
                                  u"tvg-logo"_s);
    };
    take(m3u({entry("tvg-logo=\"a.png\"", "CGTN", "http://tv.example/1")}));
    take(m3u({entry("tvg-logo=\"b.png\"", "CGTN", "http://tv.example/1")}));
    QCOMPARE(logo(), u"b.png"_s);
    Catalogue::setAttributes(*catalogue, rowOf(u"CGTN"_s),
                             {{Catalogue::AttributeSource::M3u, u"tvg-logo"_s, u"mine"_s}});
    take(m3u({entry("tvg-logo=\"c.png\"", "CGTN", "http://tv.example/1")}));
    QCOMPARE(logo(), u"mine"_s);
}

void TestSubscriptions::subscribingAgainWithACategory_movesTheCategoriesTheUserLeftAlone() {
    const QByteArray list = m3u({entry("group-title=\"Jazz\"", "甲", "http://radio.example/a"),
                                 entry("group-title=\"Jazz\"", "乙", "http://radio.example/b")});
    take(list);
    QVERIFY(Catalogue::changeStation(*catalogue, Catalogue::StationQuery::stationAt(rowOf(u"乙"_s)), u"我的乙"_s,
                                     u"http://radio.example/b"_s));

    const Subscriptions::Report report = take(list, {}, u"海外广播"_s);
    QCOMPARE(report.changed.count, 2);
    QCOMPARE(stations(), (Stations{{u"海外广播"_s, u"甲"_s, u"http://radio.example/a"_s},
                                   {u"海外广播"_s, u"我的乙"_s, u"http://radio.example/b"_s}}));
}

QTEST_GUILESS_MAIN(TestSubscriptions)
#include "tst_subscriptions.moc"
