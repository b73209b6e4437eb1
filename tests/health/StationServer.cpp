#include "tests/health/StationServer.h"

#include <QDir>
#include <QFile>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>
#include <unistd.h>
#include <zlib.h>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Mp3 = "ID3" + QByteArray(4096, '\x55');

QByteArray answer(const QByteArray& status, const QByteArray& type, const QByteArray& body,
                  const QByteArray& headers = {}) {
    QByteArray text = "HTTP/1.1 " + status + "\r\n" + headers;
    if (!type.isEmpty())
        text += "Content-Type: " + type + "\r\n";
    return text + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QByteArray streamHead(const QByteArray& type) {
    return "HTTP/1.1 200 OK\r\nContent-Type: " + type + "\r\n\r\n";
}

QByteArray redirect(const QByteArray& to) {
    return answer("302 Found", {}, {}, "Location: " + to + "\r\n");
}

// A finite answer, after which the server closes.
void send(QTcpSocket& socket, const QByteArray& bytes) {
    socket.write(bytes);
    socket.disconnectFromHost();
}

// Writes `chunk` again and again while the client keeps reading. Paced by a timer: on a TLS socket the bytes
// written are handed on at once, so writing on each bytesWritten would never return to the event loop.
void sendForever(QTcpSocket& socket, const QByteArray& head, const QByteArray& chunk) {
    socket.write(head + chunk);
    auto* pump = new QTimer(&socket);
    QObject::connect(pump, &QTimer::timeout, &socket, [&socket, chunk] {
        const auto* tls = qobject_cast<const QSslSocket*>(&socket);
        if (socket.bytesToWrite() + (tls ? tls->encryptedBytesToWrite() : 0) < 64 * 1024)
            socket.write(chunk);
    });
    pump->start(5);
}

void trickle(QTcpSocket& socket, const QByteArray& bytes) {
    auto* timer = new QTimer(&socket);
    QObject::connect(timer, &QTimer::timeout, &socket, [&socket, bytes, sent = qsizetype{0}]() mutable {
        if (sent < bytes.size())
            socket.write(bytes.mid(sent++, 1));
    });
    timer->start(50);
}

// `bytes` given `times` over, packed in one gzip stream.
QByteArray gzip(const QByteArray& bytes, int times) {
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, MAX_WBITS + 16, 9, Z_DEFAULT_STRATEGY);
    QByteArray packed;
    char out[64 * 1024];
    for (int i = 0; i < times; ++i) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
        stream.avail_in = static_cast<uInt>(bytes.size());
        const int flush = i + 1 == times ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(out);
            stream.avail_out = sizeof out;
            deflate(&stream, flush);
            packed.append(out, static_cast<qsizetype>(sizeof out - stream.avail_out));
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return packed;
}

// In chunks of 4 KiB, as chunked transfer sends a body of unknown length; the last chunk, which would end it, never
// comes.
QByteArray chunks(const QByteArray& body) {
    QByteArray text;
    for (qsizetype at = 0; at < body.size(); at += 4096) {
        const QByteArray chunk = body.mid(at, 4096);
        text += QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n";
    }
    return text;
}

const QByteArray Mpd = R"(<?xml version="1.0"?>
<MPD xmlns="urn:mpeg:dash:schema:mpd:2011" type="dynamic">
  <Period id="1">
    <AdaptationSet mimeType="audio/mp4">
      <SegmentTemplate initialization="init-$RepresentationID$.mp4" media="$RepresentationID$-$Number%05d$.m4s"/>
      <Representation id="audio" bandwidth="64000"/>
    </AdaptationSet>
  </Period>
</MPD>
)";

} // namespace

StationServer::StationServer(bool tls, const QHostAddress& address, Gauge* shared) : shared_(shared) {
    if (tls) {
        auto server = std::make_unique<QSslServer>();
        QFile certificate(certificatePath());
        QFile key(QStringLiteral(HEALTH_TEST_DATA "/localhost.key"));
        if (!certificate.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly))
            qFatal("cannot read the test certificate");
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificate(QSslCertificate(&certificate));
        configuration.setPrivateKey(QSslKey(&key, QSsl::Ec));
        server->setSslConfiguration(configuration);
        server_ = std::move(server);
    } else {
        server_ = std::make_unique<QTcpServer>();
    }
    // Emitted once a connection is ready to use, after the handshake on a TLS server.
    connect(server_.get(), &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (QTcpSocket* socket = server_->nextPendingConnection())
            accept(socket);
    });
    if (!server_->listen(address))
        qFatal("cannot listen on %s: %s", qPrintable(address.toString()), qPrintable(server_->errorString()));
}

StationServer::~StationServer() = default;

QString StationServer::authority() const {
    return u"%1:%2"_s.arg(server_->serverAddress().toString()).arg(server_->serverPort());
}

QString StationServer::certificatePath() {
    return QStringLiteral(HEALTH_TEST_DATA "/localhost.crt");
}

void StationServer::accept(QTcpSocket* socket) {
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, request = QByteArray(), served = false]() mutable {
        request += socket->readAll();
        if (served || !request.contains("\r\n\r\n"))
            return;
        served = true;
        serve(*socket, request.split(' ').value(1));
    });
}

