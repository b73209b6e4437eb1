#include "desktop/Launch.h"
#include "desktop/Players.h"
#include "desktop/StationLaunch.h"
#include "tests/support/MsgBoxScript.h"
#include "tests/support/StandInPlayers.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <csignal>
#include <optional>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString Hls = u"application/vnd.apple.mpegurl"_s;

} // namespace

Q_DECLARE_METATYPE(StationHints)

// Where a station goes, with the desktop's players and xdg-open played by stand-ins that record their arguments.
class TestPlayers : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void streamsAreToldFromPages_withoutARequest_data();
    void streamsAreToldFromPages_withoutARequest();
    void hlsStation_goesToTheDefaultHlsPlayer_withItsHeadersInItsOptions();
    void chosenPlayer_winsOverTheDesktops_vlcTakingHeadersAsItemOptions();
    void playerOfNoKnownFamily_getsTheAddressAlone();
    void headerThatCouldStartAnotherLine_isLeftOut();
    void pageAndStreamWithoutPlayer_goToXdgOpen_asBefore_data();
    void pageAndStreamWithoutPlayer_goToXdgOpen_asBefore();
    void handlerEndingWithAnError_saysSoInABox_andDoesNotCountAsPlayed();
    void playerThatRunsOn_isNoChildOfTheLauncher();
    void players_listsEveryPlayerForStreams_theHlsDefaultFirst();
    void defaults_areKeptUntilTheAssociationsChange();

private:
    // Plays the address with the route and waits for the program it went to; true when it counted as played.
    bool play(const QString& address, const StationRoute& route = {}, const QString& program = {});

    std::optional<StandInPlayers> players;
    QWidget owner;
    MsgBoxScript boxes;
};

void TestPlayers::initTestCase() {
    players.emplace();
}

void TestPlayers::init() {
    players->forget();
    boxes.clear();
    StandInPlayers::xdgOpenEndsWith(0);
}

bool TestPlayers::play(const QString& address, const StationRoute& route, const QString& program) {
    bool played = false;
    if (!playStation(tellInBox(owner), address, route, [&] { played = true; }))
        return false;
    if (!program.isEmpty() && !players->started(program))
        qFatal("%s was not started", qPrintable(program));
    (void)QTest::qWaitFor([&] { return played || !boxes.boxes().isEmpty(); }, 5000);
    return played;
}

void TestPlayers::streamsAreToldFromPages_withoutARequest_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<StationHints>("hints");
    QTest::addColumn<QString>("type");
    QTest::newRow("streaming scheme") << u"rtsp://a.example/tv"_s << StationHints{} << u"x-scheme-handler/rtsp"_s;
    QTest::newRow("HLS address") << u"https://a.example/live/index.m3u8?token=1"_s << StationHints{} << Hls;
    QTest::newRow("upper-case form") << u"http://a.example/RADIO.MP3"_s << StationHints{} << u"audio/mpeg"_s;
    QTest::newRow("a page") << u"https://tv.example/live/cctv1/"_s << StationHints{} << QString();
    QTest::newRow("a dot in a folder name") << u"https://a.example/v1.0/live"_s << StationHints{} << QString();
    QTest::newRow("the check found a stream, named the common way")
        << u"http://a.example:8000/live"_s << StationHints{u"audio/aacp"_s, false, {}, false} << u"audio/aac"_s;
    QTest::newRow("the check found a page, the directory says MP3")
        << u"http://a.example/"_s << StationHints{{}, true, u"MP3"_s, false} << QString();
    QTest::newRow("the check found no media type")
        << u"http://a.example/"_s << StationHints{u"text/plain"_s, false, {}, false} << QString();
    QTest::newRow("directory: HLS") << u"http://a.example/live"_s << StationHints{{}, false, u"AAC"_s, true} << Hls;
    QTest::newRow("directory: codec") << u"http://a.example/live"_s << StationHints{{}, false, u"mp3"_s, false}
                                      << u"audio/mpeg"_s;
    QTest::newRow("nothing known") << u"http://a.example/live"_s << StationHints{} << QString();
}

void TestPlayers::streamsAreToldFromPages_withoutARequest() {
    QFETCH(QString, address);
    QFETCH(StationHints, hints);
    QFETCH(QString, type);
    QCOMPARE(streamType(QUrl(address), hints), type);
}

void TestPlayers::hlsStation_goesToTheDefaultHlsPlayer_withItsHeadersInItsOptions() {
    const QString address = u"https://a.example/直播/index.m3u8"_s;
    const QString encoded = u"https://a.example/%E7%9B%B4%E6%92%AD/index.m3u8"_s;
    QVERIFY(play(address, {u"一台"_s, {}, {u"Mozilla/5.0 (X11)"_s, u"https://a.example/"_s}, {}}, u"mpv"_s));
    QCOMPARE(players->arguments(u"mpv"_s),
             QStringList({u"--player-operation-mode=pseudo-gui"_s, u"--user-agent=Mozilla/5.0 (X11)"_s,
                          u"--referrer=https://a.example/"_s, u"--"_s, encoded}));
    QVERIFY(boxes.boxes().isEmpty());
}

