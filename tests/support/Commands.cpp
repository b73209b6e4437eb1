#include "tests/support/Commands.h"

#include "cli/CommandLine.h"
#include "tests/support/StandardStreams.h"

#include <QFile>
#include <algorithm>
#include <atomic>
#include <csignal>
#include <thread>
#include <unistd.h>

CommandRun runCommand(const QStringList& arguments, const QByteArray& input, const QString& output) {
    const auto& commands = CommandLine::commands();
    const auto command = std::find_if(commands.begin(), commands.end(), [&](const CommandLine::Command& c) {
        return arguments.value(0) == QLatin1StringView(c.name);
    });
    if (command == commands.end())
        qFatal("no command %s", qPrintable(arguments.value(0)));
    StandardStreams streams(input, output);
    const int exit = command->run(arguments);
    return {exit, streams.output(), streams.errors()};
}

CommandRun runCommandStoppedWhileWriting(const QStringList& arguments, const QString& journal) {
    // A Ctrl+C that came late would end the test itself.
    std::signal(SIGINT, SIG_IGN);
    std::atomic_bool ended = false;
    std::thread user([&] {
        while (!ended && !QFile::exists(journal))
            std::this_thread::yield();
        if (!ended)
            ::kill(::getpid(), SIGINT);
    });
    const CommandRun ran = runCommand(arguments);
    ended = true;
    user.join();
    std::signal(SIGINT, SIG_DFL);
    return ran;
}
