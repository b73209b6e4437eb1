// How fast the health check gets through a catalogue, and whether its memory stays flat. Stations are spread
// over 25 hosts on this machine (127.0.0.1 to 127.0.0.25) whose servers answer 50 ms after each request with
// a short audio stream. 1,000 stations are checked with 16 jobs, against a floor measured in the same run:
// bare Qt requests to the same addresses, 16 at a time, each dropped at its first bytes. The check runs as a
// process of its own, as `vimaro check` does, so its peak memory is the command's alone; it is taken for
// 1,000 and for 10,000 stations.
//
//   bench_check              prints the figures
//   bench_check check DIR    checks the catalogue in DIR; prints "seconds peak-kB SQLite-peak-kB"
#include "cli/CommandLine.h"
#include "desktop/ProgramDir.h"
#include "sqlite/Database.h"
#include "sqlite/Statement.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int Hosts = 25;
constexpr int Jobs = 16;
constexpr int AnswerMs = 50;

// The station servers, in a thread of their own as real servers would be.
class SlowStations : public QObject {
public:
    QStringList listen() {
        QStringList authorities;
        for (int host = 1; host <= Hosts; ++host) {
            auto* server = new QTcpServer(this);
            if (!server->listen(QHostAddress(u"127.0.0.%1"_s.arg(host))))
                qFatal("cannot listen on 127.0.0.%d", host);
            connect(server, &QTcpServer::newConnection, this, [server] {
                while (QTcpSocket* socket = server->nextPendingConnection())
                    answerLater(socket);
            });
            authorities.append(u"127.0.0.%1:%2"_s.arg(host).arg(server->serverPort()));
        }
        return authorities;
    }

private:
    static void answerLater(QTcpSocket* socket) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [socket] {
            if (!socket->readAll().contains("\r\n\r\n"))
                return;
            QTimer::singleShot(AnswerMs, Qt::PreciseTimer, socket, [socket] {
                const QByteArray body = "ID3" + QByteArray(8192, '\x55');
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\nContent-Length: " +
                              QByteArray::number(body.size()) + "\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
        });
    }
};

QString address(const QStringList& authorities, int station) {
    return u"http://%1/station/%2"_s.arg(authorities[station % authorities.size()]).arg(station);
}

// A program directory whose catalogue holds `count` stations spread over the hosts.
void makeCatalogue(const QString& dir, const QStringList& authorities, int count) {
    const QString path = dir + u"/tv.mdb"_s;
    QFile::copy(QStringLiteral(VIMARO_SEED_CATALOGUE), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    Database connection = Database::OpenDatabase(path);
    Transaction transaction(connection);
    connection.execute(u"DELETE FROM radio"_s);
    Statement insert(connection, u"INSERT INTO radio (类别, 名称, 网址) VALUES ('海外广播', ?1, ?2)"_s);
    for (int i = 0; i < count; ++i) {
        insert.bind(1, u"电台 %1"_s.arg(i));
        insert.bind(2, address(authorities, i));
        insert.step();
        insert.reset();
    }
    transaction.commit();
}

// Bare Qt requests, `Jobs` at a time, each dropped at its first bytes; returns the seconds taken.
double requestAll(const QStringList& authorities, int count) {
    QElapsedTimer clock;
    clock.start();
    QNetworkAccessManager network;
    QEventLoop loop;
    int next = 0;
    int running = 0;
    std::function<void()> startMore = [&] {
        while (running < Jobs && next < count) {
            QNetworkRequest request(QUrl(address(authorities, next++)));
            request.setAttribute(QNetworkRequest::ConnectionCacheExpiryTimeoutSecondsAttribute, 0);
            QNetworkReply* reply = network.get(request);
            ++running;
            QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&, reply] {
                reply->disconnect(&loop);
                reply->deleteLater();
                --running;
                startMore();
            });
        }
        if (running == 0)
            loop.quit();
    };
    startMore();
    loop.exec();
    return static_cast<double>(clock.elapsed()) / 1000.0;
}

qint64 peakKilobytes() {
    QFile status(u"/proc/self/status"_s);
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').constFirst().toLongLong();
    }
    return -1;
}

// The child process: `vimaro check --jobs 16` on the catalogue in `dir`, its own output thrown away.
int checkCatalogue(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    setProgramDirForTesting(QString::fromLocal8Bit(argv[2]));
    const int figures = ::dup(STDOUT_FILENO);
    const int nowhere = ::open("/dev/null", O_WRONLY);
    ::dup2(nowhere, STDOUT_FILENO);
    QElapsedTimer clock;
    clock.start();
    for (const CommandLine::Command& command : CommandLine::commands()) {
        if (qstrcmp(command.name, "check") == 0)
            command.run({u"check"_s, u"--jobs"_s, QString::number(Jobs)});
    }
    const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    std::fflush(stdout);
    ::dup2(figures, STDOUT_FILENO);
    std::printf("%.3f %lld %lld\n", seconds, peakKilobytes(),
                static_cast<long long>(sqlite3_memory_highwater(0) / 1024));
    return 0;
}

struct Figures {
    double seconds;
    double megabytes;
    double sqliteMegabytes; // of which SQLite's page cache, which stops growing at its default 2 MB
};

Figures checkInChild(const QStringList& authorities, int count) {
    QTemporaryDir dir;
    makeCatalogue(dir.path(), authorities, count);
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(), {u"check"_s, dir.path()});
    // The servers live in another thread; this one only waits.
    if (!process.waitForFinished(600'000) || process.exitCode() != 0)
        qFatal("checking %d stations failed", count);
    const QList<QByteArray> figures = process.readAllStandardOutput().trimmed().split(' ');
    return {figures.value(0).toDouble(), figures.value(1).toDouble() / 1024.0, figures.value(2).toDouble() / 1024.0};
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 3)
        return checkCatalogue(argc, argv);
    QCoreApplication app(argc, argv);
    QThread thread;
    auto* servers = new SlowStations;
    servers->moveToThread(&thread);
    thread.start();
    QStringList authorities;
    QMetaObject::invokeMethod(
        servers, [&] { authorities = servers->listen(); }, Qt::BlockingQueuedConnection);

    const double floor = requestAll(authorities, 1000);
    const Figures check = checkInChild(authorities, 1000);
    const Figures large = checkInChild(authorities, 10000);
    std::printf("1,000 stations on %d local hosts answering in %d ms, %d jobs:\n", Hosts, AnswerMs, Jobs);
    std::printf("  ideal (1,000 x %d ms / %d)       %6.2f s\n", AnswerMs, Jobs, 1000.0 * AnswerMs / Jobs / 1000.0);
    std::printf("  floor: bare Qt requests          %6.2f s\n", floor);
    std::printf("  vimaro check                     %6.2f s  (x%.2f the floor; goal <= 5 s)\n", check.seconds,
                check.seconds / floor);
    std::printf("Peak memory of the checking process, and of it SQLite's page cache:\n");
    std::printf("  1,000 stations    %5.1f MB  (SQLite %.1f MB)\n", check.megabytes, check.sqliteMegabytes);
    std::printf("  10,000 stations   %5.1f MB  (SQLite %.1f MB; checked in %.1f s)\n", large.megabytes,
                large.sqliteMegabytes, large.seconds);

    QMetaObject::invokeMethod(servers, &QObject::deleteLater);
    thread.quit();
    thread.wait();
    return 0;
}
