// Playlist files as anyone might hand them over: reading any bytes, and writing back what was read in every
// format, must end without a crash, a hang or undefined behaviour; and the bytes read as they arrive, a few at a
// time, must give the same playlist as all of them at once. An M3U entry's title and address come from one entry:
// its #EXTINF line is the nearest before its address, with no other address and no entry line that could not be
// read between them.
//
// Input: the file's bytes; its size decides how many arrive at a time.
#include "playlists/Input.h"
#include "playlists/Playlist.h"
#include "tests/support/Arriving.h"

#include <QStringConverter>
#include <cstdlib>
#include <set>

namespace {

using namespace Playlists;

// The lines of UTF-8 text as the reader counts them: ended by CR LF, LF or a lone CR, trimmed as the reader trims.
QStringList linesOf(QByteArray bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines.append(QString::fromUtf8(bytes.sliced(start, i - start)).trimmed());
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.append(QString::fromUtf8(bytes.sliced(start)).trimmed());
    return lines;
}

bool isEntryLine(const QString& line) {
    return !line.startsWith(u'#') || line.startsWith(u"#EXTINF", Qt::CaseInsensitive) ||
           line.startsWith(u"#EXTGRP", Qt::CaseInsensitive) || line.startsWith(u"#EXTVLCOPT", Qt::CaseInsensitive);
}

void checkEntriesWhole(const QByteArray& bytes, const Playlist& playlist) {
    const bool utf8 =
        QStringConverter::encodingForData(bytes).value_or(QStringConverter::Utf8) == QStringConverter::Utf8;
    if (formatOf(bytes) != Format::M3u || !utf8 || bytes.contains('\0'))
        return;
    const QStringList lines = linesOf(bytes);
    std::set<int> unreadable;
    for (const UnreadableLine& line : playlist.unreadable)
        unreadable.insert(line.line);
    for (const Entry& entry : playlist.entries) {
        if (entry.title.isEmpty())
            continue;
        int line = entry.line - 1;
        while (--line >= 0 && !lines[line].startsWith(u"#EXTINF:", Qt::CaseInsensitive)) {
            const bool unread = unreadable.contains(line + 1);
            if ((unread || !lines[line].isEmpty()) && isEntryLine(lines[line]) &&
                (unread || !lines[line].startsWith(u'#')))
                std::abort();
        }
        if (line < 0 || unreadable.contains(line + 1) || !lines[line].contains(entry.title))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const Playlist playlist = read(bytes);

    Arriving arriving(bytes, {}, qint64(1 + size % 16));
    InputBlocks input(arriving, {});
    Playlist arrived;
    read(input, {[&](Entry entry) { arrived.entries.push_back(std::move(entry)); },
                 [&](UnreadableLine line) { arrived.unreadable.push_back(std::move(line)); }});
    if (arrived.entries != playlist.entries || arrived.unreadable != playlist.unreadable)
        std::abort();
    checkEntriesWhole(bytes, playlist);

    std::vector<Catalogue::Station> stations;
    for (const Entry& entry : playlist.entries)
        stations.push_back({entry.group.value_or(QString()), entry.title, entry.address});
    for (Format format : {Format::M3u, Format::Pls, Format::Xspf})
        read(write(format, stations));
    return 0;
}
