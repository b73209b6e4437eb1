#pragma once

#include "internet/Download.h"
#include "playlists/Input.h"

#include <QCommandLineOption>
#include <QTemporaryFile>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QCommandLineParser;
class QNetworkAccessManager;

// What the commands that download share: the --timeout option, and a download that shows its bytes on the
// terminal and stops at Ctrl+C.
namespace CommandLine {

// --timeout S: seconds a whole download may take.
QCommandLineOption timeoutOption(std::chrono::seconds byDefault = Internet::DefaultTimeout);

// The --timeout given, else the default; nothing (after saying why on the error stream) when it is no number of
// seconds the command can use.
std::optional<std::chrono::milliseconds> timeout(const QCommandLineParser& parser, const QCommandLineOption& option,
                                                 const char* command);

// Downloads with a progress line of the bytes on a terminal; Ctrl+C cancels it. Throws FetchError.
Internet::Answer download(QNetworkAccessManager& network, const Internet::Request& request);

// A playlist downloaded into a temporary file as it arrived, so that a list as large as the limit is read from disk
// block by block as a file is, and memory stays the same whatever its size.
class DownloadedList {
public:
    DownloadedList(QNetworkAccessManager& network, Internet::Request request, const QString& name);

    const Internet::Answer& answer() const { return answer_; }
    // The list from its first byte, each call anew.
    Playlists::InputBlocks& input();
    // SHA-256 of the list, in hex: what a subscription knows its last list by.
    QByteArray digest();

private:
    QTemporaryFile file_;
    QString name_;
    Internet::Answer answer_;
    std::optional<Playlists::InputBlocks> input_;
};

// Runs `work`, which waits in an event loop, with Ctrl+C calling `stop` instead of ending the process.
void stoppableByCtrlC(const std::function<void()>& stop, const std::function<void()>& work);

} // namespace CommandLine
