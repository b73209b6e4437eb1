#include "catalogue/Catalogue.h"
#include "cli/CommandLine.h"
#include "tests/support/Commands.h"
#include "tests/support/TestProgramDir.h"
#include "tests/support/WebServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <optional>

using namespace Qt::StringLiterals;
using Catalogue::Station;
using Stations = std::vector<Station>;

namespace {

const QByteArray List = "#EXTM3U\n"
                        "#EXTINF:-1 tvg-id=\"rsj\" group-title=\"海外广播\",Radio Swiss Jazz\n"
                        "https://stream.srg-ssr.ch/m/rsj/mp3_128\n"
                        "#EXTINF:-1 group-title=\"News, World\",France 24 English\n"
                        "https://static.france24.com/live/F24_EN_HI_HLS/live_web.m3u8\n";

// Each station a string of its own: moc loses its way in a raw string that spans lines here.
const QByteArray DirectoryAnswer =
    R"([{"stationuuid":"9617a958","name":"Radio Swiss Jazz","url":"http://www.radioswissjazz.ch/live/mp3.m3u",)"
    R"("url_resolved":"https://stream.srg-ssr.ch/m/rsj/mp3_128","countrycode":"CH","codec":"MP3","bitrate":128,)"
    R"("votes":9001},{"stationuuid":"b2","name":"Jazz Radio","url":"http://jazz.example/stream","votes":12},)"
    R"({"name":"Trap","url":"javascript:alert"}])";

} // namespace

// The commands that reach the internet, as a script calls them, against servers on this machine.
class TestInternetCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        dir.emplace();
        dir->changeCatalogue(u"DELETE FROM radio"_s);
    }
    void cleanup() {
        dir.reset();
        qunsetenv("VIMARO_DIRECTORY_SERVER");
    }

    void wrongCommandLines_exitWithUsage_data();
    void wrongCommandLines_exitWithUsage();
    void import_ofAnAddress_reportsAsForAFile_withTheCategoriesNoPanelShows();
    void import_ofAStream_saysItIsOneStream();
    void update_ofAnUnchangedList_asksOnceAndWritesNothing();
    void update_ofTheSameListWithANewETag_asksWithItNextTime();
    void update_ofManyChanges_listsTheFirstAndCountsTheRest();
    void update_ofAListCutShortOfItsFraming_failsAndChangesNothing_data();
    void update_ofAListCutShortOfItsFraming_failsAndChangesNothing();
    void subscribe_toALockedCatalogue_saysSoInEnglish();
    void ctrlC_duringADownload_writesNothing();
    void ctrlC_whileAListIsWritten_leavesTheCatalogueAsItWasAndNoJournal_data();
    void ctrlC_whileAListIsWritten_leavesTheCatalogueAsItWasAndNoJournal();
    void find_listsTheDirectorysStations_andAddsThePickedOnes();

private:
    // Runs a command as the program runs it, with what it prints to standard output caught in `output`.
    int run(const QStringList& arguments, QByteArray* output = nullptr);
    Stations stations() {
        Database catalogue = Catalogue::openConnection();
        return Catalogue::stations(catalogue);
    }

    std::optional<TestProgramDir> dir;
};

int TestInternetCommands::run(const QStringList& arguments, QByteArray* output) {
    const CommandRun ran = runCommand(arguments);
    if (output)
        *output = ran.output;
    return ran.exit;
}

void TestInternetCommands::wrongCommandLines_exitWithUsage_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("subscribe to a file") << QStringList{u"subscribe"_s, u"list.m3u"_s};
    QTest::newRow("import within no time")
        << QStringList{u"import"_s, u"http://127.0.0.1:9/a.m3u"_s, u"--timeout"_s, u"0"_s};
    QTest::newRow("import within nan seconds")
        << QStringList{u"import"_s, u"http://127.0.0.1:9/a.m3u"_s, u"--timeout"_s, u"nan"_s};
    QTest::newRow("update two") << QStringList{u"update"_s, u"http://127.0.0.1:9/a"_s, u"http://127.0.0.1:9/b"_s};
    QTest::newRow("pick without add") << QStringList{u"find"_s, u"jazz"_s, u"--pick"_s, u"1"_s};
    QTest::newRow("a limit of none") << QStringList{u"find"_s, u"jazz"_s, u"--limit"_s, u"0"_s};
    QTest::newRow("a server that is no address") << QStringList{u"find"_s, u"jazz"_s, u"--server"_s, u"mirror"_s};
}

