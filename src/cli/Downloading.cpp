#include "cli/Downloading.h"

#include "cli/CommandLine.h"
#include "cli/TerminalProgress.h"
#include "desktop/Interrupt.h"

#include <QCommandLineParser>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace CommandLine {

namespace {

constexpr double MaxTimeoutSeconds = 3600;

} // namespace

QCommandLineOption timeoutOption(std::chrono::seconds byDefault) {
    return {u"timeout"_s,
            tr("Seconds a download may take in all (default %1, at most %2).")
                .arg(byDefault.count())
                .arg(MaxTimeoutSeconds),
            u"S"_s, QString::number(byDefault.count())};
}

std::optional<std::chrono::milliseconds> timeout(const QCommandLineParser& parser, const QCommandLineOption& option,
                                                 const char* command) {
    bool ok = false;
    const double seconds = parser.value(option).toDouble(&ok);
    // Asked this way round, "nan" fails too.
    if (!ok || !(seconds > 0 && seconds <= MaxTimeoutSeconds)) {
        print(stderr, tr("vimaro %1: --timeout takes seconds above 0, at most %2\n")
                          .arg(QString::fromUtf8(command))
                          .arg(MaxTimeoutSeconds));
        return std::nullopt;
    }
    return std::chrono::milliseconds(qRound64(seconds * 1000));
}

void stoppableByCtrlC(const std::function<void()>& stop, const std::function<void()>& work) {
    Interrupt interrupt;
    QObject::connect(&interrupt, &Interrupt::requested, stop);
    work();
}

Internet::Answer download(QNetworkAccessManager& network, const Internet::Request& request) {
    Internet::Download download(network, request);
    TerminalProgress progress(CommandLine::tr("Downloading"));
    QObject::connect(&download, &Internet::Download::progress, &download,
                     [&](qint64 received, qint64 total) { progress.update(received, total); });
    Internet::Answer answer;
    stoppableByCtrlC([&] { download.cancel(); }, [&] { answer = download.run(); });
    return answer;
}

Internet::Fetch terminalFetch(QNetworkAccessManager& network) {
    return [&network](const Internet::Request& request) { return download(network, request); };
}

} // namespace CommandLine
