#pragma once

#include <QString>
#include <optional>

// Copies of the catalogue in backup/ beside tv.mdb, one a day at most, the last seven kept, and the way back to one
// of them when tv.mdb can no longer be read.
namespace Catalogue {

// Before the first write of a run (a station added or changed, a preset saved, an import): a copy of tv.mdb made
// with the engine's online backup, unless one was made today already. A copy that cannot be made does not stop the
// write; the next write tries again. Every write of the catalogue passes here; an importer calls it before its
// transaction.
void backUpBeforeWriting();

// The backup folder beside the catalogue.
QString backupFolder();

// What start-up finds at tv.mdb.
enum class Found {
    Missing,    // no file: the windows say so quietly, as always
    Readable,   // a catalogue
    Busy,       // locked by another program: nothing can be told without waiting, so start-up does not
    OldFormat,  // a Jet database of the old program, which its conversion takes care of
    Unreadable, // not an SQLite file, damaged, or without the table radio
};
// Reads no more of the file than its header, its schema and the two ends of the table, so that start-up costs the
// same for a catalogue of a million stations.
Found inspectCatalogue();

// The newest backup that passes the engine's full integrity check, if any.
std::optional<QString> newestSoundBackup();

// Renames tv.mdb (and any journal beside it) aside and puts a copy of `backup` in its place. Returns the name the
// damaged file now has; throws DbError when the swap cannot be made, leaving tv.mdb where it was.
QString restoreFromBackup(const QString& backup);

} // namespace Catalogue
