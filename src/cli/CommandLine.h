#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class Database;
class DbError;
class QCommandLineParser;

// The program's command line. Without arguments the program opens its windows; with arguments it is a command
// that runs without a display and never opens a window:
//   vimaro --help | --version
//   vimaro COMMAND [options]      (vimaro COMMAND --help lists a command's options)
// Exit codes scripts can rely on: 0 done, 1 the work failed, 2 the command line was wrong.
namespace CommandLine {

enum ExitCode { Done = 0, Failed = 1, Usage = 2 };

// One command: its name, a line for the overview, and what runs it. `arguments` starts with the command's own
// name, as QCommandLineParser::process expects its argument list to start with a program name.
struct Command {
    const char* name;
    const char* summary;
    int (*run)(const QStringList& arguments);
};

// Every command of the program, in the order --help lists them.
const std::vector<Command>& commands();

// True when the program was started with arguments, so it runs as a command and not with its windows.
bool wanted(int argc, char* argv[]);

// Runs the command line as a console program (QCoreApplication) and returns the exit code.
int run(int argc, char* argv[]);

// Parses a command's arguments against the options it added to `parser`, with --help added here: a wrong command
// line is reported and gives Usage, --help prints the command's help and gives Done, anything else gives nothing
// and the command runs.
std::optional<int> parse(QCommandLineParser& parser, const QStringList& arguments);

// The catalogue a command works on. An old Jet tv.mdb is converted first, as at start-up, and the command says so
// on the error stream; a failed conversion throws DbError and leaves the old file as it was. A tv.mdb that is no
// catalogue throws Catalogue::DamagedError.
Database openCatalogue();

// Why work on the catalogue failed, for the terminal: a damaged catalogue is called so, with its newest good backup
// and the command that puts it in place.
QString failure(const DbError& error);

// The commands, each in a file of its own.
int importStations(const QStringList& arguments);   // ImportCommand.cpp
int exportStations(const QStringList& arguments);   // ExportCommand.cpp
int checkStations(const QStringList& arguments);    // CheckCommand.cpp
int restoreCatalogue(const QStringList& arguments); // RestoreCommand.cpp

} // namespace CommandLine
