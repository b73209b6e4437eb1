#include "tests/support/Commands.h"

#include "cli/CommandLine.h"
#include "tests/support/StandardStreams.h"

#include <algorithm>

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
