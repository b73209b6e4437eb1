#pragma once

#include <QHostAddress>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <memory>
#include <sys/resource.h>
#include <vector>

class QTcpServer;
class QTcpSocket;

// A station server on this machine for the health tests, with one behaviour per path: /stream, /icy, /hop/N
// (N redirects, then a stream), /ping and /pong (a redirect loop), /to-rtsp (a redirect to its own port as rtsp),
// /missing, /broken, /page, /text, /unlabelled, /live.m3u8, /dead.m3u8, /master.m3u8, /radio.pls, /live.mpd,
// /silent (never answers), /trickle (one byte at a time), /endless and /endless.m3u8 (bodies without end), /slow
// (a short stream after 150 ms) and the hostile ones: /flood-head (headers without end), /ssh (an SSH server's
// banner), /bomb.m3u8 (a playlist whose chunked gzip body unpacks to 10 MB of blank lines, and never ends) and
// /long-entry.m3u8 (a gzip playlist whose entry is a megabyte long). With `tls` it speaks HTTPS with a self-signed
// certificate for localhost and 127.0.0.1.
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

// Station servers on the given addresses in a process of their own, so that their connections take none of this
// process's open files. The process ends with this object, or with this process.
class StationServers {
public:
    explicit StationServers(const QStringList& addresses);
    ~StationServers();

    // "127.0.0.1:port", one for each address
    QStringList authorities() const { return authorities_; }

private:
    QProcess process_;
    QStringList authorities_;
};

// Leaves this process room for exactly `room` more open files while it lives: it lowers the limit on open files
// (ulimit -n) and fills every free place below it but `room`.
class FileRoom {
public:
    explicit FileRoom(int room);
    ~FileRoom();
    FileRoom(const FileRoom&) = delete;
    FileRoom& operator=(const FileRoom&) = delete;

private:
    rlimit saved_{};
    std::vector<int> taken_;
};

// A port on this machine where nothing listens.
quint16 refusedPort();
