#include "health/CheckRun.h"
#include "health/StationCheck.h"
#include "tests/health/StationServer.h"

#include <QSignalSpy>
#include <QSslConfiguration>
#include <QTest>
#include <QUdpSocket>
#include <arpa/inet.h>
#include <optional>
#include <resolv.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// A name server on this machine that never answers, and a resolver that asks it as the system's resolver asks its
// own: each lookup blocks until the resolver gives up, long after any check's timeout.
class SilentNameServer {
public:
    SilentNameServer() { socket_.bind(QHostAddress::LocalHost); }

    NameLookup::Resolver resolver() const {
        return [port = socket_.localPort()](const QString& host) {
            struct __res_state state {};
            res_ninit(&state);
            state.nscount = 1;
            state.nsaddr_list[0].sin_family = AF_INET;
            state.nsaddr_list[0].sin_port = htons(port);
            state.nsaddr_list[0].sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            unsigned char answer[512];
            res_nquery(&state, host.toUtf8().constData(), ns_c_in, ns_t_a, answer, sizeof answer);
            res_nclose(&state);
            return NameLookup::Result{{}, u"Host %1 not found"_s.arg(host)};
        };
    }

private:
    QUdpSocket socket_;
};

} // namespace

class TestStationCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void findings_data();
    void findings();
    void checksOfOneHost_neverMoreThanFourAtOnce();
    void hostileNeighbours_changeNoOtherStationsFinding();
    void ownShortage_isNoStationsFinding_data();
    void ownShortage_isNoStationsFinding();

private:
    std::optional<StationServer> plain;
    std::optional<StationServer> tls;
    QSslConfiguration defaults;
    SilentNameServer names;
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
    QTest::addColumn<QString>("address"); // {plain}, {tls}: the test servers; {refused}: a port where none listens
    QTest::addColumn<bool>("trusted");    // the TLS server's certificate
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
    row("redirect to rtsp", u"http://{plain}/to-rtsp"_s, "port-answers", u"after a redirect to rtsp://{plain}/live"_s);
    row("port 0", u"http://127.0.0.1:0/stream"_s, "bad-address", u"port 0"_s);
    row("silent name server", u"http://station.test/stream"_s, "timed-out",
        u"name lookup of station.test not finished within 1 s"_s);
    row("SSH server", u"http://{plain}/ssh"_s, "not-http", u"the answer begins \"SSH-2.0-OpenSSH_9.2p1"_s);
    row("header flood", u"http://{plain}/flood-head"_s, "server-error", u"a head longer than 64 KiB"_s);
    row("gzip bomb", u"http://{plain}/bomb.m3u8"_s, "not-a-stream", u"M3U playlist that lists no entry"_s);
    row("endless entry", u"http://{plain}/long-entry.m3u8"_s, "not-found",
        u"M3U playlist, first entry http://{plain}/aaaa"_s);
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

    StationCheck check(place(address), 1s, names.resolver());
    QSignalSpy finished(&check, &StationCheck::finished);
    check.start();
    QVERIFY(finished.wait(3000));
    QCOMPARE(finished.size(), 1);
    const auto finding = finished.constFirst().constFirst().value<Finding>();
    QVERIFY2(Verdicts::key(finding.verdict) == verdict, qPrintable(finding.detail));
    QCOMPARE(Verdicts::key(finding.verdict), verdict);
    QVERIFY2(finding.detail.contains(place(detail)), qPrintable(finding.detail));
    QVERIFY(finding.detail.size() <= MaxDetail);
}

