// vimaro find WORDS… [--country CC] [--language L] [--tag T] [--limit N] [--json] [--add 类别 [--pick 1,3,5]]
#include "catalogue/Backup.h"
#include "cli/CommandLine.h"
#include "cli/Downloading.h"
#include "desktop/Interrupt.h"
#include "desktop/Shell.h"
#include "internet/Directory.h"
#include "playlists/Import.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <cstdio>
#include <numeric>

using namespace Qt::StringLiterals;
using Directory::Station;

namespace CommandLine {

namespace {

constexpr int MaxLimit = 1000;

const char* const Description = QT_TRANSLATE_NOOP(
    "CommandLine",
    "Searches the community radio directory (radio-browser.info, some 50,000 stations) for stations whose name\n"
    "holds WORDS, most voted first, and prints them numbered: name, country, codec and bitrate, votes, address.\n"
    "Only stations that passed the directory's last check are listed. --add puts the results into the catalogue\n"
    "as vimaro import does. The directory's servers are found through its DNS record "
    "_api._tcp.radio-browser.info\n"
    "and asked in random order until one answers; --server, or the environment variable VIMARO_DIRECTORY_SERVER\n"
    "(addresses separated by blanks), names servers instead, such as a private mirror.\n"
    "\n"
    "Exit codes: 0 the search went through (also when it found nothing); 1 no server answered, the answer was no\n"
    "list of stations, the catalogue failed, or Ctrl+C stopped it (nothing is written then); 2 the command line is\n"
    "wrong.");

QString line(int number, const Station& station) {
    QStringList sound;
    if (!station.codec.isEmpty())
        sound.append(station.codec);
    if (station.bitrate > 0)
        sound.append(tr("%1 kbit/s").arg(station.bitrate));
    return tr("%1  %2  %3  %4  %5 votes  %6")
        .arg(number, 3)
        .arg(station.name.isEmpty() ? tr("(no name)") : station.name,
             station.countryCode.isEmpty() ? u"--"_s : station.countryCode, sound.isEmpty() ? u"?"_s : sound.join(u' '))
        .arg(station.votes)
        .arg(station.address + (isPlayable(station.address) ? QString() : tr("  (will not play: not added)")));
}

// For programs: the directory's own field names, the same in every language.
QJsonArray json(const std::vector<Station>& stations) {
    QJsonArray array;
    for (const Station& s : stations)
        array.append(QJsonObject{{u"stationuuid"_s, s.uuid},
                                 {u"name"_s, s.name},
                                 {u"url"_s, s.address},
                                 {u"homepage"_s, s.homepage},
                                 {u"tags"_s, s.tags},
                                 {u"country"_s, s.country},
                                 {u"countrycode"_s, s.countryCode},
                                 {u"language"_s, s.language},
                                 {u"codec"_s, s.codec},
                                 {u"bitrate"_s, s.bitrate},
                                 {u"votes"_s, s.votes}});
    return array;
}

// The numbers of --pick ("1,3,5"), each between 1 and `count`; nothing when one is not.
std::optional<std::vector<int>> picked(const QString& numbers, int count) {
    std::vector<int> picks;
    for (const QString& number : numbers.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int pick = number.trimmed().toInt(&ok);
        if (!ok || pick < 1 || pick > count)
            return std::nullopt;
        picks.push_back(pick);
    }
    return picks.empty() ? std::nullopt : std::optional(picks);
}

// An address that cannot play (a file:, a javascript: …) is never added; the list above marked it.
int add(const std::vector<Station>& stations, const std::vector<int>& picks, const QString& category) {
    // Ctrl+C rolls the additions back, as it does an import's.
    const Interrupt interrupt;
    try {
        Database catalogue = openCatalogue();
        std::printf("\n");
        const Playlists::ImportReport report =
            Directory::addStations(catalogue, stations, picks, category, &Interrupt::wasRequested());
        if (report.cancelled) {
            print(stderr, tr("vimaro find: stopped by Ctrl+C; nothing was added, the catalogue is as it was\n"));
            return Failed;
        }
        printReport(report, false, tr("add them with --add 类别"));
        return Done;
    } catch (const DbError& error) {
        return failed(error, tr("vimaro find: nothing was added, the catalogue is as it was: %1%2\n"),
                      tr("; --no-backup adds without one"));
    }
}

// The options of find, added to its command line in the order its help lists them.
struct FindOptions {
    explicit FindOptions(Invocation& invocation)
        : country(u"country"_s, CommandLine::tr("Only stations of this country code (CH, DE, CN …)."), u"CC"_s),
          language(u"language"_s, CommandLine::tr("Only stations in this language (german …)."), u"L"_s),
          tag(u"tag"_s, CommandLine::tr("Only stations with this tag (jazz …)."), u"T"_s),
          limit(u"limit"_s, CommandLine::tr("At most N stations (default 20, at most %1).").arg(MaxLimit), u"N"_s,
                u"20"_s),
          asJson(u"json"_s, CommandLine::tr("Print the stations as one JSON array.")),
          addTo(u"add"_s, CommandLine::tr("Add the stations found to the catalogue, in this category."), u"类别"_s),
          pick(u"pick"_s, CommandLine::tr("With --add: only the stations of these numbers (1,3,5)."), u"1,3,5"_s),
          server(u"server"_s, CommandLine::tr("Ask this directory server (may be given more than once)."), u"URL"_s),
          timeoutSeconds(timeoutOption(std::chrono::seconds(15))) {
        invocation.parser.addOptions(
            {country, language, tag, limit, asJson, addTo, pick, server, timeoutSeconds, invocation.noBackup()});
    }

