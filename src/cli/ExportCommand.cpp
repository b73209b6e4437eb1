// vimaro export FILE [--category 类别] [--format m3u|pls|xspf]
#include "cli/CommandLine.h"
#include "desktop/FileWriter.h"
#include "playlists/Playlist.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace CommandLine {

namespace {

const std::vector<std::pair<QString, Playlists::Format>> formats{
    {u"m3u"_s, Playlists::Format::M3u}, {u"pls"_s, Playlists::Format::Pls}, {u"xspf"_s, Playlists::Format::Xspf}};

std::optional<Playlists::Format> formatNamed(const QString& name) {
    for (const auto& [formatName, format] : formats) {
        if (name.compare(formatName, Qt::CaseInsensitive) == 0)
            return format;
    }
    return std::nullopt;
}

// Without --format the file's extension decides, so "export list.xspf" writes XSPF; anything else is M3U.
Playlists::Format formatForFile(const QString& path) {
    const QString extension = path.section(u'.', -1);
    const auto format = path.contains(u'.') ? formatNamed(extension) : std::nullopt;
    return format.value_or(Playlists::Format::M3u);
}

// The stations to write, in catalogue order; nothing, having said why, when the catalogue cannot be read or the
// category holds none.
std::optional<std::vector<Catalogue::AttributedStation>> stationsToExport(const std::optional<QString>& only) {
    try {
        Database catalogue = openCatalogue();
        std::vector<Catalogue::AttributedStation> stations = Catalogue::attributedStations(catalogue, only);
        // A category that holds no station is a mistyped one far more often than a wish for an empty playlist.
        if (only && stations.empty()) {
            print(stderr, CommandLine::tr("vimaro export: no station has the category \"%1\"; nothing was written. "
                                          "The categories are:\n%2")
                              .arg(printable(*only), categoryLines(catalogue)));
            return std::nullopt;
        }
        return stations;
    } catch (const DbError& error) {
        failed(error, CommandLine::tr("vimaro export: cannot read the catalogue: %1\n"));
        return std::nullopt;
    }
}

int writePlaylist(const QString& target, Playlists::Format format,
                  const std::vector<Catalogue::AttributedStation>& stations) {
    try {
        FileWriter file(target);
        file.write(Playlists::write(format, stations));
        file.commit();
    } catch (const FileFailure& failure) {
        return failed(failure, u"vimaro export: %1\n"_s);
    }
    // The playlist itself may be what goes to standard output.
    const QString where = target == u"-"_s ? tr("standard output") : printable(target);
    print(target == u"-"_s ? stderr : stdout,
          (stations.size() == 1 ? tr("Wrote %1 station to %2.\n") : tr("Wrote %1 stations to %2.\n"))
              .arg(stations.size())
              .arg(where));
    return Done;
}

} // namespace

int exportStations(const QStringList& arguments) {
    Invocation invocation("export",
                          tr("Writes the stations of the catalogue %1, or of one category, in catalogue order as a "
                             "playlist file, with each station's category. A FILE of - is standard output. A file is "
                             "replaced only once the new one is wholly written; a device or a FIFO is written in "
                             "place.")
                              .arg(catalogueName()));
    QCommandLineParser& parser = invocation.parser;
    parser.addPositionalArgument(u"FILE"_s, tr("The playlist file to write; - for standard output."));
    const QCommandLineOption category(u"category"_s, tr("Only the stations of this category."), u"类别"_s);
    const QCommandLineOption format(
        u"format"_s, tr("m3u (extended M3U), pls or xspf; without it, the file's extension, else m3u."), u"format"_s);
    parser.addOptions({category, format});
    if (const std::optional<int> exit = invocation.parse(arguments))
        return *exit;
    const QStringList positional = parser.positionalArguments();
    const auto chosen =
        parser.isSet(format) ? formatNamed(parser.value(format)) : std::optional(formatForFile(positional.value(0)));
    if (positional.size() != 1 || !chosen) {
        print(stderr, tr("vimaro export: give one FILE and a --format of m3u, pls or xspf; vimaro export --help "
                         "tells more.\n"));
        return Usage;
    }
    if (const std::optional<QString> refused = notAPlaylistTarget(positional[0])) {
        print(stderr, tr("vimaro export: %1; a playlist is never written over it. Nothing was written.\n")
                          .arg(printable(*refused)));
        return Failed;
    }
    const auto stations =
        stationsToExport(parser.isSet(category) ? std::optional(parser.value(category)) : std::nullopt);
    return stations ? writePlaylist(positional[0], *chosen, *stations) : Failed;
}

} // namespace CommandLine
