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
        print(stderr, tr("vimaro find: nothing was added, the catalogue is as it was: %1%2\n")
                          .arg(failure(error), dynamic_cast<const Catalogue::NoBackupError*>(&error)
                                                   ? tr("; --no-backup adds without one")
                                                   : QString()));
        return Failed;
    }
}

} // namespace

int findStations(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(tr(Description));
    parser.addPositionalArgument(u"WORDS"_s, tr("Part of the station's name."), u"WORDS…"_s);
    const QCommandLineOption country(u"country"_s, tr("Only stations of this country code (CH, DE, CN …)."), u"CC"_s);
    const QCommandLineOption language(u"language"_s, tr("Only stations in this language (german …)."), u"L"_s);
    const QCommandLineOption tag(u"tag"_s, tr("Only stations with this tag (jazz …)."), u"T"_s);
    const QCommandLineOption limit(u"limit"_s, tr("At most N stations (default 20, at most %1).").arg(MaxLimit), u"N"_s,
                                   u"20"_s);
    const QCommandLineOption asJson(u"json"_s, tr("Print the stations as one JSON array."));
    const QCommandLineOption addTo(u"add"_s, tr("Add the stations found to the catalogue, in this category."),
                                   u"类别"_s);
    const QCommandLineOption pick(u"pick"_s, tr("With --add: only the stations of these numbers (1,3,5)."), u"1,3,5"_s);
    const QCommandLineOption server(u"server"_s, tr("Ask this directory server (may be given more than once)."),
                                    u"URL"_s);
    const QCommandLineOption timeoutSeconds = timeoutOption(std::chrono::seconds(15));
    const QCommandLineOption noBackup = noBackupOption();
    parser.addOptions({country, language, tag, limit, asJson, addTo, pick, server, timeoutSeconds, noBackup});
    if (const std::optional<int> exit = parse(parser, arguments))
        return *exit;
    const BackupRule backupRule(parser, noBackup, "find");
    const auto usage = [](const QString& problem) {
        print(stderr, u"vimaro find: %1\n"_s.arg(problem));
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
        return usage(tr("--limit takes a whole number from 1 to %1").arg(MaxLimit));
    if (parser.isSet(pick) && !parser.isSet(addTo))
        return usage(tr("--pick goes with --add"));
    if (parser.isSet(asJson) && parser.isSet(addTo))
        return usage(tr("--json and --add do not go together"));
    // The environment names servers as --server does, and is held to the same rule.
    const bool given = parser.isSet(server);
    const std::optional<QList<QUrl>> servers =
        Directory::asServers(given ? parser.values(server) : Directory::serversInEnvironment());
    if (!servers)
        return usage(given ? tr("--server takes an http or https address")
                           : tr("VIMARO_DIRECTORY_SERVER takes http or https addresses, separated by blanks"));
    const auto searchTime = timeout(parser, timeoutSeconds, "find");
    if (!searchTime)
        return Usage;

    QNetworkAccessManager network;
    Directory::Search search(network, query, *searchTime, *servers);
    QObject::connect(&search, &Directory::Search::fellOver, [](const QUrl& failed, const QString& reason) {
        print(stderr, tr("vimaro find: %1 failed (%2); asking the next server\n")
                          .arg(printable(failed.toDisplayString()), printable(reason)));
    });
    std::vector<Station> stations;
    try {
        stoppableByCtrlC([&] { search.cancel(); }, [&] { stations = search.run(); });
    } catch (const Internet::FetchError&) {
        print(stderr, tr("vimaro find: stopped by Ctrl+C\n"));
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
        print(stdout, tr("No station found.\n"));
    for (std::size_t i = 0; i < stations.size(); ++i)
        print(stdout, printable(line(static_cast<int>(i) + 1, stations[i])) + u'\n');
    if (!parser.isSet(addTo) || stations.empty())
        return Done;
    std::vector<int> picks(stations.size());
    std::iota(picks.begin(), picks.end(), 1);
    if (parser.isSet(pick)) {
        const auto chosen = picked(parser.value(pick), static_cast<int>(stations.size()));
        if (!chosen) {
            print(stderr,
                  tr("vimaro find: --pick takes numbers of the list above, from 1 to %1\n").arg(stations.size()));
            return Usage;
        }
        picks = *chosen;
    }
    return add(stations, picks, parser.value(addTo));
}

} // namespace CommandLine
