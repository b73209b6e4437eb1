#pragma once

#include "catalogue/Catalogue.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// Playlist files in and out: extended M3U (M3U8), PLS and XSPF. Reading is a pure function from the file's bytes
// to its entries and the lines it could not read; writing is a pure function from stations to bytes.
namespace Playlists {

enum class Format { M3u, Pls, Xspf };

// One station of a playlist, as the file gives it.
struct Entry {
    QString title;                // M3U and PLS titles trimmed of surrounding blanks, XSPF titles as they are
    QString address;              // exactly as written
    std::optional<QString> group; // group-title, #EXTGRP, GroupN or the XSPF category; absent when there is none
    int line = 0;                 // where the entry's address is written, counting from 1
    std::optional<QString> id =
        {}; // M3U's tvg-id: the channel's own name in a published list, kept as its names change
    bool operator==(const Entry&) const = default;
};

// A line that holds no entry and could not be read, with the reason.
struct UnreadableLine {
    int line = 0;
    QString reason;
    bool operator==(const UnreadableLine&) const = default;
};

struct Playlist {
    std::vector<Entry> entries;
    std::vector<UnreadableLine> unreadable;
};

// The format by content, never by the file's name: XML is XSPF, a first line "[playlist]" is PLS, anything else
// is M3U (a list of addresses, extended or not).
Format formatOf(const QByteArray& bytes);

// The playlist in whichever format it is; a file of binary data is one unreadable line.
Playlist read(const QByteArray& bytes);
Playlist readM3u(const QByteArray& bytes);
Playlist readPls(const QByteArray& bytes);
Playlist readXspf(const QByteArray& bytes);

// Stations in the given order. Each format carries the category: M3U as group-title (#EXTGRP when the category
// holds a double quote), PLS as GroupN, XSPF as a meta element. M3U and PLS are line formats: a line break inside
// a value is written as a blank, so that no value can ever become a line of its own.
QByteArray write(Format format, const std::vector<Catalogue::Station>& stations);
QByteArray writeM3u(const std::vector<Catalogue::Station>& stations);
QByteArray writePls(const std::vector<Catalogue::Station>& stations);
QByteArray writeXspf(const std::vector<Catalogue::Station>& stations);

} // namespace Playlists
