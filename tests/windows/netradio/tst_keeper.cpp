#include "catalogue/Catalogue.h"
#include "desktop/Translations.h"
#include "internet/Refresh.h"
#include "sqlite/Statement.h"
#include "tests/support/TestProgramDir.h"
#include "tests/support/WebServer.h"
#include "windows/netradio/SubscriptionKeeper.h"

#include <QLocale>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

QByteArray list(const QByteArray& address) {
    return "#EXTM3U\n#EXTINF:-1 tvg-id=\"one\" group-title=\"海外电视\",Keeper TV\n" + address + "\n";
}

// The test reads while the keeper writes: on a slow disk a commit holds the catalogue longer than a window's
// patience, and the test is not about that.
Database patientConnection() {
    Database catalogue = Catalogue::openConnection(Database::Access::ReadOnly);
    catalogue.setBusyWait(std::chrono::seconds(10));
    return catalogue;
}

} // namespace

// The subscriptions kept up to date while the windows run: each list asked once an interval, failures remembered
// and never shown in a box, and a write that waits its turn when another holds the catalogue.
class TestKeeper : public ProgramDirTest {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        qputenv("VIMARO_SUBSCRIPTION_INTERVAL", "1");
        loadTranslations(QLocale(QLocale::Chinese));
    }
    void round_updatesWhatIsDue_andRemembersAFailure();
    void updateNow_waitsForTheCatalogue_andReports();

private:
    // Subscribes to each path of the server through the keeper, as 添加订阅 does.
    void subscribe(SubscriptionKeeper& keeper, const WebServer& server, const QList<QByteArray>& paths);
    QString stationAddress();
    QHash<qint64, Subscriptions::Attempt> attempts();

    QHash<QByteArray, QByteArray> served_;
};

void TestKeeper::subscribe(SubscriptionKeeper& keeper, const WebServer& server, const QList<QByteArray>& paths) {
    int done = 0;
    for (const QByteArray& path : paths)
        keeper.subscribe(server.address(QString::fromLatin1(path)).toString(), std::nullopt,
                         [&](const SubscriptionKeeper::Outcome& outcome) {
                             QVERIFY2(outcome.report, qPrintable(outcome.failure));
                             ++done;
                         });
    QTRY_COMPARE(done, paths.size());
}

QString TestKeeper::stationAddress() {
    Database catalogue = patientConnection();
    Statement row(catalogue, u"SELECT 网址 FROM radio WHERE 名称 = 'Keeper TV'"_s);
    return row.step() ? row.text(0) : QString();
}

QHash<qint64, Subscriptions::Attempt> TestKeeper::attempts() {
    Database catalogue = patientConnection();
    return Subscriptions::attempts(catalogue);
}

void TestKeeper::round_updatesWhatIsDue_andRemembersAFailure() {
    served_ = {{"/a.m3u", list("http://a.example/1")}, {"/b.m3u", list("http://b.example/1")}};
    WebServer server(WebServer::files([this](const QByteArray& path) -> std::optional<QByteArray> {
        return served_.contains(path) ? std::optional(served_[path]) : std::nullopt;
    }));
    SubscriptionKeeper keeper;
    subscribe(keeper, server, {"/a.m3u"});
    served_["/a.m3u"] = list("http://a.example/2");
    served_.remove("/b.m3u");
    dir->changeCatalogue(
        u"INSERT INTO subscription (address) VALUES ('%1')"_s.arg(server.address(u"/b.m3u"_s).toString()));
    const int before = server.requests();
    keeper.start();
    QTRY_COMPARE_WITH_TIMEOUT(stationAddress(), u"http://a.example/2"_s, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(attempts().size(), 2, 5000);
    QStringList outcomes;
    for (const Subscriptions::Attempt& attempt : attempts())
        outcomes.append((attempt.failed ? u"failed "_s : QString()) + attempt.outcome.section(u"（"_s, 0, 0));
    outcomes.sort();
    QCOMPARE(outcomes, QStringList({u"failed 更新失败：服务器拒绝了"_s, u"新增 0 个，变更 1 个"_s}));
    // Within the interval the round asks nothing again.
    const int asked = server.requests();
    QVERIFY(asked > before);
    QTest::qWait(300);
    QVERIFY(server.requests() <= asked + 2);
}

void TestKeeper::updateNow_waitsForTheCatalogue_andReports() {
    served_ = {{"/a.m3u", list("http://a.example/1")}};
    WebServer server(WebServer::files([this](const QByteArray& path) -> std::optional<QByteArray> {
        return served_.contains(path) ? std::optional(served_[path]) : std::nullopt;
    }));
    SubscriptionKeeper keeper;
    subscribe(keeper, server, {"/a.m3u"});
    served_["/a.m3u"] = list("http://a.example/2");
    std::optional<CatalogueLock> held = dir->lockCatalogue();
    QTimer::singleShot(1500, [&] { held.reset(); });
    std::optional<SubscriptionKeeper::Outcomes> outcomes;
    keeper.updateNow(std::nullopt, [&](const SubscriptionKeeper::Outcomes& came) { outcomes = came; });
    QTRY_VERIFY_WITH_TIMEOUT(outcomes.has_value(), 10000);
    QCOMPARE(outcomes->size(), 1u);
    QVERIFY2(outcomes->front().report, qPrintable(outcomes->front().failure));
    QCOMPARE(outcomes->front().report->changed.count, 1);
    QCOMPARE(stationAddress(), u"http://a.example/2"_s);
}

QTEST_MAIN(TestKeeper)
#include "tst_keeper.moc"
