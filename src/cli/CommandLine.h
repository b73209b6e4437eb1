#pragma once

#include "sqlite/Database.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>
#include <vector>

namespace Playlists {
struct ImportReport;
}
namespace Guide {
struct Source;
}

// The program's command line. Without arguments the program opens its windows; with arguments it is a command
// that runs without a display and never opens a window:
//   vimaro --help | --version
//   vimaro COMMAND [options]      (vimaro COMMAND --help lists a command's options)
// Exit codes scripts can rely on: 0 done, 1 the work failed, 2 the command line was wrong.
namespace CommandLine {

enum ExitCode { Done = 0, Failed = 1, Usage = 2 };

// A text a person reads (help, reports, errors), in the user's language: Chinese under a zh locale, which run()
// loads, else the English it is written in. What another program reads never goes through it: --json, exported
// playlists, option names, command words and exit codes are the same in every language. Where lupdate would take
// another context (inside a class, or after a return type of another namespace) it is called as CommandLine::tr.
inline QString tr(const char* text) {
    return QCoreApplication::translate("CommandLine", text);
}

// One command: its name, a line for the overview, and what runs it. `arguments` starts with the command's own
// name, as QCommandLineParser::process expects its argument list to start with a program name.
struct Command {
    const char* name;
    const char* summary; // marked for translation, translated where printed
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
// catalogue throws Catalogue::DamagedError. A command waits for a lock another program holds up to
// Database::WriteWait, saying so on the error stream once it has waited a moment.
Database openCatalogue(Database::Access access = Database::Access::ReadWrite);

// Why work on the catalogue failed, for the terminal: a damaged catalogue is called so, with its newest good backup
// and the command that puts it in place.
QString failure(const DbError& error);

// What every command does around its own work: its parser, with the command's description and --help; the parse;
// and, for a command that writes stations, --no-backup. The command adds its own options to `parser` and reads
// them there.
class Invocation {
public:
    Invocation(const char* command, const QString& description);
    ~Invocation();
    Invocation(const Invocation&) = delete;
    Invocation& operator=(const Invocation&) = delete;
    // --no-backup, for the command to add where its help lists it: the command's writes go on when today's backup
    // cannot be made and backup/ holds no good copy of the last seven days, saying so on the error stream, where
    // without it the command stops before writing. The rule holds from the parse while the invocation lives.
    QCommandLineOption noBackup();
    // As CommandLine::parse, with the --no-backup rule set when it was given.
    std::optional<int> parse(const QStringList& arguments);

    QCommandLineParser parser;

private:
    const char* command_;
    std::optional<QCommandLineOption> noBackup_;
};

// A command's work failed: says why on the error stream in the command's own words and gives Failed. `words` takes
// why (a failed catalogue's as failure() tells it, made printable) and, where given, `noBackupHint` when the write
// stopped for want of today's backup ("; --no-backup imports without one"), else nothing.
int failed(const std::exception& error, const QString& words, const std::optional<QString>& noBackupHint = {});

// The report of an import, which every command that adds stations prints: the counts, the stations that will not
// play, the lines not read, and the stations of categories no panel shows, with `toShowThem` saying how to put
// them where a panel shows them ("import with --category 类别"). Old catalogues alone have records, not lines.
void printReport(const Playlists::ImportReport& report, bool dryRun, const QString& toShowThem,
                 bool onlyOldCatalogues = false);

// Text of a command's own to a stream, as UTF-8.
void print(std::FILE* stream, const QString& text);

// A line of a command's own to a stream.
void say(std::FILE* stream, const QString& text);

// A report line's label padded to the column where its figure starts, 20 wide on a terminal, where a Chinese
// character takes two columns.
QString labelColumn(const QString& label);

// A heading with the count of places (a Playlists::Listed) and `note`, then the first places a line each, and how
// many more there are.
template <typename Places, typename Describe>
void printListed(const QString& heading, const Places& places, Describe describe, const QString& note = {}) {
    QString text = labelColumn(heading) + QString::number(places.count) + note + u'\n';
    for (const auto& place : places.first)
        text += QStringLiteral("  ") + describe(place) + u'\n';
    if (places.count > qint64(places.first.size()))
        text += tr("  ... and %1 more\n").arg(places.count - qint64(places.first.size()));
    print(stdout, text);
}

// Text from outside (a file's name, a station's, what a server said) made safe to print: every control character,
// which a terminal may take for a command, and every invisible or bidirectional one, which may make a line read
// other than it is, is written as an escape such as \x1B or \u202E.
QString printable(QStringView text);

// Why a playlist may not be written at `path`, or nothing when it may: a command never writes one over the
// catalogue in use (or its journal), over anything in the backup folder, or over any database, whatever the name
// or link it is reached by.
std::optional<QString> notAPlaylistTarget(const QString& path);

// The catalogue the commands work on, as their help names it.
QString catalogueName();

// The categories that hold a station, one line each, for a command given a category that holds none.
QString categoryLines(Database& catalogue);

// The commands, each in a file of its own.
int importStations(const QStringList& arguments);      // ImportCommand.cpp
int exportStations(const QStringList& arguments);      // ExportCommand.cpp
int checkStations(const QStringList& arguments);       // CheckCommand.cpp
int restoreCatalogue(const QStringList& arguments);    // RestoreCommand.cpp
int subscribe(const QStringList& arguments);           // SubscribeCommand.cpp
int updateSubscriptions(const QStringList& arguments); // SubscribeCommand.cpp
int listSubscriptions(const QStringList& arguments);   // SubscribeCommand.cpp
int unsubscribe(const QStringList& arguments);         // SubscribeCommand.cpp
int findStations(const QStringList& arguments);        // FindCommand.cpp
int choosePlayer(const QStringList& arguments);        // PlayerCommand.cpp
int guide(const QStringList& arguments);               // GuideCommand.cpp
int now(const QStringList& arguments);                 // GuideCommand.cpp

// Brings guides up to date, a line each on the terminal; false when one did not come or was refused.
bool updateGuides(Database& catalogue, const std::vector<Guide::Source>& sources); // GuideCommand.cpp

} // namespace CommandLine
