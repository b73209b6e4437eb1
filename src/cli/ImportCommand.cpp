// vimaro import FILE|URL… [--category 类别] [--dry-run] [--timeout S] [--no-backup]
#include "catalogue/Backup.h"
#include "catalogue/JetFormat.h"
#include "cli/CommandLine.h"
#include "cli/Downloading.h"
#include "cli/TerminalProgress.h"
#include "desktop/Interrupt.h"
#include "jet/OldCatalogue.h"
#include "playlists/Import.h"

#include <QCommandLineParser>
#include <QFile>
#include <QNetworkAccessManager>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace CommandLine {

namespace {

// A report of thousands of lines helps nobody; the first ones show what is wrong.
constexpr std::size_t ListedAtMost = 50;

template <typename Item, typename Describe>
void list(const char* heading, const std::vector<Item>& items, Describe describe) {
    std::printf("%-18s%zu\n", heading, items.size());
    for (std::size_t i = 0; i < items.size() && i < ListedAtMost; ++i)
        std::printf("  %s\n", qPrintable(describe(items[i])));
    if (items.size() > ListedAtMost)
        std::printf("  ... and %zu more\n", items.size() - ListedAtMost);
}

// An old catalogue of the program this one replaces comes in like a playlist of its stations in record order, with
// each station's place in its table for a line; a NULL category is no group, any other NULL empty text.
Playlists::Playlist oldCatalogue(const QString& path) {
    Playlists::Playlist playlist;
    for (const OldCatalogue::Station& station : OldCatalogue::readStations(path)) {
        const std::optional<QString> group =
            station.category.isNull() ? std::nullopt : std::optional(station.category.toString());
        const int record = static_cast<int>(playlist.entries.size()) + 1;
        playlist.entries.push_back({station.name.toString(), station.address.toString(), group, record});
    }
    return playlist;
}

} // namespace

void printReport(const Playlists::ImportReport& report, bool dryRun, const QString& toShowThem) {
    std::printf("%-18s%d\n%-18s%d\n", "Added:", report.added, "Already present:", report.alreadyPresent);
    list("Will not play:", report.willNotPlay, [](const Playlists::StationAt& at) {
        const Catalogue::Station& station = at.station;
        const QString what =
            station.name == station.address ? station.address : station.name + u"  "_s + station.address;
        return u"%1 line %2: %3"_s.arg(at.file).arg(at.line).arg(what);
    });
    list("Unreadable lines:", report.unreadable, [](const Playlists::UnreadableAt& at) {
        return u"%1 line %2 %3"_s.arg(at.file).arg(at.line.line).arg(at.line.reason);
    });
    if (!report.hidden.empty()) {
        int stations = 0;
        for (const auto& [category, count] : report.hidden)
            stations += count;
        std::printf("%-18s%d, in categories no panel lists and no quick-select slot plays\n", "In no panel:", stations);
        // Quoted, so that a category of blanks (the one a station without a group gets) shows as well.
        for (const auto& [category, count] : report.hidden)
            std::printf("  \"%s\"  %d\n", qPrintable(category), count);
        std::printf(
            "  To show them, %s\n"
            "  naming a panel's category (国内电视 … 个性广播) or a quick-select slot (快速选台一 … 快速选台九).\n",
            qPrintable(toShowThem));
    }
    if (dryRun)
        std::printf("Dry run: nothing was written.\n");
}

int importStations(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Adds the stations of playlist files to the catalogue: extended M3U or M3U8, PLS and XSPF, and old "
        "catalogues (a tv.mdb of the old program, an Access database), told apart by their content. Stations "
        "already there (same category, name and web address) are left out; all files go in together or not at "
        "all."_s);
    parser.addPositionalArgument(
        u"FILE"_s,
        u"A playlist file or an old catalogue, or the http or https address of a playlist: at most %1 MiB, "
        "downloaded within --timeout, after at most %2 redirects, from a server whose certificate the system "
        "trusts."_s.arg(Internet::DefaultMaxBytes / (1024 * 1024))
            .arg(Internet::MaxRedirects),
        u"FILE|URL…"_s);
    const QCommandLineOption category(
        u"category"_s, u"Put every station into this category instead of the file's groups."_s, u"类别"_s);
    const QCommandLineOption dryRun(u"dry-run"_s, u"Report what the import would do, and write nothing."_s);
    const QCommandLineOption noBackup = noBackupOption();
    const QCommandLineOption timeoutSeconds = timeoutOption();
    parser.addOptions({category, dryRun, noBackup, timeoutSeconds});
    if (const std::optional<int> exit = parse(parser, arguments))
        return *exit;
    if (parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "vimaro import: which playlist files? vimaro import --help tells more.\n");
        return Usage;
    }
    const std::optional<std::chrono::milliseconds> downloadTime = timeout(parser, timeoutSeconds, "import");
    if (!downloadTime)
        return Usage;

    std::vector<Playlists::PlaylistFile> files;
    QNetworkAccessManager network;
    for (const QString& argument : parser.positionalArguments()) {
        if (Internet::isWebAddress(argument)) {
            try {
                Internet::Request request;
                request.address = QUrl(argument.trimmed());
                request.timeout = *downloadTime;
                request.playlist = true;
                files.push_back({argument, Playlists::read(download(network, request).body)});
                continue;
            } catch (const Internet::FetchError& error) {
                std::fprintf(stderr, "vimaro import: cannot download %s\n", error.what());
                return Failed;
            }
        }
        // A file: address names a file like a path does.
        const QString path = QUrl(argument).isLocalFile() ? QUrl(argument).toLocalFile() : argument;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "vimaro import: cannot read %s: %s\n", qPrintable(path),
                         qPrintable(file.errorString()));
            return Failed;
        }
        try {
            files.push_back({path, jetFormat(path) ? oldCatalogue(path) : Playlists::read(file.readAll())});
        } catch (const DbError& error) {
            std::fprintf(stderr, "vimaro import: cannot read %s: %s\n", qPrintable(path), error.what());
            return Failed;
        }
    }

    Playlists::ImportOptions options;
    if (parser.isSet(category))
        options.category = parser.value(category);
    options.dryRun = parser.isSet(dryRun);
    TerminalProgress progress(u"Importing"_s);
    options.progress = [&](qint64 done, qint64 total) { progress.update(done, total); };
    const BackupRule backupRule(parser, noBackup, "import");
    // Ctrl+C stops the import between two stations and rolls it back, where being ended would leave a hot journal.
    const Interrupt interrupt;
    options.cancel = &Interrupt::wasRequested();
    try {
        Database catalogue = openCatalogue();
        const Playlists::ImportReport report = Playlists::importPlaylists(catalogue, files, options);
        progress.finish();
        if (report.cancelled) {
            std::fprintf(stderr,
                         "vimaro import: stopped by Ctrl+C; nothing was imported, the catalogue is as it was.\n");
            return Failed;
        }
        printReport(report, options.dryRun, u"import with --category 类别"_s);
        return Done;
    } catch (const DbError& error) {
        progress.finish();
        const bool backupMissing = dynamic_cast<const Catalogue::NoBackupError*>(&error);
        std::fprintf(stderr, "vimaro import: nothing was imported, the catalogue is as it was: %s%s\n",
                     qPrintable(failure(error)), backupMissing ? "; --no-backup imports without one" : "");
        return Failed;
    }
}

} // namespace CommandLine
