#include "catalogue/StationAttributes.h"
#include "guide/Import.h"
#include "tests/guide/GuideSamples.h"
#include "tests/support/TestProgramDir.h"

#include <QTest>
#include <QTimeZone>

using namespace Qt::StringLiterals;
using namespace GuideSamples;

namespace {

const QDateTime Now(QDate(2026, 12, 8), QTime(12, 0), Qt::UTC);

QByteArray at(int minutesFromNow, int offsetSeconds = 0) {
    return time(Now.addSecs(minutesFromNow * 60LL), offsetSeconds);
}

// The programmes of a station as "start stop title" in minutes from now, UTC.
QStringList shown(const std::vector<Guide::Programme>& programmes) {
    QStringList lines;
    for (const Guide::Programme& p : programmes)
        lines.append(u"%1 %2 %3"_s.arg(Now.secsTo(p.start) / 60).arg(Now.secsTo(p.stop) / 60).arg(p.title));
    return lines;
}

} // namespace

// Guides taken into the catalogue as they arrive, against a catalogue of two stations.
class TestGuide : public ProgramDirTest {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        ProgramDirTest::init();
        dir->changeCatalogue(u"DELETE FROM radio; INSERT INTO radio (编号, 类别, 名称, 网址) VALUES "
                             "(1, '国内电视', 'CCTV-1', 'http://a/1'), (2, '国内电视', 'cctv 新闻', 'http://a/2')"_s);
        catalogue.emplace(Catalogue::openConnection());
        source = Guide::addSource(*catalogue, u"http://127.0.0.1:9/guide.xml"_s, 0);
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    }
    void cleanup() {
        catalogue.reset();
        ProgramDirTest::cleanup();
    }

    void parseTime_data();
    void parseTime();
    void import_keepsTheWindowOfMatchedChannels_overlapsEndedByTheLaterStart();
    void import_ofAGzippedGuide_asOfItsPlainText();
    void badGuides_areRefusedWhole_andThePreviousGuideStays_data();
    void badGuides_areRefusedWhole_andThePreviousGuideStays();
    void aGzipBomb_stopsAtTheBound();
    void summary_saysNowAndNext_inLocalTime_andNothingWithoutAGuide();

private:
    Guide::ImportReport take(const QByteArray& bytes, qint64 largest = Guide::MaxUnpackedBytes) {
        Guide::Import import(*catalogue, source, Now, largest);
        // In pieces, as a download brings them.
        for (qsizetype at = 0; at < bytes.size(); at += 7)
            import.feed(QByteArrayView(bytes).sliced(at, std::min<qsizetype>(7, bytes.size() - at)));
        return import.finish({});
    }
    QStringList programmesOf(qint64 station) {
        return shown(Guide::programmes(*catalogue, station, Now.addDays(-1), Now.addDays(9)));
    }

    std::optional<Database> catalogue;
    Guide::Source source;
};

void TestGuide::parseTime_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("expected"); // -1: no time
    const qint64 noon = Now.toSecsSinceEpoch();
    QTest::newRow("offset") << u"20261208200000 +0800"_s << noon;
    QTest::newRow("negative offset") << u"20261208063000 -0530"_s << noon;
    QTest::newRow("no offset is UTC") << u"20261208120000"_s << noon;
    QTest::newRow("no seconds") << u"202612081200 +0000"_s << noon;
    QTest::newRow("leap day") << u"20280229000000"_s << QDateTime(QDate(2028, 2, 29), {}, Qt::UTC).toSecsSinceEpoch();
    QTest::newRow("no leap day") << u"20270229000000"_s << qint64(-1);
    QTest::newRow("ISO date") << u"2026-12-08T12:00:00Z"_s << qint64(-1);
    QTest::newRow("month 13") << u"20261308120000"_s << qint64(-1);
    QTest::newRow("short offset") << u"20261208120000 +08"_s << qint64(-1);
    QTest::newRow("empty") << QString() << qint64(-1);
}

void TestGuide::parseTime() {
    QFETCH(QString, text);
    QFETCH(qint64, expected);
    QCOMPARE(Guide::parseTime(text).value_or(-1), expected);
}

