#include "catalogue/RecentStations.h"
#include "catalogue/StationAttributes.h"
#include "internet/Directory.h"
#include "playing/PlayerChoice.h"
#include "playing/Playing.h"
#include "sqlite/Statement.h"
#include "tests/support/MsgBoxScript.h"
#include "tests/support/ShellRecorder.h"
#include "tests/support/StandInPlayers.h"
#include "tests/support/TestProgramDir.h"
#include "tests/support/WebServer.h"

#include <QTest>
#include <QWidget>

using namespace Qt::StringLiterals;

// Playing a station of the catalogue: the player chosen for it, what is remembered of a play, the directory's click.
class TestPlaying : public ProgramDirTest {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void choiceForACategory_winsOverTheChoiceForAll_whichWinsOverTheDesktops();
    void stationOfAnIptvList_playsWithTheHeadersItsListGave();
    void failedHandOff_saysSo_andStaysOutOfTheStationsPlayed();
    void rowsOfOneNameAndAddress_showOnceInTheStationsPlayed();
    void directoryStation_isToldToTheDirectoryOnceADay_andNeverWhenTurnedOff();

private:
    Catalogue::PlayableStation add(const QString& category, const QString& name, const QString& address,
                                   const QString& uuid = {});
    void play(const Catalogue::PlayableStation& station);
    QString playerOfLastHandOff() const;

    std::optional<StandInPlayers> players;
    std::optional<Database> connection;
    std::optional<ShellRecorder> shell;
    MsgBoxScript boxes;
    QWidget owner;
};

void TestPlaying::initTestCase() {
    players.emplace();
}

void TestPlaying::init() {
    ProgramDirTest::init();
    connection.emplace(Catalogue::openConnection());
    shell.emplace();
    boxes.clear();
}

void TestPlaying::cleanup() {
    shell.reset();
    connection.reset();
    ProgramDirTest::cleanup();
}

Catalogue::PlayableStation TestPlaying::add(const QString& category, const QString& name, const QString& address,
                                            const QString& uuid) {
    Catalogue::addStation(*connection, {category, name, address});
    Statement last(*connection, u"SELECT max(rowid) FROM radio"_s);
    last.step();
    const qint64 row = last.integer(0);
    if (!uuid.isEmpty()) {
        Transaction transaction(*connection);
        Catalogue::setAttributes(*connection, row, {{Catalogue::AttributeSource::Directory, u"stationuuid"_s, uuid}});
        transaction.commit();
    }
    return {row, name, address};
}

void TestPlaying::play(const Catalogue::PlayableStation& station) {
    Playing::play(tellInBox(owner), *connection, station);
}

QString TestPlaying::playerOfLastHandOff() const {
    return shell->handOffs().constLast().arguments.first().section(u'/', -1);
}

void TestPlaying::choiceForACategory_winsOverTheChoiceForAll_whichWinsOverTheDesktops() {
    const Catalogue::PlayableStation domestic = add(u"国内广播"_s, u"一台"_s, u"https://a.example/index.m3u8"_s);
    const Catalogue::PlayableStation overseas = add(u"海外广播"_s, u"二台"_s, u"https://b.example/index.m3u8"_s);
    play(domestic);
    QCOMPARE(playerOfLastHandOff(), u"mpv"_s);

    PlayerChoice::choose(*connection, {}, u"tvbox.desktop"_s);
    PlayerChoice::choose(*connection, u"国内广播"_s, u"vlc.desktop"_s);
    play(domestic);
    QCOMPARE(playerOfLastHandOff(), u"vlc"_s);
    play(overseas);
    QCOMPARE(playerOfLastHandOff(), u"tvbox"_s);

    PlayerChoice::choose(*connection, u"国内广播"_s, std::nullopt);
    play(domestic);
    QCOMPARE(playerOfLastHandOff(), u"tvbox"_s);
    // A page goes to the browser whatever player was chosen.
    play(add(u"国内广播"_s, u"三台"_s, u"https://c.example/live/"_s));
    QCOMPARE(playerOfLastHandOff(), u"xdg-open"_s);
}

void TestPlaying::stationOfAnIptvList_playsWithTheHeadersItsListGave() {
    using Catalogue::AttributeSource;
    const Catalogue::PlayableStation station = add(u"国内电视"_s, u"一台"_s, u"https://a.example/live/index.m3u8"_s);
    Transaction transaction(*connection);
    Catalogue::setAttributes(*connection, station.row,
                             {{AttributeSource::VlcOption, u"http-user-agent"_s, u"IPTV/1.0"_s},
                              {AttributeSource::Kodi, u"Referer"_s, u"https://r.example/"_s}});
    transaction.commit();
    play(station);
    QCOMPARE(shell->handOffs().constLast().arguments.mid(1),
             QStringList({u"--player-operation-mode=pseudo-gui"_s, u"--user-agent=IPTV/1.0"_s,
                          u"--referrer=https://r.example/"_s, u"--"_s, station.address.toString()}));
}

void TestPlaying::failedHandOff_saysSo_andStaysOutOfTheStationsPlayed() {
    const Catalogue::PlayableStation station = add(u"国内广播"_s, u"一台"_s, u"https://a.example/index.m3u8"_s);
    shell->failWith(u"以错误代码 2 结束"_s);
    play(station);
    QCOMPARE(boxes.boxes().size(), 1);
    QVERIFY(boxes.prompts().first().contains(u"一台"_s));
    QVERIFY(RecentStations::latest(*connection).empty());

    shell->answerWith(false);
    play(station);
    QCOMPARE(boxes.boxes().size(), 2);
    QVERIFY(RecentStations::latest(*connection).empty());
}

void TestPlaying::rowsOfOneNameAndAddress_showOnceInTheStationsPlayed() {
    const Catalogue::PlayableStation first = add(u"国内广播"_s, u"一台"_s, u"http://a.example/"_s);
    const Catalogue::PlayableStation other = add(u"国内广播"_s, u"二台"_s, u"http://b.example/"_s);
    const Catalogue::PlayableStation again = add(u"快速选台一"_s, u"一台"_s, u"http://a.example/"_s);
    for (const Catalogue::PlayableStation& station : {first, other, again})
        play(station);
    QCOMPARE(RecentStations::latest(*connection), (std::vector{again, other}));
}

void TestPlaying::directoryStation_isToldToTheDirectoryOnceADay_andNeverWhenTurnedOff() {
    QByteArrayList asked;
    WebServer directory([&](const WebServer::Request& request) {
        asked.append(request.path);
        return WebServer::answer("200 OK", "[]", "Content-Type: application/json\r\n");
    });
    qputenv(Directory::ServersVariable, directory.address().toString().toUtf8());
    const Catalogue::PlayableStation station = add(u"海外广播"_s, u"一台"_s, u"http://a.example/"_s, u"9617a958"_s);
    play(station);
    play(station);
    play(add(u"海外广播"_s, u"网页台"_s, u"http://page.example/"_s));
    QTRY_COMPARE(asked, QByteArrayList{"/json/url/9617a958"});

    PlayerChoice::setDirectoryClicks(*connection, false);
    play(add(u"海外广播"_s, u"二台"_s, u"http://b.example/"_s, u"1c2d3e4f"_s));
    QTest::qWait(300);
    QCOMPARE(asked.size(), 1);
    qunsetenv(Directory::ServersVariable);
}

QTEST_MAIN(TestPlaying)
#include "tst_playing.moc"
