#include "cli/Downloading.h"

#include "cli/TerminalProgress.h"
#include "desktop/Interrupt.h"

#include <QCommandLineParser>
#include <QCryptographicHash>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace CommandLine {

namespace {

constexpr double MaxTimeoutSeconds = 3600;

} // namespace

QCommandLineOption timeoutOption(std::chrono::seconds byDefault) {
    return {
        u"timeout"_s,
        u"Seconds a download may take in all (default %1, at most %2)."_s.arg(byDefault.count()).arg(MaxTimeoutSeconds),
        u"S"_s, QString::number(byDefault.count())};
}

std::optional<std::chrono::milliseconds> timeout(const QCommandLineParser& parser, const QCommandLineOption& option,
                                                 const char* command) {
    bool ok = false;
    const double seconds = parser.value(option).toDouble(&ok);
    // Asked this way round, "nan" fails too.
    if (!ok || !(seconds > 0 && seconds <= MaxTimeoutSeconds)) {
        std::fprintf(stderr, "vimaro %s: --timeout takes seconds above 0, at most %g\n", command, MaxTimeoutSeconds);
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
    TerminalProgress progress(u"Downloading"_s);
    QObject::connect(&download, &Internet::Download::progress, &download,
                     [&](qint64 received, qint64 total) { progress.update(received, total); });
    Internet::Answer answer;
    stoppableByCtrlC([&] { download.cancel(); }, [&] { answer = download.run(); });
    return answer;
}

DownloadedList::DownloadedList(QNetworkAccessManager& network, Internet::Request request, const QString& name)
    : name_(name) {
    if (!file_.open())
        throw Internet::FetchError(Internet::FetchError::Kind::Network,
                                   u"cannot keep the download of %1: %2"_s.arg(name, file_.errorString()));
    request.saveTo = &file_;
    answer_ = download(network, request);
}

QByteArray DownloadedList::digest() {
    file_.seek(0);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file_);
    return hash.result().toHex();
}

Playlists::InputBlocks& DownloadedList::input() {
    file_.seek(0);
    return input_.emplace(file_, name_);
}

} // namespace CommandLine
