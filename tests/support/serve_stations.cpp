// A web server on 127.0.0.1 for trying the commands that reach the internet without the internet: it serves the
// files of a folder with ETag and Last-Modified (an edited file is a new version), and answers a search of the radio
// directory with the folder's search.json. It prints its address and stops by itself.
//
//   serve_stations DIR [SECONDS]      (300 seconds by default)
#include "tests/support/WebServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: serve_stations DIR [SECONDS]\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    WebServer server(WebServer::files([&](const QByteArray& path) -> std::optional<QByteArray> {
        const QString name =
            path == "/json/stations/search" ? QStringLiteral("search.json") : QString::fromUtf8(path).mid(1);
        QFile file(folder.filePath(name));
        if (name.contains(QStringLiteral("..")) || !file.open(QIODevice::ReadOnly))
            return std::nullopt;
        return file.readAll();
    }));
    std::printf("%s\n", server.address().toEncoded().constData());
    std::fflush(stdout);
    QTimer::singleShot(std::chrono::seconds(argc > 2 ? std::atoi(argv[2]) : 300), &app, &QCoreApplication::quit);
    return app.exec();
}
