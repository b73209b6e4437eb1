#pragma once

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <algorithm>
#include <memory>

class QTcpServer;
class QTcpSocket;

// A station server on this machine for the health tests, with one behaviour per path: /stream, /icy, /hop/N
// (N redirects, then a stream), /ping and /pong (a redirect loop), /missing, /broken, /page, /text,
// /unlabelled, /live.m3u8, /dead.m3u8, /master.m3u8, /radio.pls, /live.mpd, /silent (never answers),
// /trickle (one byte at a time), /endless and /endless.m3u8 (bodies without end) and /slow (a short stream
// after 150 ms). With `tls` it speaks HTTPS with a self-signed certificate for localhost and 127.0.0.1.
class StationServer : public QObject {
public:
    // Requests to /slow waiting for their answer at the same time.
    struct Gauge {
        int open = 0;
        int most = 0;
        void add(int change) { most = std::max(most, open += change); }
    };

    // Servers that share a gauge also count the requests waiting at all of them together.
    explicit StationServer(bool tls = false, const QHostAddress& address = QHostAddress::LocalHost,
                           Gauge* shared = nullptr);
    ~StationServer() override;

    // "127.0.0.1:port"
    QString authority() const;
    // The most requests to /slow that waited at the same time.
    int mostAtOnce() const { return gauge_.most; }

    // The certificate the TLS server shows.
    static QString certificatePath();

private:
    void accept(QTcpSocket* socket);
    void serve(QTcpSocket& socket, const QByteArray& path);
    void count(int change);

    std::unique_ptr<QTcpServer> server_;
    Gauge gauge_;
    Gauge* shared_;
};

// A port on this machine where nothing listens.
quint16 refusedPort();
