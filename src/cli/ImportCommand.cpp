// vimaro import FILE|URL… [--category 类别] [--dry-run] [--timeout S] [--no-backup]
#include "catalogue/Backup.h"
#include "catalogue/JetFormat.h"
#include "cli/CommandLine.h"
#include "cli/Downloading.h"
#include "cli/TerminalProgress.h"
#include "desktop/Interrupt.h"
#include "jet/OldCatalogue.h"
#include "playlists/Import.h"
#include "playlists/Input.h"

#include <QCommandLineParser>
#include <QFile>
#include <QNetworkAccessManager>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <deque>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace CommandLine {

namespace {

// One file given to the import, opened once and read once, so that a pipe gives up everything it holds; "-" is
// standard input.
struct GivenFile {
    explicit GivenFile(const QString& path) : input(file, path == u"-"_s ? CommandLine::tr("standard input") : path) {
        bool opened = false;
        if (path == u"-"_s) {
            opened = file.open(STDIN_FILENO, QIODevice::ReadOnly, QFileDevice::DontCloseHandle);
        } else {
            file.setFileName(path);
            opened = file.open(QIODevice::ReadOnly);
        }
        if (!opened) {
            const int error = errno;
            throw FileFailure(causeOfSystemError(error), path,
                              CommandLine::tr("cannot read %1: %2").arg(input.name(), file.errorString()));
        }
    }

    QFile file;
    Playlists::InputBlocks input;
};

// The Jet library reads an old catalogue from a file it can seek in; one that arrives through a pipe is kept in a
// file of its own first.
QString seekableCopy(GivenFile& given, QTemporaryFile& copy) {
    if (!given.file.isSequential())
        return given.file.fileName();
    // Every write is checked, the last ones at the flush.
    bool written = copy.open();
    for (QByteArray block = given.input.next(); written && !block.isEmpty(); block = given.input.next())
        written = copy.write(block) == block.size();
    if (!written || !copy.flush()) {
        const int error = errno;
        throw FileFailure(causeOfSystemError(error), copy.fileName(),
                          tr("cannot keep a copy of %1: %2").arg(given.input.name(), copy.errorString()));
    }
    return copy.fileName();
}

// An old catalogue of the program this one replaces comes in like a playlist of its stations in record order, with
// each station's place in its table for a line; a NULL category is no group, any other NULL empty text.
Playlists::ImportFile oldCatalogue(GivenFile& given) {
    QTemporaryFile copy;
    const std::vector<OldCatalogue::Station> stations = OldCatalogue::readStations(seekableCopy(given, copy));
    return {given.input.name(), Playlists::Unit::Record, [stations](const Playlists::Reading& reading) {
                int record = 0;
                for (const OldCatalogue::Station& station : stations) {
                    const std::optional<QString> group =
                        station.category.isNull() ? std::nullopt : std::optional(station.category.toString());
                    reading.entry({station.name.toString(), station.address.toString(), group, ++record});
                }
            }};
}

// The files and addresses of an import. Every file is opened, every address downloaded and an old catalogue read
// before the catalogue is touched; playlist files are read as they are imported.
struct GivenFiles {
    // False, having said why, when a file cannot be opened, an address downloaded or an old catalogue read.
    bool open(const QStringList& arguments, std::chrono::milliseconds downloadTime) {
        for (const QString& argument : arguments) {
            if (Internet::isWebAddress(argument)) {
                if (!downloaded(argument, downloadTime))
                    return false;
                onlyOldCatalogues = false;
                continue;
            }
            // A file: address names a file like a path does.
            const QString path = QUrl(argument).isLocalFile() ? QUrl(argument).toLocalFile() : argument;
            try {
                GivenFile& file = opened.emplace_back(path);
                const bool old = jetFormatOf(file.input.head()).has_value();
                files.push_back(old ? oldCatalogue(file) : Playlists::playlistFile(file.input));
                onlyOldCatalogues = onlyOldCatalogues && old;
            } catch (const DbError& error) {
                print(stderr, CommandLine::tr("vimaro import: cannot read %1: %2\n")
                                  .arg(printable(path), QString::fromUtf8(error.what())));
                return false;
            } catch (const FileFailure& failure) {
                print(stderr, u"vimaro import: %1\n"_s.arg(printable(QString::fromUtf8(failure.what()))));
                return false;
            }
        }
        return true;
    }

    std::deque<GivenFile> opened;
    std::deque<Internet::DownloadedList> downloads;
    std::vector<Playlists::ImportFile> files;
    bool onlyOldCatalogues = true;

private:
    // A playlist at a web address comes within the download's limits, and is read as a file is.
    bool downloaded(const QString& address, std::chrono::milliseconds downloadTime) {
        try {
            Internet::Request request;
            request.address = QUrl(address.trimmed());
            request.timeout = downloadTime;
            request.playlist = true;
            files.push_back(
                Playlists::playlistFile(downloads.emplace_back(terminalFetch(network), request, address).input()));
            return true;
        } catch (const Internet::FetchError& error) {
            // What is no list says so itself; "cannot download" would read as if the download had failed.
            const QString why = printable(QString::fromUtf8(error.what()));
            print(stderr, error.kind() == Internet::FetchError::Kind::NotAPlaylist
                              ? u"vimaro import: %1\n"_s.arg(why)
                              : CommandLine::tr("vimaro import: cannot download %1\n").arg(why));
            return false;
        }
    }

    QNetworkAccessManager network;
};

QString placeOf(Playlists::Unit unit, qint64 number) {
    return (unit == Playlists::Unit::Record ? tr("record %1") : tr("line %1")).arg(number);
}

} // namespace

