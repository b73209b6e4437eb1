#include "internet/Download.h"
#include "tests/support/WebServer.h"

#include <QNetworkAccessManager>
#include <QSslConfiguration>
#include <QTest>

using namespace Qt::StringLiterals;
using Internet::FetchError;

namespace {

const QByteArray List = "#EXTM3U\n#EXTINF:-1 group-title=\"海外广播\",Radio Swiss Jazz\nhttp://a.example/jazz\n";

// One behaviour a path, as servers behave that a playlist's address may lead to.
QByteArray serve(const WebServer::Request& request) {
    const QByteArray& path = request.path;
    if (path == "/list.m3u")
        return WebServer::answer("200 OK", List, "Content-Type: audio/x-mpegurl\r\n");
    if (path.startsWith("/hop/")) {
        const int left = path.mid(5).toInt();
        return left == 0
                   ? WebServer::answer("200 OK", List)
                   : WebServer::answer("302 Found", {}, "Location: /hop/" + QByteArray::number(left - 1) + "\r\n");
    }
    if (path == "/to-a-file")
        return WebServer::answer("301 Moved Permanently", {}, "Location: file:///etc/passwd\r\n");
    if (path == "/declared-huge")
        return "HTTP/1.1 200 OK\r\nContent-Length: 104857600\r\n\r\n#EXTM3U\n";
    if (path == "/unlabelled-huge")
        return "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + QByteArray(4096, '#');
    if (path == "/stream")
        return "HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\n\r\nID3" + QByteArray(600, 'U');
    if (path == "/unlabelled-stream")
        return "HTTP/1.1 200 OK\r\n\r\nOggS" + QByteArray(600, 'U');
    if (path == "/hls.m3u8")
        return WebServer::answer("200 OK", "#EXTM3U\n#EXT-X-TARGETDURATION:6\n#EXTINF:6.0,\nsegment.ts\n");
    if (path == "/page")
        return WebServer::answer("200 OK", "<!doctype html><title>Live</title>", "Content-Type: text/html\r\n");
    // A zlib stream, as HTTP's "deflate" has it: qCompress's without its length in front.
    if (path == "/deflated")
        return WebServer::answer("200 OK", qCompress(List).sliced(4), "Content-Encoding: deflate\r\n");
    if (path == "/deflated-cut")
        return "HTTP/1.1 200 OK\r\nContent-Encoding: deflate\r\n\r\n" + qCompress(List).sliced(4, 20);
    if (path == "/bad-gzip")
        return WebServer::answer("200 OK", "not gzip at all", "Content-Encoding: gzip\r\n");
    if (path == "/no-content")
        return "HTTP/1.1 204 No Content\r\nConnection: close\r\n\r\n";
    if (path == "/partial")
        return WebServer::answer("206 Partial Content", List, "Content-Range: bytes 0-99/4096\r\n");
    if (path == "/silent")
        return {};
    if (path == "/unasked-not-modified")
        return WebServer::answer("304 Not Modified", {});
    return WebServer::answer("404 Not Found", "not here");
}

} // namespace

// Downloads of playlists by address against servers on this machine: bounded in redirects, size and time, trusting
// only certificates the system trusts, and stopping at what is no list of stations.
class TestDownload : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QSslConfiguration::setDefaultConfiguration(defaults); }

    void download_endsAsTheServerAnswers_data();
    void download_endsAsTheServerAnswers();
    void download_withTheValidatorsOfTheLastAnswer_isNotModified();

private:
    QSslConfiguration defaults = QSslConfiguration::defaultConfiguration();
    WebServer server{serve};
    WebServer tlsServer{serve, true};
};

