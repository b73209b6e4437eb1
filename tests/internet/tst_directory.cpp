#include "internet/Directory.h"
#include "tests/support/WebServer.h"

#include <QNetworkAccessManager>
#include <QTest>
#include <QUrlQuery>

using namespace Qt::StringLiterals;
using Directory::Station;
using Stations = std::vector<Station>;

Q_DECLARE_METATYPE(Stations)

namespace {

// Two stations in the directory's shape, with fields of its own the program passes over.
const QByteArray Answer = R"([
 {"changeuuid":"x","stationuuid":"9617a958","name":"Radio Swiss Jazz","url":"http://www.radioswissjazz.ch/live/mp3.m3u",
  "url_resolved":"https://stream.srg-ssr.ch/m/rsj/mp3_128","homepage":"https://www.radioswissjazz.ch/","tags":"jazz,smooth",
  "country":"Switzerland","countrycode":"CH","language":"german","codec":"MP3","bitrate":128,"votes":9001,
  "lastcheckok":1,"geo_lat":null,"hls":1,"favicon":"https://www.radioswissjazz.ch/i.png"},
 {"stationuuid":"b2","name":"Jazz\u001b[31m Radio\n","url":"http://jazz.example/stream","url_resolved":"",
  "tags":null,"bitrate":0,"votes":12}
])";

const Station SwissJazz{u"9617a958"_s,
                        u"Radio Swiss Jazz"_s,
                        u"https://stream.srg-ssr.ch/m/rsj/mp3_128"_s,
                        u"https://www.radioswissjazz.ch/"_s,
                        u"jazz,smooth"_s,
                        u"Switzerland"_s,
                        u"CH"_s,
                        u"german"_s,
                        u"MP3"_s,
                        128,
                        9001,
                        u"https://www.radioswissjazz.ch/i.png"_s,
                        true};
const Station JazzRadio{
    u"b2"_s, u"Jazz[31m Radio"_s, u"http://jazz.example/stream"_s, {}, {}, {}, {}, {}, {}, 0, 12, {}, false};

} // namespace

// The community radio directory: its answers read by their shape, and its servers asked by its rules.
class TestDirectory : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readStations_takesTheDirectorysShapeOnly_data();
    void readStations_takesTheDirectorysShapeOnly();
    void search_asksByTheDirectorysRules_andFallsOverToTheNextServer();
    void attributes_keepTheFieldsGiven();
};

void TestDirectory::attributes_keepTheFieldsGiven() {
    using Catalogue::AttributeSource;
    const Catalogue::Attributes swissJazz = Directory::attributesOf(SwissJazz);
    QCOMPARE(valueOf(swissJazz, AttributeSource::Directory, u"stationuuid"), u"9617a958"_s);
    QCOMPARE(valueOf(swissJazz, AttributeSource::Directory, u"hls"), u"1"_s);
    QCOMPARE(valueOf(swissJazz, AttributeSource::Directory, u"bitrate"), u"128"_s);
    QCOMPARE(swissJazz.size(), 10U);
    // Fields the directory left empty are not kept; hls is always known.
    QCOMPARE(Directory::attributesOf(JazzRadio),
             (Catalogue::Attributes{{AttributeSource::Directory, u"stationuuid"_s, u"b2"_s},
                                    {AttributeSource::Directory, u"hls"_s, u"0"_s}}));
}

void TestDirectory::readStations_takesTheDirectorysShapeOnly_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<Stations>("stations");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("stations") << Answer << Stations{SwissJazz, JazzRadio} << QString();
    QTest::newRow("no stations") << "[]"_ba << Stations{} << QString();
    QTest::newRow("no JSON") << "<html>busy</html>"_ba << Stations{} << u"the answer is not JSON"_s;
    QTest::newRow("an object") << R"({"error":"rate limited"})"_ba << Stations{} << u"it is no JSON array"_s;
    QTest::newRow("an array of text") << R"(["a"])"_ba << Stations{} << u"in station 1, it is no JSON object"_s;
    QTest::newRow("a name that is a number")
        << R"([{"name":7,"url":"http://a/"}])"_ba << Stations{} << u"in station 1, name is not text"_s;
    QTest::newRow("votes as text") << R"([{"name":"a","url":"http://a/","votes":"many"}])"_ba << Stations{}
                                   << u"votes is not a number"_s;
    QTest::newRow("no address") << R"([{"name":"a"},{"name":"b","url":""}])"_ba << Stations{}
                                << u"in station 1, there is no url"_s;
    QTest::newRow("an address of a megabyte")
        << R"([{"name":"a","url":"http://a/)" + QByteArray(1 << 20, 'a') + R"("}])" << Stations{}
        << u"url is longer than 8192 characters"_s;
}

void TestDirectory::readStations_takesTheDirectorysShapeOnly() {
    QFETCH(QByteArray, json);
    QFETCH(Stations, stations);
    QFETCH(QString, refusal);
    try {
        QCOMPARE(Directory::readStations(json), stations);
        QVERIFY(refusal.isEmpty());
    } catch (const Directory::DirectoryError& error) {
        QVERIFY2(!refusal.isEmpty() && QString::fromUtf8(error.what()).contains(refusal), error.what());
    }
}

void TestDirectory::search_asksByTheDirectorysRules_andFallsOverToTheNextServer() {
    WebServer::Request asked;
    WebServer answering([&](const WebServer::Request& request) {
        asked = request;
        return WebServer::answer("200 OK", Answer, "Content-Type: application/json\r\n");
    });
    WebServer failing([](const WebServer::Request&) { return WebServer::answer("503 Service Unavailable", "down"); });
    WebServer strange([](const WebServer::Request&) { return WebServer::answer("200 OK", R"({"stations":[]})"); });
    QNetworkAccessManager network;
    Directory::Query query;
    query.name = u"swiss jazz"_s;
    query.countryCode = u"CH"_s;
    query.limit = 5;
    Directory::Search search(network, query, std::chrono::seconds(5),
                             {failing.address(), strange.address(), answering.address()});
    int fellOver = 0;
    connect(&search, &Directory::Search::fellOver, this, [&] { ++fellOver; });

    QCOMPARE(search.run(), (Stations{SwissJazz, JazzRadio}));
    // In whatever order the servers came, none that failed was the last one asked.
    QCOMPARE(fellOver, failing.requests() + strange.requests());
    QCOMPARE(asked.path, "/json/stations/search"_ba);
    const QUrlQuery parameters(QString::fromLatin1(asked.query));
    QCOMPARE(parameters.queryItemValue(u"name"_s, QUrl::FullyDecoded), u"swiss jazz"_s);
    QCOMPARE(parameters.queryItemValue(u"countrycode"_s), u"CH"_s);
    QCOMPARE(parameters.queryItemValue(u"limit"_s), u"5"_s);
    QCOMPARE(parameters.queryItemValue(u"hidebroken"_s), u"true"_s);
    QCOMPARE(parameters.queryItemValue(u"order"_s), u"votes"_s);
    QCOMPARE(parameters.queryItemValue(u"reverse"_s), u"true"_s);
    QCOMPARE(asked.headers.value("user-agent"), "vimaro/2.0"_ba);
}

QTEST_GUILESS_MAIN(TestDirectory)
#include "tst_directory.moc"