void TestStationCheck::checksOfOneHost_neverMoreThanFourAtOnce() {
    StationServer::Gauge both;
    StationServer first(false, QHostAddress(u"127.0.0.1"_s), &both);
    StationServer second(false, QHostAddress(u"127.0.0.2"_s), &both);
    std::vector<Health::Station> stations;
    for (qint64 id = 1; id <= 16; ++id)
        stations.push_back({{{}, {}, u"http://%1/slow"_s.arg((id <= 8 ? first : second).authority())}, id});
    bool read = false;
    CheckRun run([&] { return std::exchange(read, true) ? std::vector<Health::Station>{} : stations; },
                 {.jobs = 6, .perHost = 4, .timeout = 5s});
    int playing = 0;
    connect(&run, &CheckRun::checked, this, [&](const Health::Station&, const Finding& finding) {
        playing += finding.verdict == Verdict::Plays ? 1 : 0;
    });
    QSignalSpy finished(&run, &CheckRun::finished);
    run.start();
    QVERIFY(finished.wait(5000));
    QCOMPARE(playing, 16);
    QCOMPARE(first.mostAtOnce(), 4);
    QVERIFY(second.mostAtOnce() <= 4);
    QCOMPARE(both.most, 6);
}

// Each station keeps to its own time and its own bytes: a flood of headers, a gzip bomb and a name server that never
// answers take nothing from the stations beside them, and the run ends long before the silent lookup does.
void TestStationCheck::hostileNeighbours_changeNoOtherStationsFinding() {
    StationServer healthy(false, QHostAddress(u"127.0.0.2"_s));
    std::vector<Health::Station> stations;
    for (const QString& path : {u"/flood-head"_s, u"/bomb.m3u8"_s, u"/silent"_s})
        stations.push_back({{{}, {}, u"http://%1%2"_s.arg(plain->authority(), path)}, 0});
    stations.push_back({{{}, {}, u"http://station.test/stream"_s}, 0});
    for (int i = 0; i < 8; ++i)
        stations.push_back({{{}, {}, u"http://%1/stream"_s.arg(healthy.authority())}, 0});
    bool read = false;
    CheckRun run([&] { return std::exchange(read, true) ? std::vector<Health::Station>{} : stations; },
                 {.jobs = 16, .perHost = 4, .timeout = 2s, .resolver = names.resolver()});
    QStringList findings;
    connect(&run, &CheckRun::checked, this, [&](const Health::Station& station, const Finding& finding) {
        findings.append(station.address.section(u'/', 3) + u' ' + Verdicts::key(finding.verdict));
    });
    QSignalSpy finished(&run, &CheckRun::finished);
    run.start();
    QVERIFY(finished.wait(6000));
    findings.sort();
    QCOMPARE(findings, (QStringList{u"bomb.m3u8 not-a-stream"_s, u"flood-head server-error"_s, u"silent timed-out"_s}
                        << QStringList(8, u"stream plays"_s) << u"stream timed-out"_s));
}

void TestStationCheck::ownShortage_isNoStationsFinding_data() {
    QTest::addColumn<int>("room");    // for open files
    QTest::addColumn<int>("checked"); // of six stations
    QTest::newRow("room for two connections") << 2 << 6;
    QTest::newRow("no room at all") << 0 << 0;
}

// A check that cannot open its connection is taken back and waits for one that can; a run in which no check can
// open one stops, and no station is called dead for this process's own want.
void TestStationCheck::ownShortage_isNoStationsFinding() {
    QFETCH(int, room);
    QFETCH(int, checked);
    const StationServers servers({u"127.0.0.1"_s, u"127.0.0.2"_s});
    std::vector<Health::Station> stations;
    for (qint64 id = 1; id <= 6; ++id)
        stations.push_back({{{}, {}, u"http://%1/stream"_s.arg(servers.authorities().at(id % 2))}, id});
    bool read = false;
    CheckRun run([&] { return std::exchange(read, true) ? std::vector<Health::Station>{} : stations; },
                 {.jobs = 6, .perHost = 4, .timeout = 5s});
    QStringList verdicts;
    connect(&run, &CheckRun::checked, this,
            [&](const Health::Station&, const Finding& finding) { verdicts.append(Verdicts::key(finding.verdict)); });
    QSignalSpy finished(&run, &CheckRun::finished);
    {
        const FileRoom files(room);
        run.start();
        QVERIFY(finished.wait(10000));
    }
    QCOMPARE(verdicts, QStringList(checked, u"plays"_s));
    QCOMPARE(run.shortage().isEmpty(), checked > 0);
}

QTEST_GUILESS_MAIN(TestStationCheck)
#include "tst_stationcheck.moc"
