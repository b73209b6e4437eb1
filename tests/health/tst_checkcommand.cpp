#include "catalogue/Catalogue.h"
#include "cli/CommandLine.h"
#include "sqlite/Database.h"
#include "sqlite/Statement.h"
#include "tests/health/StationServer.h"
#include "tests/support/Commands.h"
#include "tests/support/TestProgramDir.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <optional>

using namespace Qt::StringLiterals;

class TestCheckCommand : public ProgramDirTest {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void ctrlC_stopsTheRunAndKeepsTheFindingsSoFar();
    void report_listsTheLastFindingsDeadFirst_andExportsTheDeadAsM3u();
    void fewOpenFiles_checkFewerAtOnce_andCallNoStationDead();

private:
    // Stations named after their paths on the test server, in this order.
    void addStations(const QStringList& paths);
    int check(const QStringList& options, QByteArray* output = nullptr);
    QStringList table(const QString& sql);

    std::optional<StationServer> server;
};

void TestCheckCommand::initTestCase() {
    server.emplace();
}

void TestCheckCommand::init() {
    ProgramDirTest::init();
    dir->changeCatalogue(u"DELETE FROM radio"_s);
}

void TestCheckCommand::addStations(const QStringList& paths) {
    for (const QString& path : paths)
        dir->changeCatalogue(u"INSERT INTO radio (类别, 名称, 网址) VALUES ('海外广播', '%1', 'http://%2%1')"_s.arg(
            path, server->authority()));
}

// Runs the command as the program runs it, with what it prints to standard output caught in `output`.
int TestCheckCommand::check(const QStringList& options, QByteArray* output) {
    const CommandRun ran = runCommand(QStringList{u"check"_s} + options);
    if (output)
        *output = ran.output;
    return ran.exit;
}

// One line per row, the columns joined by "|".
QStringList TestCheckCommand::table(const QString& sql) {
    Database connection = Catalogue::openConnection();
    Statement query(connection, sql);
    QStringList rows;
    while (query.step()) {
        QStringList columns;
        for (int i = 0; i < query.columnCount(); ++i)
            columns.append(query.text(i));
        rows.append(columns.join(u'|'));
    }
    return rows;
}

void TestCheckCommand::ctrlC_stopsTheRunAndKeepsTheFindingsSoFar() {
    addStations({u"/stream"_s, u"/icy"_s, u"/page"_s, u"/silent"_s, u"/silent"_s, u"/silent"_s, u"/silent"_s});
    QTimer::singleShot(500, [] { std::raise(SIGINT); });
    QElapsedTimer clock;
    clock.start();
    QByteArray output;
    QCOMPARE(check({u"--timeout"_s, u"10"_s}, &output), int(CommandLine::Failed));
    QVERIFY(clock.elapsed() < 5000);
    QCOMPARE(table(u"SELECT r.名称, h.result FROM station_health h JOIN radio r ON r.rowid = h.station "
                   "ORDER BY h.station"_s),
             (QStringList{u"/stream|plays"_s, u"/icy|plays"_s, u"/page|not-a-stream"_s}));
    QVERIFY2(output.contains("Checked 3 stations") && output.contains("Stopped by Ctrl+C"), output.constData());
}

void TestCheckCommand::report_listsTheLastFindingsDeadFirst_andExportsTheDeadAsM3u() {
    addStations({u"/stream"_s, u"/page"_s, u"/missing"_s, u"/broken"_s, u"/icy"_s});
    const QStringList radio = table(u"SELECT * FROM radio"_s);
    // Dead stations are findings, not a failure of the command; a second run replaces the first's findings.
    QCOMPARE(check({}), int(CommandLine::Done));
    QCOMPARE(check({}), int(CommandLine::Done));
    QCOMPARE(table(u"SELECT count(*) FROM station_health"_s), QStringList{u"5"_s});
    QCOMPARE(table(u"SELECT * FROM radio"_s), radio);
    // A station whose address changed since has no finding for it.
    dir->changeCatalogue(u"UPDATE radio SET 网址 = 'http://example.org/' WHERE 名称 = '/icy'"_s);

    QByteArray output;
    QCOMPARE(check({u"--report"_s, u"--json"_s}, &output), int(CommandLine::Done));
    const QJsonObject report = QJsonDocument::fromJson(output).object();
    QStringList listed;
    for (const QJsonValue station : report[u"stations"_s].toArray())
        listed.append(station[u"name"_s].toString() + u' ' + station[u"standing"_s].toString());
    QCOMPARE(listed, (QStringList{u"/missing dead"_s, u"/broken dead"_s, u"/page undecided"_s, u"/stream plays"_s}));
    QCOMPARE(report[u"summary"_s][u"dead"_s].toInt(), 2);

    // What the station's source said goes with it, as in any export.
    dir->changeCatalogue(u"INSERT INTO station_attribute SELECT rowid, 0, 'm3u', 'tvg-id', 'missing.one' FROM radio "
                         "WHERE 名称 = '/missing'"_s);
    const QString playlist = dir->file(u"dead.m3u"_s);
    QCOMPARE(check({u"--report"_s, u"--export-dead"_s, playlist}), int(CommandLine::Done));
    const QString url = u"http://"_s + server->authority();
    QCOMPARE(QString::fromUtf8(dir->read(u"dead.m3u"_s)).split(u'\n'),
             (QStringList{u"#EXTM3U"_s,
                          u"#EXTINF:-1 tvg-id=\"missing.one\" group-title=\"海外广播\",/missing"_s,
                          url + u"/missing"_s,
                          u"#EXTINF:-1 group-title=\"海外广播\",/broken"_s,
                          url + u"/broken"_s,
                          {}}));
}

// As under `ulimit -n 64`: sixty-four stations on sixteen hosts asked for all at once, with room for forty more open
// files. Servers in a process of their own take none of that room.
void TestCheckCommand::fewOpenFiles_checkFewerAtOnce_andCallNoStationDead() {
    QStringList hosts;
    for (int host = 1; host <= 16; ++host)
        hosts.append(u"127.0.0.%1"_s.arg(host));
    const StationServers servers(hosts);
    for (int station = 0; station < 64; ++station)
        dir->changeCatalogue(
            u"INSERT INTO radio (类别, 名称, 网址) VALUES ('海外广播', '%1', 'http://%2/stream')"_s.arg(station).arg(
                servers.authorities().at(station % 16)));
    {
        const FileRoom files(40);
        QCOMPARE(check({u"--jobs"_s, u"64"_s}), int(CommandLine::Done));
    }
    QCOMPARE(table(u"SELECT result, count(*) FROM station_health GROUP BY result"_s), QStringList{u"plays|64"_s});
}

QTEST_GUILESS_MAIN(TestCheckCommand)
#include "tst_checkcommand.moc"