void TestInternetCommands::wrongCommandLines_exitWithUsage() {
    QFETCH(QStringList, arguments);
    QCOMPARE(run(arguments), int(CommandLine::Usage));
}

void TestInternetCommands::import_ofAnAddress_reportsAsForAFile_withTheCategoriesNoPanelShows() {
    WebServer server(WebServer::files([](const QByteArray&) { return std::optional(List); }));
    QByteArray output;
    QCOMPARE(run({u"import"_s, server.address(u"/tv.m3u"_s).toString()}, &output), int(CommandLine::Done));
    QVERIFY2(output.contains("Added:              2\n"), output.constData());
    QVERIFY2(output.contains("In no panel:        1, in categories no panel lists and no quick-select slot plays\n"
                             "  \"News, World\"  1\n"),
             output.constData());
    QCOMPARE(stations(), (Stations{{u"海外广播"_s, u"Radio Swiss Jazz"_s, u"https://stream.srg-ssr.ch/m/rsj/mp3_128"_s},
                                   {u"News, World"_s, u"France 24 English"_s,
                                    u"https://static.france24.com/live/F24_EN_HI_HLS/live_web.m3u8"_s}}));
    // A file: address names a file, which holds the same stations.
    dir->write(u"tv.m3u"_s, List);
    QCOMPARE(run({u"import"_s, QUrl::fromLocalFile(dir->file(u"tv.m3u"_s)).toString()}, &output),
             int(CommandLine::Done));
    QVERIFY2(output.contains("Already present:    2\n"), output.constData());
}

void TestInternetCommands::import_ofAStream_saysItIsOneStream() {
    WebServer stream([](const WebServer::Request&) {
        return "HTTP/1.1 200 OK\r\nContent-Type: audio/x-wav\r\n\r\nRIFF" + QByteArray(600, 'U');
    });
    const QString address = stream.address(u"/jazz.wav"_s).toString();
    const CommandRun ran = runCommand({u"import"_s, address});
    QCOMPARE(ran.exit, int(CommandLine::Failed));
    QCOMPARE(ran.errors, "vimaro import: " + address.toUtf8() +
                             ": this is one audio or video stream (audio/x-wav), not a list of stations\n");
}

void TestInternetCommands::update_ofAnUnchangedList_asksOnceAndWritesNothing() {
    WebServer server(WebServer::files([](const QByteArray&) { return std::optional(List); }));
    const QString address = server.address(u"/tv.m3u"_s).toString();
    QCOMPARE(run({u"subscribe"_s, address}), int(CommandLine::Done));
    const QByteArray catalogue = dir->read(u"tv.mdb"_s);
    const int requests = server.requests();

    QByteArray output;
    QCOMPARE(run({u"update"_s}, &output), int(CommandLine::Done));
    QCOMPARE(output, address.toUtf8() + ": unchanged\n");
    QCOMPARE(server.requests(), requests + 1);
    QVERIFY(dir->read(u"tv.mdb"_s) == catalogue);

    QCOMPARE(run({u"subscriptions"_s}, &output), int(CommandLine::Done));
    QVERIFY2(output.contains("into the list's own groups, 2 stations, last updated "), output.constData());
}

void TestInternetCommands::update_ofTheSameListWithANewETag_asksWithItNextTime() {
    QByteArray etag = "\"v1\"";
    QByteArray asked;
    WebServer server([&](const WebServer::Request& request) {
        asked = request.headers.value("if-none-match");
        return asked == etag ? WebServer::answer("304 Not Modified", {}, "ETag: " + etag + "\r\n")
                             : WebServer::answer("200 OK", List, "ETag: " + etag + "\r\n");
    });
    QCOMPARE(run({u"subscribe"_s, server.address().toString()}), int(CommandLine::Done));
    etag = "\"v2\"";
    QCOMPARE(run({u"update"_s}), int(CommandLine::Done));
    QCOMPARE(run({u"update"_s}), int(CommandLine::Done));
    QCOMPARE(asked, etag);
}

