// Playlist files as anyone might hand them over: reading any bytes, and writing back what was read in every
// format, must end without a crash, a hang or undefined behaviour.
//
// Input: the file's bytes.
#include "playlists/Playlist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Playlists;
    const Playlist playlist = read(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    std::vector<Catalogue::Station> stations;
    for (const Entry& entry : playlist.entries)
        stations.push_back({entry.group.value_or(QString()), entry.title, entry.address});
    for (Format format : {Format::M3u, Format::Pls, Format::Xspf})
        read(write(format, stations));
    return 0;
}
