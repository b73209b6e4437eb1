#pragma once

#include "catalogue/StationAttributes.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

// Playlist files in and out: extended M3U (M3U8), PLS and XSPF. Reading takes the file's bytes as they arrive and
// hands on its entries and the lines it could not read one at a time, so that memory stays the same whatever the
// file's size; writing is a pure function from stations to bytes.
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
    // What else the file says about the entry, in its order: M3U #EXTINF attributes (all but group-title), then
    // #EXTVLCOPT options, then the address's |Name=value suffix, then the list's #EXTM3U attributes; PLS keys and
    // XSPF elements of the entry. The address is given without the suffix.
    Catalogue::Attributes attributes = {};
    bool operator==(const Entry&) const = default;
};

// A line that holds no entry and could not be read, with the reason.
struct UnreadableLine {
    int line = 0;
    QString reason;
    bool operator==(const UnreadableLine&) const = default;
};

// Where a reader hands on what it finds, in file order (PLS: in the order of its entries' numbers).
struct Reading {
    std::function<void(Entry)> entry;
    std::function<void(UnreadableLine)> unreadable;
};

class InputBlocks;
class TextLines;

// The format by content, never by the file's name: XML is XSPF, a first line "[playlist]" is PLS, anything else
// is M3U (a list of addresses, extended or not). The start of the file is enough to tell.
Format formatOf(const QByteArray& head);

// Reads the playlist in whichever format it is to its end. A file of binary data, and an empty one, is one
// unreadable line and is read no further. Throws FileFailure when the input cannot be read (InputBlocks).
void read(InputBlocks& input, const Reading& reading);
void readM3u(TextLines& lines, const Reading& reading);
void readPls(TextLines& lines, const Reading& reading);
void readXspf(InputBlocks& input, const Reading& reading);

// A whole playlist at once, for bytes already in memory.
struct Playlist {
    std::vector<Entry> entries;
    std::vector<UnreadableLine> unreadable;
};
Playlist read(const QByteArray& bytes);

// Stations in the given order. Each format carries the category: M3U as group-title (#EXTGRP when the category
// holds a double quote), PLS as GroupN, XSPF as a meta element. M3U and PLS are line formats: a line break inside
// a value is written as a blank, so that no value can ever become a line of its own.
// Each format writes back the attributes it gave: M3U its #EXTINF attributes in their order followed by
// group-title, its #EXTVLCOPT lines and the address's |Name=value suffix, and on the #EXTM3U line the list
// attributes of the stations, each once; PLS its keys; XSPF its elements.
QByteArray write(Format format, const std::vector<Catalogue::AttributedStation>& stations);
QByteArray write(Format format, const std::vector<Catalogue::Station>& stations);
QByteArray writeM3u(const std::vector<Catalogue::AttributedStation>& stations);
QByteArray writeM3u(const std::vector<Catalogue::Station>& stations);
QByteArray writePls(const std::vector<Catalogue::AttributedStation>& stations);
QByteArray writeXspf(const std::vector<Catalogue::AttributedStation>& stations);

} // namespace Playlists
