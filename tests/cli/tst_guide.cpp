#include "cli/CommandLine.h"
#include "guide/Guide.h"
#include "tests/guide/GuideSamples.h"
#include "tests/support/Commands.h"
#include "tests/support/TestProgramDir.h"
#include "tests/support/WebServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimeZone>

using namespace Qt::StringLiterals;
using namespace GuideSamples;

namespace {

// Half an hour before midnight in Berlin, on the night the clocks go back from 03:00 summer time to 02:00.
const QDateTime Clock(QDate(2026, 10, 24), QTime(21, 30), Qt::UTC);

QByteArray hour(int hoursFromNine, int offsetSeconds) {
    return time(QDateTime(QDate(2026, 10, 24), QTime(21, 0), Qt::UTC).addSecs(hoursFromNine * 3600LL), offsetSeconds);
}

// Hourly programmes from 21:00 UTC, their times written in the given offset.
QByteArray hourly(const QByteArray& id, const QByteArray& name, int hours, int offsetSeconds) {
    QByteArray body = channel(id, name);
    for (int h = 0; h < hours; ++h)
        body += programme(id, hour(h, offsetSeconds), hour(h + 1, offsetSeconds), name + " " + QByteArray::number(h));
    return guide(body);
}

} // namespace

// The guide commands as a script calls them, against servers on this machine, at a fixed clock in Berlin.
class TestGuideCommands : public ProgramDirTest {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        ProgramDirTest::init();
        dir->changeCatalogue(u"DELETE FROM radio"_s);
        Guide::clockSeam.replace([] { return Clock; });
        qputenv("TZ", "Europe/Berlin");
    }
    void cleanup() {
        Guide::clockSeam.restore();
        qunsetenv("TZ");
        ProgramDirTest::cleanup();
    }

    void subscribe_toAListNamingTwoGuides_showsNowAndTheDayAcrossTheClockChange();
    void update_ofAnUnchangedGuide_asksOnce_andABadGuideKeepsTheOldOne();

private:
    QHash<QByteArray, QByteArray> served;
};

void TestGuideCommands::subscribe_toAListNamingTwoGuides_showsNowAndTheDayAcrossTheClockChange() {
    WebServer server(WebServer::files([this](const QByteArray& path) { return served.value(path); }));
    const QByteArray root = server.address().toString().toUtf8();
    served["/tv.m3u"] = "#EXTM3U url-tvg=\"" + root + "east.xml.gz, " + root +
                        "west.xml\"\n"
                        "#EXTINF:-1 tvg-id=\"east.cn\" group-title=\"国内电视\",东方卫视\nhttp://127.0.0.1:9/east\n"
                        "#EXTINF:-1 group-title=\"海外电视\",West News\nhttp://127.0.0.1:9/west\n"
                        "#EXTINF:-1 group-title=\"海外电视\",No Guide\nhttp://127.0.0.1:9/none\n";
    // 东方卫视 by the tvg-id its entry gives, whatever the guide calls it; West News by its name.
    served["/east.xml.gz"] =
        gzip(hourly("east.cn", "东方卫视", 6, 8 * 3600).replace(">东方卫视</display", ">Dragon TV</display"));
    served["/west.xml"] = hourly("west", "WEST NEWS", 2, -5 * 3600);

    const CommandRun subscribed = runCommand({u"subscribe"_s, server.address(u"/tv.m3u"_s).toString()});
    QCOMPARE(subscribed.exit, int(CommandLine::Done));
    QVERIFY2(subscribed.output.contains("east.xml.gz: 1 stations, 6 programmes"), subscribed.output.constData());
    QVERIFY2(subscribed.output.contains("west.xml: 1 stations, 2 programmes"), subscribed.output.constData());

    const CommandRun now = runCommand({u"now"_s});
    QCOMPARE(now.output, QByteArray("东方卫视\n"
                                    "  now   23:00–00:00  东方卫视 0\n"
                                    "  next  00:00–01:00  东方卫视 1\n"
                                    "West News\n"
                                    "  now   23:00–00:00  WEST NEWS 0\n"
                                    "  next  00:00–01:00  WEST NEWS 1\n"));
    const CommandRun json = runCommand({u"now"_s, u"海外电视"_s, u"--json"_s});
    const QJsonObject west = QJsonDocument::fromJson(json.output).array().at(0).toObject();
    QCOMPARE(west[u"next"_s][u"start"_s].toString(), u"2026-10-25T00:00:00+02:00"_s);

    // 02:00 comes twice that night: summer time's first hour after two ends at two again.
    const CommandRun day = runCommand({u"guide"_s, u"东方卫视"_s});
    QCOMPARE(day.exit, int(CommandLine::Done));
    QCOMPARE(day.output, QByteArray("2026-10-24 Sat\n"
                                    "  23:00–00:00  东方卫视 0\n"
                                    "2026-10-25 Sun\n"
                                    "  00:00–01:00  东方卫视 1\n"
                                    "  01:00–02:00  东方卫视 2\n"
                                    "  02:00–02:00  东方卫视 3\n"
                                    "  02:00–03:00  东方卫视 4\n"
                                    "  03:00–04:00  东方卫视 5\n"));
    QCOMPARE(runCommand({u"guide"_s, u"No Guide"_s}).exit, int(CommandLine::Failed));
}

void TestGuideCommands::update_ofAnUnchangedGuide_asksOnce_andABadGuideKeepsTheOldOne() {
    dir->changeCatalogue(u"INSERT INTO radio (类别, 名称, 网址) VALUES ('国内电视', '东方卫视', 'http://a/1')"_s);
    WebServer server(WebServer::files([this](const QByteArray& path) { return served.value(path); }));
    served["/east.xml"] = hourly("east.cn", "东方卫视", 2, 0);
    const QString address = server.address(u"/east.xml"_s).toString();
    QCOMPARE(runCommand({u"guide"_s, u"add"_s, address}).exit, int(CommandLine::Done));
    const QByteArray before = runCommand({u"now"_s}).output;
    QVERIFY(before.contains("东方卫视 0"));

    const int requests = server.requests();
    CommandRun update = runCommand({u"update"_s});
    QCOMPARE(update.exit, int(CommandLine::Done));
    QCOMPARE(update.output, "Guide " + address.toUtf8() + ": unchanged\n");
    QCOMPARE(server.requests(), requests + 1);

    served["/east.xml"] = hourly("east.cn", "东方卫视", 2, 0).replace("20261024", "2026-10-24");
    update = runCommand({u"update"_s});
    QCOMPARE(update.exit, int(CommandLine::Failed));
    QVERIFY2(update.errors.contains("is no XMLTV time") && update.errors.contains("previous guide is kept"),
             update.errors.constData());
    QCOMPARE(runCommand({u"now"_s}).output, before);
    QVERIFY(runCommand({u"guide"_s, u"sources"_s}).output.contains("refused: line"));
}

QTEST_GUILESS_MAIN(TestGuideCommands)
#include "tst_guide.moc"