void printReport(const Playlists::ImportReport& report, bool dryRun, const QString& toShowThem,
                 bool onlyOldCatalogues) {
    print(stdout, u"%1%2\n%3%4\n"_s.arg(labelColumn(tr("Added:")))
                      .arg(report.added)
                      .arg(labelColumn(tr("Already present:")))
                      .arg(report.alreadyPresent));
    printListed(tr("Will not play:"), report.willNotPlay, [](const Playlists::StationAt& at) {
        const Catalogue::Station& station = at.station;
        const QString what =
            station.name == station.address ? station.address : station.name + u"  "_s + station.address;
        return printable(u"%1 %2: %3"_s.arg(at.file, placeOf(at.unit, at.at), what));
    });
    printListed(onlyOldCatalogues ? tr("Unreadable records:") : tr("Unreadable lines:"), report.unreadable,
                [](const Playlists::UnreadableAt& at) {
                    return printable(u"%1 %2 %3"_s.arg(at.file, placeOf(at.unit, at.line.line), at.line.reason));
                });
    if (!report.hidden.empty()) {
        int stations = 0;
        for (const auto& [category, count] : report.hidden)
            stations += count;
        QString text = tr("%1%2, in categories no panel lists and no quick-select slot plays\n")
                           .arg(labelColumn(tr("In no panel:")))
                           .arg(stations);
        // Quoted, so that a category of blanks (the one a station without a group gets) shows as well.
        for (const auto& [category, count] : report.hidden)
            text += u"  \"%1\"  %2\n"_s.arg(printable(category)).arg(count);
        print(stdout,
              text + tr("  To show them, %1\n  naming a panel's category (国内电视 … 个性广播) or a quick-select "
                        "slot (快速选台一 … 快速选台九).\n")
                         .arg(toShowThem));
    }
    if (dryRun)
        print(stdout, tr("Dry run: nothing was written.\n"));
}

namespace {

QString importHelp() {
    return tr("Adds the stations of playlist files to the catalogue %1: extended M3U or M3U8, PLS and XSPF, and old "
              "catalogues (a tv.mdb of the old program, an Access database), told apart by their content, from files "
              "or from web addresses. A FILE of - is standard input. Stations already there (same category, name and "
              "web address) are left out; all files go "
              "in together or not at all. A file that runs on past %2 MiB is no playlist, and a name, address or "
              "category longer than %3 KiB no station's.\n\nExit codes: 0 done; 1 a file could not be read, none of "
              "the files is a playlist, or the catalogue could not be written (nothing is imported then); 2 the "
              "command line is wrong.")
        .arg(catalogueName())
        .arg(Playlists::LargestInput >> 20)
        .arg(Playlists::LongestValue / 1024);
}

QString fileHelp() {
    return tr("A playlist file or an old catalogue, - for standard input, or the http or https address of a "
              "playlist: at most %1 MiB, downloaded within --timeout, after at most %2 redirects, from a server whose "
              "certificate the system trusts.")
        .arg(Internet::DefaultMaxBytes / (1024 * 1024))
        .arg(Internet::MaxRedirects);
}

// The given files go into the catalogue together or not at all. Ctrl+C stops the import between two stations and
// rolls it back, where being ended would leave a hot journal.
int importGiven(const GivenFiles& given, Playlists::ImportOptions options) {
    TerminalProgress progress(tr("Importing"));
    options.progress = [&](qint64 entries) { progress.update(entries, 0); };
    const Interrupt interrupt;
    options.cancel = &Interrupt::wasRequested();
    try {
        Database catalogue = openCatalogue();
        const Playlists::ImportReport report = Playlists::importPlaylists(catalogue, given.files, options);
        progress.finish();
        if (report.cancelled) {
            print(stderr, tr("vimaro import: stopped by Ctrl+C; nothing was imported, the catalogue is as it was.\n"));
            return Failed;
        }
        printReport(report, options.dryRun, tr("import with --category 类别"), given.onlyOldCatalogues);
        if (report.playlists == 0) {
            print(stderr, tr("vimaro import: nothing was imported: none of the files is a playlist.\n"));
            return Failed;
        }
        return Done;
    } catch (const FileFailure& error) {
        // A catalogue that refused the stations (DbError) or a file that could not be read to its end.
        progress.finish();
        return failed(error, tr("vimaro import: nothing was imported, the catalogue is as it was: %1%2\n"),
                      tr("; --no-backup imports without one"));
    }
}

} // namespace

int importStations(const QStringList& arguments) {
    Invocation invocation("import", importHelp());
    QCommandLineParser& parser = invocation.parser;
    parser.addPositionalArgument(u"FILE"_s, fileHelp(), u"FILE|URL…"_s);
    const QCommandLineOption category(
        u"category"_s, tr("Put every station into this category instead of the file's groups."), u"类别"_s);
    const QCommandLineOption dryRun(u"dry-run"_s, tr("Report what the import would do, and write nothing."));
    const QCommandLineOption timeoutSeconds = timeoutOption();
    parser.addOptions({category, dryRun, invocation.noBackup(), timeoutSeconds});
    if (const std::optional<int> exit = invocation.parse(arguments))
        return *exit;
    if (parser.positionalArguments().isEmpty()) {
        print(stderr, tr("vimaro import: which playlist files? vimaro import --help tells more.\n"));
        return Usage;
    }
    const std::optional<std::chrono::milliseconds> downloadTime = timeout(parser, timeoutSeconds, "import");
    if (!downloadTime)
        return Usage;

    GivenFiles given;
    if (!given.open(parser.positionalArguments(), *downloadTime))
        return Failed;
    Playlists::ImportOptions options;
    if (parser.isSet(category))
        options.category = parser.value(category);
    options.dryRun = parser.isSet(dryRun);
    return importGiven(given, options);
}

} // namespace CommandLine
