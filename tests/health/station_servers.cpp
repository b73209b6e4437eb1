// Station servers in a process of their own (StationServers): serves on each address given, prints the servers'
// authorities on one line, and ends when its standard input closes, as it does when the test ends in any way.
#include "tests/health/StationServer.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    std::vector<std::unique_ptr<StationServer>> servers;
    QStringList authorities;
    for (const QString& address : app.arguments().sliced(1)) {
        servers.push_back(std::make_unique<StationServer>(false, QHostAddress(address)));
        authorities.append(servers.back()->authority());
    }
    std::printf("%s\n", qPrintable(authorities.join(u' ')));
    std::fflush(stdout);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&app] {
        char byte = 0;
        if (::read(STDIN_FILENO, &byte, 1) <= 0)
            app.quit();
    });
    return app.exec();
}