void TestInternetCommands::update_ofManyChanges_listsTheFirstAndCountsTheRest() {
    QByteArray list = "#EXTM3U\n";
    for (int i = 0; i < 60; ++i)
        list += "#EXTINF:-1 tvg-id=\"" + QByteArray::number(i) + "\",Station\nhttp://a.example/" +
                QByteArray::number(i) + "\n";
    WebServer server(WebServer::files([&](const QByteArray&) { return std::optional(list); }));
    QCOMPARE(run({u"subscribe"_s, server.address().toString()}), int(CommandLine::Done));
    list.replace("a.example", "b.example");
    QByteArray output;
    QCOMPARE(run({u"update"_s}, &output), int(CommandLine::Done));
    QVERIFY2(output.contains("Changed:            60\n"), output.constData());
    QVERIFY2(output.contains("  ... and 10 more\n"), output.constData());
}

void TestInternetCommands::update_ofAListCutShortOfItsFraming_failsAndChangesNothing_data() {
    QTest::addColumn<QByteArray>("answer");
    const qsizetype half = List.indexOf("#EXTINF", 10);
    const QByteArray first = List.first(half);
    const QByteArray chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" +
                               QByteArray::number(first.size(), 16) + "\r\n" + first + "\r\n";
    QTest::newRow("closed after its first chunk") << chunked;
    QTest::newRow("a malformed chunk size") << chunked + "zz\r\n" + List.sliced(half) + "\r\n0\r\n\r\n";
    QTest::newRow("short of its length") << "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(List.size()) +
                                                "\r\n\r\n" + first;
}

// The first half of the list taken for the whole would lose the second half's stations at --prune.
void TestInternetCommands::update_ofAListCutShortOfItsFraming_failsAndChangesNothing() {
    QFETCH(QByteArray, answer);
    bool cut = false;
    WebServer server([&](const WebServer::Request&) { return cut ? answer : WebServer::answer("200 OK", List); });
    QCOMPARE(run({u"subscribe"_s, server.address(u"/tv.m3u"_s).toString()}), int(CommandLine::Done));
    const QByteArray before = dir->read(u"tv.mdb"_s);
    cut = true;
    for (int update = 0; update < 2; ++update) {
        const CommandRun ran = runCommand({u"update"_s, u"--prune"_s});
        QCOMPARE(ran.exit, int(CommandLine::Failed));
        QVERIFY2(ran.errors.contains("the download is incomplete"), ran.errors.constData());
    }
    QVERIFY(dir->read(u"tv.mdb"_s) == before);
}

void TestInternetCommands::subscribe_toALockedCatalogue_saysSoInEnglish() {
    WebServer server(WebServer::files([](const QByteArray&) { return std::optional(List); }));
    Database other = Catalogue::openConnection();
    other.execute(u"BEGIN IMMEDIATE"_s);
    const CommandRun ran = runCommand({u"subscribe"_s, server.address().toString(), u"--no-backup"_s});
    QCOMPARE(ran.exit, int(CommandLine::Failed));
    QVERIFY2(ran.errors.contains("the catalogue is in use by another program; try again later (database is locked)"),
             ran.errors.constData());
}

void TestInternetCommands::ctrlC_duringADownload_writesNothing() {
    WebServer silent([](const WebServer::Request&) { return QByteArray(); });
    const QByteArray catalogue = dir->read(u"tv.mdb"_s);
    QTimer::singleShot(300, [] { std::raise(SIGINT); });
    QCOMPARE(run({u"subscribe"_s, silent.address(u"/tv.m3u"_s).toString()}), int(CommandLine::Failed));
    QVERIFY(dir->read(u"tv.mdb"_s) == catalogue);
}

void TestInternetCommands::ctrlC_whileAListIsWritten_leavesTheCatalogueAsItWasAndNoJournal_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("subscribe") << u"subscribe"_s;
    QTest::newRow("update") << u"update"_s;
    QTest::newRow("find --add") << u"find"_s;
}

