#pragma once

#include "playlists/Playlist.h"
#include "sqlite/Statement.h"

#include <atomic>
#include <functional>
#include <map>

// Bringing the stations of playlist files into the catalogue: one transaction for all files, no station twice.
namespace Playlists {

// A playlist file that was read, with the name the report gives it.
struct PlaylistFile {
    QString name;
    Playlist playlist;
};

struct ImportOptions {
    // Every station goes into this category, whatever group the file gives it.
    std::optional<QString> category;
    // Counts everything as an import would and writes nothing.
    bool dryRun = false;
    // Entries done, of all entries of all files; called now and then and once at the end.
    std::function<void(qint64 done, qint64 total)> progress;
    // Set from elsewhere to stop: the catalogue is left as it was.
    const std::atomic_bool* cancel = nullptr;
};

// A place in a playlist file that the report points at.
struct StationAt {
    QString file;
    int line;
    Catalogue::Station station;
};
struct UnreadableAt {
    QString file;
    UnreadableLine line;
};

struct ImportReport {
    int added = 0;
    int alreadyPresent = 0;
    // Added all the same, but the shell will not be handed their address.
    std::vector<StationAt> willNotPlay;
    std::vector<UnreadableAt> unreadable;
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
    // The row of the station added; nothing when the catalogue holds it already.
    std::optional<qint64> add(const Catalogue::Station& station);

private:
    Statement present_;
    Statement insert_;
};

// Counts a station an import offered in its report: added or present already, and of one added, an address the
// launcher will not hand on and a category no panel shows.
void count(ImportReport& report, const StationAt& offered, bool added);

// Adds every station of the files that the catalogue does not hold already (same category, name and web address,
// compared byte for byte), in file order, all in one transaction: a failure throws DbError and a cancel returns,
// both leaving the catalogue as it was.
ImportReport importPlaylists(Database& catalogue, const std::vector<PlaylistFile>& files,
                             const ImportOptions& options = {});

} // namespace Playlists
