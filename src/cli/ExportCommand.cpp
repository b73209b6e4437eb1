// vimaro export FILE [--category 类别] [--format m3u|pls|xspf]
#include "cli/CommandLine.h"
#include "playlists/Playlist.h"

#include <QCommandLineParser>
#include <QSaveFile>
#include <cstdio>

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

} // namespace

int exportStations(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Writes the stations of the catalogue, or of one category, in catalogue order "
                                     "as a playlist file, with each station's category."_s);
    parser.addPositionalArgument(u"FILE"_s, u"The playlist file to write."_s);
    const QCommandLineOption category(u"category"_s, u"Only the stations of this category."_s, u"类别"_s);
    const QCommandLineOption format(
        u"format"_s, u"m3u (extended M3U), pls or xspf; without it, the file's extension, else m3u."_s, u"format"_s);
    parser.addOptions({category, format});
    if (const std::optional<int> exit = parse(parser, arguments))
        return *exit;
    const QStringList positional = parser.positionalArguments();
    const auto chosen =
        parser.isSet(format) ? formatNamed(parser.value(format)) : std::optional(formatForFile(positional.value(0)));
    if (positional.size() != 1 || !chosen) {
        std::fprintf(stderr, "vimaro export: give one FILE and a --format of m3u, pls or xspf; vimaro export --help "
                             "tells more.\n");
        return Usage;
    }

    std::vector<Catalogue::Station> stations;
    try {
        Database catalogue = openCatalogue();
        stations = Catalogue::stations(catalogue,
                                       parser.isSet(category) ? std::optional(parser.value(category)) : std::nullopt);
    } catch (const DbError& error) {
        std::fprintf(stderr, "vimaro export: cannot read the catalogue: %s\n", qPrintable(failure(error)));
        return Failed;
    }
    // The file is replaced only once it is complete: a failure leaves an earlier playlist of that name whole.
    QSaveFile file(positional[0]);
    if (!file.open(QIODevice::WriteOnly) || file.write(Playlists::write(*chosen, stations)) < 0 || !file.commit()) {
        std::fprintf(stderr, "vimaro export: cannot write %s: %s\n", qPrintable(positional[0]),
                     qPrintable(file.errorString()));
        return Failed;
    }
    std::printf("Wrote %zu station%s to %s.\n", stations.size(), stations.size() == 1 ? "" : "s",
                qPrintable(positional[0]));
    return Done;
}

} // namespace CommandLine