// Ended by Ctrl+C in the middle of its transaction, the command would leave a hot journal.
void TestInternetCommands::ctrlC_whileAListIsWritten_leavesTheCatalogueAsItWasAndNoJournal() {
    QFETCH(QString, command);
    QByteArray served = List;
    WebServer server(WebServer::files([&](const QByteArray&) { return std::optional(served); }));
    const QString address = server.address(u"/tv.m3u"_s).toString();
    QStringList arguments{command, address};
    if (command == u"update"_s) {
        QCOMPARE(run({u"subscribe"_s, address}), int(CommandLine::Done));
        arguments = {command};
    }
    if (command == u"find"_s) {
        // As many stations as find takes, their texts as long as it takes them, for a write that lasts long enough
        // to be stopped even on a busy machine.
        const QByteArray text(1000, 'x');
        served = "[";
        for (int n = 0; n < 1000; ++n)
            served += R"({"name":"Station )" + QByteArray::number(n) + text + R"(","url":"http://many.example/)" +
                      QByteArray::number(n) + '/' + QByteArray(4000, 'x') + R"(","tags":")" + text +
                      R"(","country":")" + text + R"(","language":")" + text + R"("},)";
        served.back() = ']';
        arguments = {command, u"jazz"_s, u"--limit"_s, u"1000"_s, u"--add"_s, u"海外广播"_s, u"--server"_s, address};
    } else {
        for (int n = 0; n < 200000; ++n)
            served += "http://many.example/" + QByteArray::number(n) + '\n';
    }
    // A free page is not journaled when a write takes it, and keeps what the rolled-back write left there: without
    // free pages, a rollback leaves the file as it was, byte for byte.
    dir->changeCatalogue(u"VACUUM"_s);
    const QByteArray before = dir->read(u"tv.mdb"_s);
    const CommandRun ran = runCommandStoppedWhileWriting(arguments, dir->file(u"tv.mdb-journal"_s));

    QCOMPARE(ran.exit, int(CommandLine::Failed));
    QVERIFY2(ran.errors.contains("stopped by Ctrl+C"), ran.errors.constData());
    QVERIFY(!QFile::exists(dir->file(u"tv.mdb-journal"_s)));
    QVERIFY(dir->read(u"tv.mdb"_s) == before);
}

void TestInternetCommands::find_listsTheDirectorysStations_andAddsThePickedOnes() {
    WebServer directory([](const WebServer::Request&) { return WebServer::answer("200 OK", DirectoryAnswer); });
    QByteArray output;
    QCOMPARE(run({u"find"_s, u"jazz"_s, u"--server"_s, directory.address().toString()}, &output),
             int(CommandLine::Done));
    QCOMPARE(output, "  1  Radio Swiss Jazz  CH  MP3 128 kbit/s  9001 votes  https://stream.srg-ssr.ch/m/rsj/mp3_128\n"
                     "  2  Jazz Radio  --  ?  12 votes  http://jazz.example/stream\n"
                     "  3  Trap  --  ?  0 votes  javascript:alert  (will not play: not added)\n"_ba);
    QCOMPARE(run({u"find"_s, u"jazz"_s, u"--json"_s, u"--server"_s, directory.address().toString()}, &output),
             int(CommandLine::Done));
    QCOMPARE(QJsonDocument::fromJson(output).array().at(1)[u"url"_s].toString(), u"http://jazz.example/stream"_s);

    // Without --server and without the SRV record, the environment names the server, held to the same rule.
    qputenv("VIMARO_DIRECTORY_SERVER", "file:///etc/passwd");
    QCOMPARE(run({u"find"_s, u"jazz"_s}), int(CommandLine::Usage));
    qputenv("VIMARO_DIRECTORY_SERVER", directory.address().toEncoded());
    QCOMPARE(run({u"find"_s, u"jazz"_s, u"--add"_s, u"海外广播"_s, u"--pick"_s, u"2,3"_s}, &output),
             int(CommandLine::Done));
    QVERIFY2(output.contains("Added:              1\n"), output.constData());
    QCOMPARE(stations(), (Stations{{u"海外广播"_s, u"Jazz Radio"_s, u"http://jazz.example/stream"_s}}));
}

QTEST_GUILESS_MAIN(TestInternetCommands)
#include "tst_internet.moc"