void StationServer::serve(QTcpSocket& socket, const QByteArray& path) {
    if (path == "/stream")
        return sendForever(socket, streamHead("audio/mpeg"), Mp3);
    if (path == "/icy")
        return sendForever(socket, "ICY 200 OK\r\nicy-name: Test\r\ncontent-type: audio/mpeg\r\n\r\n", Mp3);
    if (path.startsWith("/hop/")) {
        const int left = path.mid(5).toInt();
        return send(socket,
                    left == 0 ? answer("200 OK", "audio/mpeg", Mp3) : redirect("/hop/" + QByteArray::number(left - 1)));
    }
    if (path == "/to-rtsp")
        return send(socket, redirect("rtsp://" + authority().toLatin1() + "/live"));
    if (path == "/ping" || path == "/pong")
        return send(socket, redirect(path == "/ping" ? "/pong" : "/ping"));
    if (path == "/broken")
        return send(socket, answer("500 Internal Server Error", "text/plain", "down"));
    if (path == "/page")
        return send(socket, answer("200 OK", "text/html; charset=utf-8", "<!doctype html><title>Live</title>"));
    if (path == "/text")
        return send(socket, answer("200 OK", "text/plain", "no music here"));
    if (path == "/unlabelled")
        return send(socket, answer("200 OK", {}, Mp3));
    if (path == "/live.m3u8")
        return send(socket, answer("200 OK", "application/vnd.apple.mpegurl",
                                   "#EXTM3U\n#EXT-X-TARGETDURATION:6\n#EXTINF:6.0,\nsegment.ts\n"));
    if (path == "/segment.ts")
        return send(socket, answer("200 OK", "video/mp2t", QByteArray(188 * 4, '\x47')));
    if (path == "/dead.m3u8")
        return send(socket, answer("200 OK", "application/vnd.apple.mpegurl",
                                   "#EXTM3U\n#EXT-X-TARGETDURATION:6\n#EXTINF:6.0,\ngone.ts\n"));
    if (path == "/master.m3u8")
        return send(socket, answer("200 OK", "application/x-mpegURL",
                                   "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=64000\nlive.m3u8\n"));
    if (path == "/radio.pls")
        return send(socket, answer("200 OK", "audio/x-scpls", "[playlist]\nNumberOfEntries=1\nFile1=/stream\n"));
    if (path == "/live.mpd")
        return send(socket, answer("200 OK", "application/dash+xml", Mpd));
    if (path == "/init-audio.mp4")
        return send(socket, answer("200 OK", "audio/mp4",
                                   QByteArray("\0\0\0\x18"
                                              "ftypiso6",
                                              12)));
    if (path == "/silent")
        return;
    if (path == "/trickle")
        return trickle(socket, streamHead("audio/mpeg") + Mp3);
    if (path == "/endless")
        return sendForever(socket, streamHead("audio/mpeg"), Mp3);
    if (path == "/endless.m3u8")
        return sendForever(socket, streamHead("audio/x-mpegurl") + "#EXTM3U\n", QByteArray(1000, '#') + '\n');
    if (path == "/flood-head")
        return sendForever(socket, "HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\n",
                           "X-Flood: " + QByteArray(1000, 'a') + "\r\n");
    if (path == "/ssh")
        return send(socket, "SSH-2.0-OpenSSH_9.2p1 Debian-2\r\n");
    if (path == "/bomb.m3u8") {
        static const QByteArray bomb = chunks(gzip(QByteArray(1024 * 1024, '\n'), 10));
        socket.write("HTTP/1.1 200 OK\r\nContent-Type: audio/x-mpegurl\r\nContent-Encoding: gzip\r\n"
                     "Transfer-Encoding: chunked\r\n\r\n" +
                     bomb);
        return;
    }
    if (path == "/long-entry.m3u8")
        return send(socket, answer("200 OK", "audio/x-mpegurl", gzip("#EXTM3U\n" + QByteArray(1024 * 1024, 'a'), 1),
                                   "Content-Encoding: gzip\r\n"));
    if (path == "/slow") {
        // Counted until the answer leaves: the server's own view of how many requests it had at once.
        count(+1);
        QTimer::singleShot(150, &socket, [this, &socket] {
            count(-1);
            send(socket, answer("200 OK", "audio/mpeg", Mp3));
        });
        return;
    }
    send(socket, answer("404 Not Found", "text/plain", "not here"));
}

void StationServer::count(int change) {
    gauge_.add(change);
    if (shared_)
        shared_->add(change);
}

StationServers::StationServers(const QStringList& addresses) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral(STATION_SERVERS), addresses);
    if (!process_.waitForReadyRead(10'000))
        qFatal("the station servers did not start");
    authorities_ = QString::fromLatin1(process_.readLine().trimmed()).split(u' ');
}

StationServers::~StationServers() {
    process_.closeWriteChannel();
    process_.waitForFinished();
}

FileRoom::FileRoom(int room) {
    getrlimit(RLIMIT_NOFILE, &saved_);
    const auto open = static_cast<rlim_t>(
        QDir(u"/proc/self/fd"_s).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
    rlimit lower = saved_;
    lower.rlim_cur = open + static_cast<rlim_t>(room) + 16;
    setrlimit(RLIMIT_NOFILE, &lower);
    for (int file = ::dup(STDERR_FILENO); file >= 0; file = ::dup(STDERR_FILENO))
        taken_.push_back(file);
    for (int i = 0; i < room; ++i) {
        ::close(taken_.back());
        taken_.pop_back();
    }
}

FileRoom::~FileRoom() {
    for (const int file : taken_)
        ::close(file);
    setrlimit(RLIMIT_NOFILE, &saved_);
}

quint16 refusedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}