    QCommandLineOption country, language, tag, limit, asJson, addTo, pick, server, timeoutSeconds;
};

// What a search asks of the directory, and of which servers within how long.
struct Asked {
    Directory::Query query;
    QList<QUrl> servers;
    std::chrono::milliseconds time{};
};

// What the command line asks; nothing, having said what is wrong with it.
std::optional<Asked> askedOf(const QCommandLineParser& parser, const FindOptions& options) {
    const auto usage = [](const QString& problem) {
        print(stderr, u"vimaro find: %1\n"_s.arg(problem));
        return std::optional<Asked>();
    };
    Asked asked;
    asked.query.name = parser.positionalArguments().join(u' ');
    asked.query.countryCode = parser.value(options.country).toUpper();
    asked.query.language = parser.value(options.language);
    asked.query.tag = parser.value(options.tag);
    bool ok = false;
    asked.query.limit = parser.value(options.limit).toInt(&ok);
    if (!ok || asked.query.limit < 1 || asked.query.limit > MaxLimit)
        return usage(CommandLine::tr("--limit takes a whole number from 1 to %1").arg(MaxLimit));
    if (parser.isSet(options.pick) && !parser.isSet(options.addTo))
        return usage(CommandLine::tr("--pick goes with --add"));
    if (parser.isSet(options.asJson) && parser.isSet(options.addTo))
        return usage(CommandLine::tr("--json and --add do not go together"));
    // The environment names servers as --server does, and is held to the same rule.
    const bool given = parser.isSet(options.server);
    const std::optional<QList<QUrl>> servers =
        Directory::asServers(given ? parser.values(options.server) : Directory::serversInEnvironment());
    if (!servers)
        return usage(
            given ? CommandLine::tr("--server takes an http or https address")
                  : CommandLine::tr("VIMARO_DIRECTORY_SERVER takes http or https addresses, separated by blanks"));
    const auto searchTime = timeout(parser, options.timeoutSeconds, "find");
    if (!searchTime)
        return std::nullopt;
    asked.servers = *servers;
    asked.time = *searchTime;
    return asked;
}

// The stations the directory found; nothing, having said why, when no server gave a list or Ctrl+C stopped it.
std::optional<std::vector<Station>> searchDirectory(const Asked& asked) {
    QNetworkAccessManager network;
    Directory::Search search(network, asked.query, asked.time, asked.servers);
    QObject::connect(&search, &Directory::Search::fellOver, [](const QUrl& failed, const QString& reason) {
        print(stderr, CommandLine::tr("vimaro find: %1 failed (%2); asking the next server\n")
                          .arg(printable(failed.toDisplayString()), printable(reason)));
    });
    std::vector<Station> stations;
    try {
        stoppableByCtrlC([&] { search.cancel(); }, [&] { stations = search.run(); });
        return stations;
    } catch (const Internet::FetchError&) {
        print(stderr, CommandLine::tr("vimaro find: stopped by Ctrl+C\n"));
    } catch (const Directory::DirectoryError& error) {
        // The message's own lines stay lines; what the servers said within them is escaped.
        QStringList lines = QString::fromUtf8(error.what()).split(u'\n');
        for (QString& line : lines)
            line = printable(line);
        print(stderr, u"vimaro find: %1\n"_s.arg(lines.join(u'\n')));
    }
    return std::nullopt;
}

void printFound(const std::vector<Station>& stations) {
    if (stations.empty())
        print(stdout, tr("No station found.\n"));
    for (std::size_t i = 0; i < stations.size(); ++i)
        print(stdout, printable(line(static_cast<int>(i) + 1, stations[i])) + u'\n');
}

// The numbers of the stations to add: those of --pick, else all; nothing, having said so, when --pick names one
// the list does not hold.
std::optional<std::vector<int>> stationsToAdd(const QCommandLineParser& parser, const QCommandLineOption& pick,
                                              std::size_t found) {
    if (!parser.isSet(pick)) {
        std::vector<int> all(found);
        std::iota(all.begin(), all.end(), 1);
        return all;
    }
    auto chosen = picked(parser.value(pick), static_cast<int>(found));
    if (!chosen)
        print(stderr,
              CommandLine::tr("vimaro find: --pick takes numbers of the list above, from 1 to %1\n").arg(found));
    return chosen;
}

} // namespace

int findStations(const QStringList& arguments) {
    Invocation invocation("find", tr(Description));
    const QCommandLineParser& parser = invocation.parser;
    invocation.parser.addPositionalArgument(u"WORDS"_s, tr("Part of the station's name."), u"WORDS…"_s);
    const FindOptions options(invocation);
    if (const std::optional<int> exit = invocation.parse(arguments))
        return *exit;
    const std::optional<Asked> asked = askedOf(parser, options);
    if (!asked)
        return Usage;
    const std::optional<std::vector<Station>> stations = searchDirectory(*asked);
    if (!stations)
        return Failed;
    if (parser.isSet(options.asJson)) {
        std::printf("%s", QJsonDocument(json(*stations)).toJson(QJsonDocument::Indented).constData());
        return Done;
    }
    printFound(*stations);
    if (!parser.isSet(options.addTo) || stations->empty())
        return Done;
    const std::optional<std::vector<int>> picks = stationsToAdd(parser, options.pick, stations->size());
    return picks ? add(*stations, *picks, parser.value(options.addTo)) : Usage;
}

} // namespace CommandLine
