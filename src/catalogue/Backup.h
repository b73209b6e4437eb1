#pragma once

#include "sqlite/Database.h"

#include <QDate>
#include <QString>
#include <functional>
#include <optional>

// Copies of the catalogue in backup/ beside tv.mdb, one a day at most, the last seven kept, and the way back to one
// of them when tv.mdb can no longer be read. A copy dated after today, made while the clock ran ahead, is neither
// recent nor counted among the seven: the rotation leaves it, and the first write of a run says it is there. A copy
// counts as a backup only once it has passed the engine's full integrity check and holds table radio; until then it has
// a passing name, and it is removed when it fails.
namespace Catalogue {

// tv.mdb is no catalogue any more (not an SQLite file, damaged, without table radio). `problem` says what is wrong
// in the engine's words; the text tells the windows' user what to do about it.
class DamagedError : public CorruptError {
public:
    explicit DamagedError(const QString& problem);
    QString problem;
};

// No backup could be made before a write, and no good one of the last seven days exists.
class NoBackupError : public DbError {
public:
    explicit NoBackupError(const QString& why);
};

// Before the first write of a run (a station added or changed, a preset saved, an import): a checked copy of
// tv.mdb made with the engine's online backup, unless one was made today already. Every write of the catalogue
// passes here first; an importer calls it before its transaction, a new writer before its own.
// - Only once the copy has passed are backups older than the newest seven deleted.
// - A copy that fails the check shows tv.mdb damaged: DamagedError, and nothing is written into it.
// - A copy that cannot be made (no room, no backup folder) lets the write go on while a good backup of the last
//   seven days exists; otherwise the rule of setNoBackupRule decides, by default NoBackupError.
// The attempt is made once a run: a later write of the same run does not try again.
void backUpBeforeWriting();

// What a write does when no backup can be made and no good one of the last seven days exists: the rule is told why,
// and the write goes on once it returns. A command stops instead (no rule, NoBackupError) unless told --no-backup;
// the windows, whose user acts on purpose, say so in a box and go on. An empty rule stops writes again.
void setNoBackupRule(std::function<void(const DbError& why)> rule);

// The backup folder beside the catalogue.
QString backupFolder();

// The day a backup was made, from its name tv-YYYY-MM-DD.mdb.
QDate backupDay(const QString& backup);

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

// A connection as the commands open it: tv.mdb given the same look as start-up gives it, so that a file that is no
// catalogue throws DamagedError at once and not half-way through the work. It waits for a lock another program
// holds up to Database::WriteWait, for reads as for writes.
Database openChecked(Database::Access access = Database::Access::ReadWrite);

// The newest backup that passes the engine's full integrity check and holds table radio, if any; one dated after
// today only when none dated up to today passes.
std::optional<QString> newestSoundBackup();

// Renames tv.mdb (and any journal beside it) aside and puts a copy of `backup` in its place, once the copy has
// passed the check a backup must pass. Returns the name the old file now has: tv.mdb.damaged-DATE-TIME, or
// tv.mdb.replaced-DATE-TIME for one that could still be read. Throws DbError when the backup is no good one or the
// swap cannot be made, leaving tv.mdb where it was.
enum class Replacing { Damaged, Readable };
QString restoreFromBackup(const QString& backup, Replacing replacing = Replacing::Damaged);

} // namespace Catalogue
