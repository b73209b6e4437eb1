#include "health/CheckRun.h"
#include "health/StationCheck.h"
#include "tests/health/StationServer.h"

#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QSslConfiguration>
#include <QTest>
#include <optional>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

class TestStationCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void findings_data();
    void findings();
    void checksOfOneHost_neverMoreThanFourAtOnce();

private:
    std::optional<StationServer> plain;
    std::optional<StationServer> tls;
    QSslConfiguration defaults;
};

void TestStationCheck::initTestCase() {
    plain.emplace();
    tls.emplace(true);
    defaults = QSslConfiguration::defaultConfiguration();
}

void TestStationCheck::cleanup() {
    QSslConfiguration::setDefaultConfiguration(defaults);
}

void TestStationCheck::findings_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("trusted"); // the TLS server's certificate
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<QString>("detail"); // a part of it

    const auto row = [](const char* name, const QString& address, const char* verdict, const QString& detail = {},
                        bool trusted = false) {
        QTest::newRow(name) << address << trusted << QString::fromLatin1(verdict) << detail;
    };
    row("audio stream", u"http://{plain}/stream"_s, "plays", u"audio/mpeg"_s);
    row("ICY stream", u"http://{plain}/icy"_s, "plays", u"ICY 200 OK, audio/mpeg"_s);
    row("five redirects", u"http://{plain}/hop/5"_s, "redirects", u"at http://{plain}/hop/0"_s);
    row("six redirects", u"http://{plain}/hop/6"_s, "too-many-redirects", u"more than 5"_s);
    row("redirect loop", u"http://{plain}/ping"_s, "too-many-redirects", u"loop back to http://{plain}/ping"_s);
    row("404", u"http://{plain}/missing"_s, "not-found", u"HTTP 404 Not Found"_s);
    row("500", u"http://{plain}/broken"_s, "server-error", u"HTTP 500"_s);
    row("HTML page", u"http://{plain}/page"_s, "not-a-stream", u"web page"_s);
    row("plain text", u"http://{plain}/text"_s, "not-a-stream", u"text/plain"_s);
    row("MP3 without a type", u"http://{plain}/unlabelled"_s, "plays", u"without a Content-Type"_s);
    row("HLS, live segment", u"http://{plain}/live.m3u8"_s, "plays", u"HLS playlist, first entry answers"_s);
    row("HLS, dead segment", u"http://{plain}/dead.m3u8"_s, "not-found", u"first entry http://{plain}/gone.ts"_s);
    row("HLS master playlist", u"http://{plain}/master.m3u8"_s, "plays", u"video/mp2t"_s);
    row("PLS playlist", u"http://{plain}/radio.pls"_s, "plays", u"PLS playlist"_s);
    row("DASH manifest", u"http://{plain}/live.mpd"_s, "plays", u"DASH manifest, first entry answers: audio/mp4"_s);
    row("never answers", u"http://{plain}/silent"_s, "timed-out", u"no answer within 1 s"_s);
    row("trickles", u"http://{plain}/trickle"_s, "timed-out", u"within 1 s"_s);
    row("endless stream", u"http://{plain}/endless"_s, "plays");
    row("endless playlist", u"http://{plain}/endless.m3u8"_s, "not-a-stream", u"lists no entry"_s);
    row("refused", u"http://{refused}/stream"_s, "refused");
    row("rtsp port answers", u"rtsp://{plain}/live"_s, "port-answers");
    row("rtsp port refused", u"rtsp://{refused}/live"_s, "refused");
    row("no scheme", u"www.example.org/live"_s, "bad-address");
    row("self-signed TLS", u"https://{tls}/stream"_s, "tls-failure", u"self-signed"_s);
    row("trusted TLS", u"https://{tls}/stream"_s, "plays", u"audio/mpeg"_s, true);
    row("ICY over TLS", u"https://{tls}/icy"_s, "plays", u"ICY 200 OK"_s, true);
}

void TestStationCheck::findings() {
    QFETCH(QString, address);
    QFETCH(bool, trusted);
    QFETCH(QString, verdict);
    QFETCH(QString, detail);
    const auto place = [&](QString text) {
        return text.replace(u"{plain}"_s, plain->authority())
            .replace(u"{tls}"_s, tls->authority())
            .replace(u"{refused}"_s, u"127.0.0.1:%1"_s.arg(refusedPort()));
    };
    if (trusted) {
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        QVERIFY(configuration.addCaCertificates(StationServer::certificatePath()));
        QSslConfiguration::setDefaultConfiguration(configuration);
    }

    QNetworkAccessManager network;
    StationCheck check(network, place(address), 1s);
    QSignalSpy finished(&check, &StationCheck::finished);
    check.start();
    QVERIFY(finished.wait(3000));
    QCOMPARE(finished.size(), 1);
    const auto finding = finished.constFirst().constFirst().value<Finding>();
    QCOMPARE(Verdicts::key(finding.verdict), verdict);
    QVERIFY2(finding.detail.contains(place(detail)), qPrintable(finding.detail));
}

void TestStationCheck::checksOfOneHost_neverMoreThanFourAtOnce() {
    StationServer::Gauge both;
    StationServer first(false, QHostAddress(u"127.0.0.1"_s), &both);
    StationServer second(false, QHostAddress(u"127.0.0.2"_s), &both);
    std::vector<Station> stations;
    for (qint64 id = 1; id <= 16; ++id)
        stations.push_back({{{}, {}, u"http://%1/slow"_s.arg((id <= 8 ? first : second).authority())}, id});
    bool read = false;
    CheckRun run([&] { return std::exchange(read, true) ? std::vector<Station>{} : stations; },
                 {.jobs = 6, .perHost = 4, .timeout = 5s});
    int playing = 0;
    connect(&run, &CheckRun::checked, this,
            [&](const Station&, const Finding& finding) { playing += finding.verdict == Verdict::Plays ? 1 : 0; });
    QSignalSpy finished(&run, &CheckRun::finished);
    run.start();
    QVERIFY(finished.wait(5000));
    QCOMPARE(playing, 16);
    QCOMPARE(first.mostAtOnce(), 4);
    QVERIFY(second.mostAtOnce() <= 4);
    QCOMPARE(both.most, 6);
}

QTEST_GUILESS_MAIN(TestStationCheck)
#include "tst_stationcheck.moc"