void TestGuide::import_keepsTheWindowOfMatchedChannels_overlapsEndedByTheLaterStart() {
    // CCTV-1 by its tvg-id alone, though another channel bears its name; the other station by its name.
    Catalogue::setAttributes(*catalogue, 1, {{Catalogue::AttributeSource::M3u, u"tvg-id"_s, u"one"_s}});
    const QByteArray body =
        channel("one", "第一频道") + channel("news", "ＣＣＴＶ  新闻") + channel("other", "CCTV-1") +
        programme("one", at(-240), at(-180), "long ago") + programme("one", at(-60), at(60), "on now") +
        programme("one", at(30), at(90), "starts early") + programme("one", at(90), at(80), "ends before it starts") +
        programme("one", at(120), at(180), "English", "<title lang=\"zh\">中文</title>") +
        programme("one", at(8 * 24 * 60), at(8 * 24 * 60 + 60), "next week") +
        programme("other", at(0), at(60), "not ours") +
        programme("news", at(0, 8 * 3600), at(60, -3600), "line\n\tbreak") + programme("news", at(60), at(120), "");
    const Guide::ImportReport report = take(guide(body));
    QCOMPARE(report.stations, 2);
    QCOMPARE(report.skipped, 1);
    QCOMPARE(programmesOf(1), (QStringList{u"-60 30 on now"_s, u"30 90 starts early"_s, u"120 180 中文"_s}));
    QCOMPARE(programmesOf(2), QStringList{u"0 60 line break"_s});
}

void TestGuide::import_ofAGzippedGuide_asOfItsPlainText() {
    const QByteArray plain = guide(channel("one", "CCTV-1") + programme("one", at(0), at(60), "news"));
    // Two gzip members, as concatenated .gz files give them.
    take(gzip(plain.first(100)) + gzip(plain.sliced(100)));
    QCOMPARE(programmesOf(1), QStringList{u"0 60 news"_s});
}

void TestGuide::badGuides_areRefusedWhole_andThePreviousGuideStays_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray good = channel("one", "CCTV-1") + programme("one", at(0), at(60), "new");
    QTest::newRow("not XMLTV") << QByteArray("<playlist><trackList/></playlist>") << u"no XMLTV guide"_s;
    QTest::newRow("a web page") << QByteArray("<!DOCTYPE html><html><body>moved</body></html>") << u"no XMLTV guide"_s;
    QTest::newRow("cut short") << guide(good).chopped(8) << u"cut short"_s;
    QTest::newRow("gzip cut short") << gzip(guide(good)).chopped(8) << u"cut short"_s;
    QTest::newRow("time") << guide(good + programme("one", "tomorrow", at(60), "x")) << u"\"tomorrow\""_s;
    QTest::newRow("entities") << "<!DOCTYPE tv [<!ENTITY a \"aaaa\">]><tv>" + good + "</tv>" << u"entities"_s;
    QTest::newRow("empty") << QByteArray() << u"empty"_s;
}

void TestGuide::badGuides_areRefusedWhole_andThePreviousGuideStays() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    take(guide(channel("one", "CCTV-1") + programme("one", at(0), at(60), "old")));
    try {
        take(bytes);
        QFAIL("the guide was taken");
    } catch (const Guide::GuideError& error) {
        QVERIFY2(QString::fromUtf8(error.what()).contains(reason), error.what());
    }
    QCOMPARE(programmesOf(1), QStringList{u"0 60 old"_s});
}

void TestGuide::aGzipBomb_stopsAtTheBound() {
    const QByteArray bomb = gzip("<tv>" + QByteArray(16 << 20, ' ') + "</tv>");
    QVERIFY(bomb.size() < 64 * 1024);
    QVERIFY_THROWS_EXCEPTION(Guide::GuideError, take(bomb, 1 << 20));
}

void TestGuide::summary_saysNowAndNext_inLocalTime_andNothingWithoutAGuide() {
    take(guide(channel("one", "CCTV-1") + programme("one", at(-30), at(30), "新闻联播") +
               programme("one", at(30), at(60), "天气预报")));
    qputenv("TZ", "Asia/Shanghai");
    const QString summary = Guide::summary(Guide::nowNext(*catalogue, 1, Now));
    qunsetenv("TZ");
    QCOMPARE(summary, u"正在播出 19:30–20:30 新闻联播 · 稍后 20:30 天气预报"_s);
    QVERIFY(Guide::nowNext(*catalogue, 2, Now).empty());
    QCOMPARE(Guide::nowTitle(Guide::nowNext(*catalogue, 1, Now.addSecs(45 * 60))), u"天气预报"_s);
}

QTEST_GUILESS_MAIN(TestGuide)
#include "tst_guide.moc"
