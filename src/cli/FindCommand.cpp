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

const char* const Description =
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
    "wrong.";

QString line(int number, const Station& station) {
    QStringList sound;
    if (!station.codec.isEmpty())
        sound.append(station.codec);
    if (station.bitrate > 0)
        sound.append(u"%1 kbit/s"_s.arg(station.bitrate));
    return u"%1  %2  %3  %4  %5 votes  %6"_s.arg(number, 3)
        .arg(station.name.isEmpty() ? u"(no name)"_s : station.name,
             station.countryCode.isEmpty() ? u"--"_s : station.countryCode, sound.isEmpty() ? u"?"_s : sound.join(u' '))
        .arg(station.votes)
        .arg(station.address + (isPlayable(station.address) ? QString() : u"  (will not play: not added)"_s));
}

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
            std::fprintf(stderr, "vimaro find: stopped by Ctrl+C; nothing was added, the catalogue is as it was\n");
            return Failed;
        }
        printReport(report, false, u"add them with --add 类别"_s);
        return Done;
    } catch (const DbError& error) {
        std::fprintf(stderr, "vimaro find: nothing was added, the catalogue is as it was: %s%s\n",
                     qPrintable(failure(error)),
                     dynamic_cast<const Catalogue::NoBackupError*>(&error) ? "; --no-backup adds without one" : "");
        return Failed;
    }
}

} // namespace

int findStations(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(Description));
    parser.addPositionalArgument(u"WORDS"_s, u"Part of the station's name."_s, u"WORDS…"_s);
    const QCommandLineOption country(u"country"_s, u"Only stations of this country code (CH, DE, CN …)."_s, u"CC"_s);
    const QCommandLineOption language(u"language"_s, u"Only stations in this language (german …)."_s, u"L"_s);
    const QCommandLineOption tag(u"tag"_s, u"Only stations with this tag (jazz …)."_s, u"T"_s);
    const QCommandLineOption limit(u"limit"_s, u"At most N stations (default 20, at most %1)."_s.arg(MaxLimit), u"N"_s,
                                   u"20"_s);
    const QCommandLineOption asJson(u"json"_s, u"Print the stations as one JSON array."_s);
    const QCommandLineOption addTo(u"add"_s, u"Add the stations found to the catalogue, in this category."_s,
                                   u"类别"_s);
    const QCommandLineOption pick(u"pick"_s, u"With --add: only the stations of these numbers (1,3,5)."_s, u"1,3,5"_s);
    const QCommandLineOption server(u"server"_s, u"Ask this directory server (may be given more than once)."_s,
                                    u"URL"_s);
    const QCommandLineOption timeoutSeconds = timeoutOption(std::chrono::seconds(15));
    const QCommandLineOption noBackup = noBackupOption();
    parser.addOptions({country, language, tag, limit, asJson, addTo, pick, server, timeoutSeconds, noBackup});
    if (const std::optional<int> exit = parse(parser, arguments))
        return *exit;
    const BackupRule backupRule(parser, noBackup, "find");
    const auto usage = [](const char* problem) {
        std::fprintf(stderr, "vimaro find: %s\n", problem);
        return Usage;
    };
    Directory::Query query;
    query.name = parser.positionalArguments().join(u' ');
    query.countryCode = parser.value(country).toUpper();
    query.language = parser.value(language);
    query.tag = parser.value(tag);
    bool ok = false;
    query.limit = parser.value(limit).toInt(&ok);
    if (!ok || query.limit < 1 || query.limit > MaxLimit)
        return usage(qPrintable(u"--limit takes a whole number from 1 to %1"_s.arg(MaxLimit)));
    if (parser.isSet(pick) && !parser.isSet(addTo))
        return usage("--pick goes with --add");
    if (parser.isSet(asJson) && parser.isSet(addTo))
        return usage("--json and --add do not go together");
    // The environment names servers as --server does, and is held to the same rule.
    const bool given = parser.isSet(server);
    const std::optional<QList<QUrl>> servers =
        Directory::asServers(given ? parser.values(server) : Directory::serversInEnvironment());
    if (!servers)
        return usage(given ? "--server takes an http or https address"
                           : "VIMARO_DIRECTORY_SERVER takes http or https addresses, separated by blanks");
    const auto searchTime = timeout(parser, timeoutSeconds, "find");
    if (!searchTime)
        return Usage;

    QNetworkAccessManager network;
    Directory::Search search(network, query, *searchTime, *servers);
    QObject::connect(&search, &Directory::Search::fellOver, [](const QUrl& failed, const QString& reason) {
        print(stderr, u"vimaro find: %1 failed (%2); asking the next server\n"_s.arg(
                          printable(failed.toDisplayString()), printable(reason)));
    });
    std::vector<Station> stations;
    try {
        stoppableByCtrlC([&] { search.cancel(); }, [&] { stations = search.run(); });
    } catch (const Internet::FetchError&) {
        std::fprintf(stderr, "vimaro find: stopped by Ctrl+C\n");
        return Failed;
    } catch (const Directory::DirectoryError& error) {
        // The message's own lines stay lines; what the servers said within them is escaped.
        QStringList lines = QString::fromUtf8(error.what()).split(u'\n');
        for (QString& line : lines)
            line = printable(line);
        print(stderr, u"vimaro find: %1\n"_s.arg(lines.join(u'\n')));
        return Failed;
    }

    if (parser.isSet(asJson)) {
        std::printf("%s", QJsonDocument(json(stations)).toJson(QJsonDocument::Indented).constData());
        return Done;
    }
    if (stations.empty())
        std::printf("No station found.\n");
    for (std::size_t i = 0; i < stations.size(); ++i)
        print(stdout, printable(line(static_cast<int>(i) + 1, stations[i])) + u'\n');
    if (!parser.isSet(addTo) || stations.empty())
        return Done;
    std::vector<int> picks(stations.size());
    std::iota(picks.begin(), picks.end(), 1);
    if (parser.isSet(pick)) {
        const auto chosen = picked(parser.value(pick), static_cast<int>(stations.size()));
        if (!chosen) {
            std::fprintf(stderr, "vimaro find: --pick takes numbers of the list above, from 1 to %zu\n",
                         stations.size());
            return Usage;
        }
        picks = *chosen;
    }
    return add(stations, picks, parser.value(addTo));
}

} // namespace CommandLine