void TestPlayers::chosenPlayer_winsOverTheDesktops_vlcTakingHeadersAsItemOptions() {
    const QString address = u"https://a.example/index.m3u8"_s;
    QVERIFY(play(address, {u"一台"_s, {}, {u"UA"_s, u"https://r.example/"_s}, Players::named(u"vlc"_s)}, u"vlc"_s));
    QCOMPARE(players->arguments(u"vlc"_s), QStringList({u"--started-from-file"_s, address, u":http-user-agent=UA"_s,
                                                        u":http-referrer=https://r.example/"_s}));
    QVERIFY(players->arguments(u"mpv"_s).isEmpty());
}

void TestPlayers::playerOfNoKnownFamily_getsTheAddressAlone() {
    const QString address = u"http://a.example/radio.aac"_s;
    QVERIFY(play(address, {u"一台"_s, {}, {u"UA"_s, u"https://r.example/"_s}, {}}, u"tvbox"_s));
    QCOMPARE(players->arguments(u"tvbox"_s), QStringList{address});
}

void TestPlayers::headerThatCouldStartAnotherLine_isLeftOut() {
    const QString address = u"rtsp://a.example/tv"_s;
    QVERIFY(play(address, {u"一台"_s, {}, {u"UA\r\nX-Added: 1"_s, QString(MaxHeaderLength + 1, u'r')}, {}}, u"mpv"_s));
    QCOMPARE(players->arguments(u"mpv"_s), QStringList({u"--player-operation-mode=pseudo-gui"_s, u"--"_s, address}));
}

void TestPlayers::pageAndStreamWithoutPlayer_goToXdgOpen_asBefore_data() {
    QTest::addColumn<QString>("address");
    QTest::newRow("page") << u"https://tv.example/live/cctv1/"_s;
    QTest::newRow("stream of a type no player takes") << u"http://a.example/radio.flac"_s;
}

void TestPlayers::pageAndStreamWithoutPlayer_goToXdgOpen_asBefore() {
    QFETCH(QString, address);
    QVERIFY(play(address, {u"一台"_s, {}, {u"UA"_s, {}}, {}}, u"xdg-open"_s));
    QCOMPARE(players->arguments(u"xdg-open"_s), QStringList{address});
}

void TestPlayers::handlerEndingWithAnError_saysSoInABox_andDoesNotCountAsPlayed() {
    StandInPlayers::xdgOpenEndsWith(3);
    QVERIFY(!play(u"https://tv.example/"_s, {u"一台"_s, {}, {}, {}}, u"xdg-open"_s));
    QCOMPARE(boxes.boxes().size(), 1);
    QVERIFY(boxes.prompts().first().contains(u"一台"_s));
    QVERIFY(boxes.prompts().first().contains(u"vimaro player"_s));
}

// A player still running after the watched seconds belongs to a session of its own and to no process of the
// launcher's, so that the launcher's end neither waits for it nor ends it.
void TestPlayers::playerThatRunsOn_isNoChildOfTheLauncher() {
    QTemporaryDir dir;
    const QString pidFile = dir.filePath(u"pid"_s);
    std::optional<std::optional<QString>> seen;
    QVERIFY(launch({{u"/bin/sh"_s, u"-c"_s, u"echo $$ > \"$0\"; exec sleep 30"_s, pidFile}, u"http://a.example/"_s, {}},
                   [&](const std::optional<QString>& failure) { seen = failure; }));
    QTRY_VERIFY_WITH_TIMEOUT(seen.has_value(), WatchedMs + 3000);
    QCOMPARE(*seen, std::nullopt);
    QFile file(pidFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const pid_t player = file.readAll().trimmed().toInt();
    QVERIFY(player > 0 && ::kill(player, 0) == 0);
    QVERIFY(::getsid(player) != ::getsid(0));
    QFile stat(u"/proc/%1/stat"_s.arg(player));
    QVERIFY(stat.open(QIODevice::ReadOnly));
    const pid_t parent = stat.readAll().split(')').last().split(' ').value(2).toInt();
    QVERIFY(parent != ::getpid());
    ::kill(player, SIGTERM);
}

void TestPlayers::players_listsEveryPlayerForStreams_theHlsDefaultFirst() {
    QStringList listed;
    for (const Players::Player& player : Players::all())
        listed << u"%1 %2 %3"_s.arg(player.id, player.takesHeaders() ? u"headers"_s : u"-"_s, player.types.join(u','));
    QCOMPARE(listed,
             QStringList({u"mpv.desktop headers application/vnd.apple.mpegurl,audio/mpeg,x-scheme-handler/rtsp"_s,
                          u"vlc.desktop headers application/vnd.apple.mpegurl,audio/mpeg,audio/aac"_s,
                          u"tvbox.desktop - audio/aac"_s}));
}

void TestPlayers::defaults_areKeptUntilTheAssociationsChange() {
    const QString list = qEnvironmentVariable("XDG_CONFIG_HOME") + u"/mimeapps.list"_s;
    QFile file(list);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    QCOMPARE(Players::defaultFor(Hls)->id, u"mpv.desktop"_s);

    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(before).replace("vnd.apple.mpegurl=mpv", "vnd.apple.mpegurl=vlc"));
    file.close();
    QTRY_COMPARE_WITH_TIMEOUT(Players::defaultFor(Hls)->id, u"vlc.desktop"_s, 5000);

    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(before);
    file.close();
    QTRY_COMPARE_WITH_TIMEOUT(Players::defaultFor(Hls)->id, u"mpv.desktop"_s, 5000);
}

QTEST_MAIN(TestPlayers)
#include "tst_players.moc"
