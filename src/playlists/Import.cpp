#include "playlists/Import.h"

#include "catalogue/Backup.h"
#include "desktop/Shell.h"

using namespace Qt::StringLiterals;

namespace Playlists {

namespace {

// How many entries pass between two progress calls: often enough for a progress bar, rare enough to cost nothing.
constexpr qint64 ProgressStep = 1000;

qint64 entryCount(const std::vector<PlaylistFile>& files) {
    qint64 total = 0;
    for (const PlaylistFile& file : files)
        total += static_cast<qint64>(file.playlist.entries.size());
    return total;
}

ImportReport cancelled() {
    ImportReport report;
    report.cancelled = true;
    return report;
}

} // namespace

MissingStations::MissingStations(Database& catalogue)
    : present_(catalogue, u"SELECT EXISTS (SELECT 1 FROM radio WHERE 名称 = ? AND 类别 = ? AND 网址 = ?)"_s),
      insert_(catalogue, u"INSERT INTO radio (类别, 名称, 网址) VALUES (?, ?, ?) RETURNING rowid"_s) {}

std::optional<qint64> MissingStations::add(const Catalogue::Station& station) {
    present_.bind(1, station.name);
    present_.bind(2, station.category);
    present_.bind(3, station.address);
    present_.step();
    const bool known = present_.column(0).toInt() == 1;
    present_.reset(); // no statement may be left running when the transaction commits
    if (known)
        return std::nullopt;
    insert_.bind(1, station.category);
    insert_.bind(2, station.name);
    insert_.bind(3, station.address);
    insert_.step();
    const qint64 row = insert_.integer(0);
    insert_.reset();
    return row;
}

void count(ImportReport& report, const StationAt& offered, bool added) {
    if (!added) {
        ++report.alreadyPresent;
        return;
    }
    ++report.added;
    // The launcher trims an address before it judges it, and so does the report.
    if (!isPlayable(offered.station.address.trimmed()))
        report.willNotPlay.push_back(offered);
    if (!Catalogue::isShown(offered.station.category))
        ++report.hidden[offered.station.category];
}

Catalogue::Station stationOf(const Entry& entry, const std::optional<QString>& category) {
    return {category.value_or(entry.group.value_or(u" "_s)), entry.title.isEmpty() ? entry.address : entry.title,
            entry.address};
}

ImportReport importPlaylists(Database& catalogue, const std::vector<PlaylistFile>& files,
                             const ImportOptions& options) {
    ImportReport report;
    for (const PlaylistFile& file : files) {
        for (const UnreadableLine& line : file.playlist.unreadable)
            report.unreadable.push_back({file.name, line});
    }
    const qint64 total = entryCount(files);
    const auto progress = [&](qint64 done) {
        if (options.progress)
            options.progress(done, total);
    };

    // The day's copy of the catalogue is made before the transaction takes the write lock; a dry run writes nothing.
    if (!options.dryRun)
        Catalogue::backUpBeforeWriting();
    // A dry run is an import that is never committed, so its report is the one the import would give.
    Transaction transaction(catalogue);
    Catalogue::createIndexes(catalogue);
    MissingStations missing(catalogue);
    qint64 done = 0;
    progress(done);
    for (const PlaylistFile& file : files) {
        for (const Entry& entry : file.playlist.entries) {
            if (options.cancel && options.cancel->load())
                return cancelled();
            const Catalogue::Station station = stationOf(entry, options.category);
            count(report, {file.name, entry.line, station}, missing.add(station).has_value());
            if (++done % ProgressStep == 0)
                progress(done);
        }
    }
    progress(done);
    if (!options.dryRun)
        transaction.commit();
    return report;
}

} // namespace Playlists