void TestDownload::download_endsAsTheServerAnswers_data() {
    QTest::addColumn<QUrl>("address");
    QTest::addColumn<bool>("trusted"); // the TLS server's certificate
    QTest::addColumn<int>("failure");  // FetchError::Kind, or -1 for the list
    QTest::addColumn<QString>("says");
    const auto at = [this](const char* path) { return server.address(QString::fromLatin1(path)); };
    const int none = -1;
    QTest::newRow("a list") << at("/list.m3u") << false << none << QString();
    QTest::newRow("five redirects") << at("/hop/5") << false << none << QString();
    QTest::newRow("six redirects") << at("/hop/6") << false << int(FetchError::Kind::Redirects)
                                   << at("/hop/6").toString() + u" (redirected to "_s;
    QTest::newRow("a redirect to a file") << at("/to-a-file") << false << int(FetchError::Kind::Redirects)
                                          << u"file:///etc/passwd, which is no web address"_s;
    QTest::newRow("said to be too large") << at("/declared-huge") << false << int(FetchError::Kind::TooLarge)
                                          << u"100.0 MiB is larger than the limit of 64.0 MiB"_s;
    QTest::newRow("found to be too large") << at("/unlabelled-huge") << false << int(FetchError::Kind::TooLarge)
                                           << u"the answer is larger than the limit of 1.0 KiB"_s;
    QTest::newRow("a stream by its type") << at("/stream") << false << int(FetchError::Kind::NotAPlaylist)
                                          << u"one audio or video stream (audio/mpeg), not a list"_s;
    QTest::newRow("a stream by its bytes")
        << at("/unlabelled-stream") << false << int(FetchError::Kind::NotAPlaylist) << u"one audio or video stream"_s;
    QTest::newRow("no content") << at("/no-content") << false << int(FetchError::Kind::Status)
                                << u"the server sent nothing"_s;
    QTest::newRow("a damaged compressed body")
        << at("/bad-gzip") << false << int(FetchError::Kind::Network)
        << u"a compressed body that does not decode; the download is incomplete"_s;
    QTest::newRow("a compressed list") << at("/deflated") << false << none << QString();
    QTest::newRow("a compressed list cut short")
        << at("/deflated-cut") << false << int(FetchError::Kind::Network) << u"before the end of the compressed body"_s;
    QTest::newRow("a part") << at("/partial") << false << int(FetchError::Kind::Status) << u"a part of the file"_s;
    QTest::newRow("one HLS station") << at("/hls.m3u8") << false << int(FetchError::Kind::NotAPlaylist)
                                     << u"the HLS playlist of one station"_s;
    QTest::newRow("a web page") << at("/page") << false << int(FetchError::Kind::NotAPlaylist) << u"a web page"_s;
    QTest::newRow("not modified, unasked")
        << at("/unasked-not-modified") << false << int(FetchError::Kind::Status) << u"HTTP 304 Not Modified"_s;
    QTest::newRow("not found") << at("/missing") << false << int(FetchError::Kind::Status) << u"HTTP 404 Not Found"_s;
    QTest::newRow("no answer") << at("/silent") << false << int(FetchError::Kind::TimedOut)
                               << u"no whole answer within 0.5 s"_s;
    QTest::newRow("a certificate the system does not trust")
        << tlsServer.address(u"/list.m3u"_s) << false << int(FetchError::Kind::Certificate)
        << u"the server's certificate is not one the system trusts (The certificate is self-signed"_s;
    QTest::newRow("a certificate the system trusts") << tlsServer.address(u"/list.m3u"_s) << true << none << QString();
}

void TestDownload::download_endsAsTheServerAnswers() {
    QFETCH(QUrl, address);
    QFETCH(bool, trusted);
    QFETCH(int, failure);
    QFETCH(QString, says);
    if (trusted)
        WebServer::trustCertificate();
    Internet::Request request;
    request.address = address;
    request.playlist = true;
    request.timeout = std::chrono::milliseconds(500);
    if (address.path() == u"/unlabelled-huge"_s)
        request.maxBytes = 1024;
    // A manager of its own: one keeps the connections it made, and what it learnt of their certificates.
    QNetworkAccessManager network;
    try {
        const Internet::Answer answer = Internet::Download(network, request).run();
        QCOMPARE(failure, -1);
        QCOMPARE(answer.body, List);
    } catch (const FetchError& error) {
        QVERIFY2(QString::fromUtf8(error.what()).contains(says), error.what());
        QCOMPARE(int(error.kind()), failure);
    }
}

void TestDownload::download_withTheValidatorsOfTheLastAnswer_isNotModified() {
    QNetworkAccessManager network;
    QByteArray list = List;
    WebServer files(WebServer::files([&](const QByteArray&) { return std::optional(list); }));
    Internet::Request request;
    request.address = files.address(u"/list.m3u"_s);
    const Internet::Answer first = Internet::Download(network, request).run();
    QVERIFY(!first.etag.isEmpty() && !first.lastModified.isEmpty());

    // Either validator alone will do, as servers give one or the other.
    for (const auto& [etag, lastModified] : {std::pair{first.etag, QByteArray()}, {QByteArray(), first.lastModified}}) {
        request.etag = etag;
        request.lastModified = lastModified;
        const Internet::Answer again = Internet::Download(network, request).run();
        QVERIFY(again.notModified);
        QVERIFY(again.body.isEmpty());
    }
    list += "http://b.example/\n";
    request.etag = first.etag;
    const Internet::Answer changed = Internet::Download(network, request).run();
    QVERIFY(!changed.notModified);
    QCOMPARE(changed.body, list);
}

QTEST_GUILESS_MAIN(TestDownload)
#include "tst_download.moc"
