#pragma once

#include "playlists/Playlist.h"
#include "sqlite/Statement.h"

#include <atomic>
#include <functional>
#include <map>

// Bringing the stations of playlist files into the catalogue: one transaction for all files, no station twice.
// Each file is read as it is imported, so memory stays the same whatever the files' size.
namespace Playlists {

class InputBlocks;

// How the places of a file are counted: the lines of a playlist, the records of an old catalogue.
enum class Unit { Line, Record };

// One file of an import: its name as the report gives it, how its places are counted, and what reads it, handing
// on each entry and each place it cannot read as it comes.
struct ImportFile {
    QString name;
    Unit unit = Unit::Line;
    std::function<void(const Reading&)> read;
};

// A playlist arriving on `input`, read as the import goes.
ImportFile playlistFile(InputBlocks& input);
// A playlist read whole, with the name its report gives it: a download, a search's results.
struct PlaylistFile {
    QString name;
    Playlist playlist;
};
ImportFile playlistFile(PlaylistFile whole);

struct ImportOptions {
    // Every station goes into this category, whatever group the file gives it.
    std::optional<QString> category;
    // Counts everything as an import would and writes nothing.
    bool dryRun = false;
    // The entries read so far; called now and then and once at the end.
    std::function<void(qint64 entries)> progress;
    // Set from elsewhere to stop: the catalogue is left as it was.
    const std::atomic_bool* cancel = nullptr;
};

// A place in a file that the report points at.
struct StationAt {
    QString file;
    Unit unit;
    int at;
    Catalogue::Station station;
};
struct UnreadableAt {
    QString file;
    Unit unit;
    UnreadableLine line;
};

// A report lists no more places of a kind than this: the first ones show what is wrong.
constexpr std::size_t ListedAtMost = 50;

// The first ListedAtMost places of a kind, and how many there were in all.
template <typename Place> struct Listed {
    std::vector<Place> first;
    qint64 count = 0;

    void add(Place place) {
        if (first.size() < ListedAtMost)
            first.push_back(std::move(place));
        ++count;
    }
};

struct ImportReport {
    int added = 0;
    int alreadyPresent = 0;
    // Added all the same, but the shell will not be handed their address.
    Listed<StationAt> willNotPlay;
    Listed<UnreadableAt> unreadable;
    // The files that were playlists: those that gave a station or read without a fault. Binary data, text that is no
    // playlist at all and an empty file are none; when no file is one, nothing is written.
    int playlists = 0;
    // Stations added under a category that no panel lists and no quick-select slot plays: stored, but shown
    // nowhere. By category, with how many went there.
    std::map<QString, int> hidden;
    // Nothing was written.
    bool cancelled = false;
};

// The station an entry becomes: the category given, else the entry's group as it is, else one blank (the channel
// editor's own default); the name from the title, else the address; the address as written.
Catalogue::Station stationOf(const Entry& entry, const std::optional<QString>& category);

// Adds the stations the catalogue does not hold already (same category, name and web address, compared byte for
// byte), through two statements prepared once for a whole import.
class MissingStations {
public:
    explicit MissingStations(Database& catalogue);
    // The row of the station added, with the attributes its source gave; nothing when the catalogue holds it
    // already.
    std::optional<qint64> add(const Catalogue::Station& station, const Catalogue::Attributes& attributes = {});

private:
    Statement present_;
    Statement insert_;
    Catalogue::AttributeWriter attributes_;
};

// Counts a station an import offered in its report: added or present already, and of one added, an address the
// launcher will not hand on and a category no panel shows.
void count(ImportReport& report, const StationAt& offered, bool added);

// Adds every station of the files that the catalogue does not hold already (same category, name and web address,
// compared byte for byte), in file order, all in one transaction: a failure throws (DbError, or FileFailure for a
// file that cannot be read to its end) and a cancel returns, both leaving the catalogue as it was.
ImportReport importPlaylists(Database& catalogue, const std::vector<ImportFile>& files,
                             const ImportOptions& options = {});

} // namespace Playlists
