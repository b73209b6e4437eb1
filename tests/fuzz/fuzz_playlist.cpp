// Playlist files as anyone might hand them over: reading any bytes, and writing back what was read in every
// format, must end without a crash, a hang or undefined behaviour; and the bytes read as they arrive, a few at a
// time, must give the same playlist as all of them at once.
//
// Input: the file's bytes; its size decides how many arrive at a time.
#include "playlists/Input.h"
#include "playlists/Playlist.h"
#include "tests/support/Arriving.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Playlists;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const Playlist playlist = read(bytes);

    Arriving arriving(bytes, {}, qint64(1 + size % 16));
    InputBlocks input(arriving, {});
    Playlist arrived;
    read(input, {[&](Entry entry) { arrived.entries.push_back(std::move(entry)); },
                 [&](UnreadableLine line) { arrived.unreadable.push_back(std::move(line)); }});
    if (arrived.entries != playlist.entries || arrived.unreadable != playlist.unreadable)
        std::abort();

    std::vector<Catalogue::Station> stations;
    for (const Entry& entry : playlist.entries)
        stations.push_back({entry.group.value_or(QString()), entry.title, entry.address});
    for (Format format : {Format::M3u, Format::Pls, Format::Xspf})
        read(write(format, stations));
    return 0;
}
