#pragma once

#include "internet/Download.h"
#include "internet/DownloadedList.h"

#include <QCommandLineOption>
#include <chrono>
#include <functional>
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

// The download of the commands, as a fetch for what downloads playlists.
Internet::Fetch terminalFetch(QNetworkAccessManager& network);

// Runs `work`, which waits in an event loop, with Ctrl+C calling `stop` instead of ending the process.
void stoppableByCtrlC(const std::function<void()>& stop, const std::function<void()>& work);

} // namespace CommandLine
