#include "playlists/Import.h"

#include "catalogue/Backup.h"
#include "core/HiddenText.h"
#include "desktop/Shell.h"
#include "playlists/Input.h"
#include "sqlite/Statement.h"

using namespace Qt::StringLiterals;

namespace Playlists {

namespace {

// How many places pass between two progress calls: often enough for a progress bar, rare enough to cost nothing.
constexpr qint64 ProgressStep = 1000;

// A cancel seen while a file is read: it unwinds the reading, and the transaction with it.
struct Cancelled {};

ImportReport cancelled() {
    ImportReport report;
    report.cancelled = true;
    return report;
}

// An import under way: each entry is added, or counted as present, as it is read.
class Importing {
public:
    Importing(Database& catalogue, const ImportOptions& options) : missing_(catalogue), options_(options) {}

    // Reads the file to its end. It was a playlist when it gave a station or read without a fault.
    void read(const ImportFile& file) {
        const qint64 entriesBefore = entries_;
        const qint64 unreadableBefore = report.unreadable.count;
        file.read({[&](const Entry& entry) { add(file, entry); },
                   [&](UnreadableLine line) {
                       passing();
                       report.unreadable.add({file.name, file.unit, std::move(line)});
                   }});
        if (entries_ > entriesBefore || report.unreadable.count == unreadableBefore)
            ++report.playlists;
    }

    void progress() const {
        if (options_.progress)
            options_.progress(entries_);
    }

    ImportReport report;

private:
    void add(const ImportFile& file, const Entry& entry) {
        passing();
        ++entries_;
        const Catalogue::Station station = stationOf(entry, options_.category);
        count(report, {file.name, file.unit, entry.line, station}, missing_.add(station, entry.attributes).has_value());
    }

    // Every place read, an entry or not, may be where a cancel is seen and progress is told.
    void passing() {
        if (options_.cancel && options_.cancel->load())
            throw Cancelled{};
        if (++places_ % ProgressStep == 0)
            progress();
    }

    MissingStations missing_;
    const ImportOptions& options_;
    qint64 entries_ = 0;
    qint64 places_ = 0;
};

} // namespace

MissingStations::MissingStations(Database& catalogue) : rows_(catalogue), attributes_(catalogue) {}

std::optional<qint64> MissingStations::add(const Catalogue::Station& station, const Catalogue::Attributes& attributes) {
    if (rows_.contains(station))
        return std::nullopt;
    const qint64 row = rows_.append(station);
    if (!attributes.empty())
        attributes_.add(row, attributes);
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
        report.willNotPlay.add(offered);
    if (!Catalogue::isShown(offered.station.category))
        ++report.hidden[offered.station.category];
}

// A name keeps no character that would hide in it or turn the text around it.
Catalogue::Station stationOf(const Entry& entry, const std::optional<QString>& category) {
    const QString name = withoutHidden(entry.title);
    return {category.value_or(entry.group.value_or(u" "_s)), name.isEmpty() ? entry.address : name, entry.address};
}

ImportFile playlistFile(InputBlocks& input) {
    return {input.name(), Unit::Line, [&input](const Reading& reading) { read(input, reading); }};
}

ImportFile playlistFile(PlaylistFile whole) {
    return {whole.name, Unit::Line, [playlist = std::move(whole.playlist)](const Reading& reading) {
                for (const Entry& entry : playlist.entries)
                    reading.entry(entry);
                for (const UnreadableLine& line : playlist.unreadable)
                    reading.unreadable(line);
            }};
}

ImportReport importPlaylists(Database& catalogue, const std::vector<ImportFile>& files, const ImportOptions& options) {
    // The day's copy of the catalogue is made before the transaction takes the write lock; a dry run writes nothing.
    if (!options.dryRun)
        Catalogue::backUpBeforeWriting();
    // A dry run is an import that is never committed, so its report is the one the import would give.
    Transaction transaction(catalogue);
    Catalogue::createIndexes(catalogue);
    Importing importing(catalogue, options);
    importing.progress();
    try {
        for (const ImportFile& file : files)
            importing.read(file);
    } catch (const Cancelled&) {
        return cancelled();
    }
    importing.progress();
    // When no file was a playlist, there is nothing to write.
    if (!options.dryRun && importing.report.playlists > 0)
        transaction.commit();
    return importing.report;
}

} // namespace Playlists
