#include "catalogue/Backup.h"

#include "catalogue/Catalogue.h"
#include "catalogue/JetFormat.h"
#include "sqlite/Database.h"
#include "sqlite/Statement.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace Catalogue {

namespace {

constexpr qsizetype KeptBackups = 7;

// Backups are named by their day, so their names sort oldest first.
QStringList backupsOldestFirst() {
    return QDir(backupFolder()).entryList({u"tv-\?\?\?\?-\?\?-\?\?.mdb"_s}, QDir::Files, QDir::Name);
}

void keepNewestBackups() {
    const QStringList backups = backupsOldestFirst();
    for (qsizetype old = 0; old < backups.size() - KeptBackups; ++old)
        QFile::remove(QDir(backupFolder()).filePath(backups[old]));
}

// The catalogues backed up in this run, so each is backed up once however many writes follow.
QSet<QString>& backedUpThisRun() {
    static QSet<QString> catalogues;
    return catalogues;
}

// Never waits for a lock: another program holding the file throws BusyError at once.
Database openWithoutWaiting(const QString& path) {
    return Database::OpenDatabase(path, 0ms);
}

// What start-up can afford to read of a catalogue however large it is: the file's header and schema, the table
// radio, and its first and last station, which lie at the two ends of the table's tree. Damage deeper inside shows
// when the stations there are read.
void readBothEnds(Database& catalogue) {
    checkTable(catalogue);
    for (const QString& order : {u"ASC"_s, u"DESC"_s}) {
        Statement end(catalogue, u"SELECT * FROM radio ORDER BY rowid %1 LIMIT 1"_s.arg(order));
        end.step();
    }
}

} // namespace

QString backupFolder() {
    return QFileInfo(file()).path() + u"/backup"_s;
}

void backUpBeforeWriting() {
    const QString catalogue = file();
    if (backedUpThisRun().contains(catalogue))
        return;
    const QString today = QDir(backupFolder()).filePath(u"tv-%1.mdb"_s.arg(QDate::currentDate().toString(Qt::ISODate)));
    try {
        if (!QFile::exists(today)) {
            if (!QDir().mkpath(backupFolder()))
                throw DbError("cannot create the folder " + backupFolder().toStdString());
            Database::OpenDatabase(catalogue).BackupTo(today);
            keepNewestBackups();
        }
        backedUpThisRun().insert(catalogue);
    } catch (const DbError& error) {
        qWarning("vimaro: the catalogue could not be backed up before this change: %s", error.what());
    }
}

Found inspectCatalogue() {
    const QString catalogue = file();
    if (!QFile::exists(catalogue))
        return Found::Missing;
    if (jetFormat(catalogue))
        return Found::OldFormat;
    try {
        Database connection = openWithoutWaiting(catalogue);
        readBothEnds(connection);
        return Found::Readable;
    } catch (const BusyError&) {
        return Found::Busy;
    } catch (const DbError&) {
        return Found::Unreadable;
    }
}

std::optional<QString> newestSoundBackup() {
    QStringList backups = backupsOldestFirst();
    std::reverse(backups.begin(), backups.end());
    for (const QString& name : backups) {
        const QString backup = QDir(backupFolder()).filePath(name);
        try {
            Database copy = openWithoutWaiting(backup);
            if (copy.IntegrityCheck()) {
                checkTable(copy);
                return backup;
            }
        } catch (const DbError&) {
        }
    }
    return std::nullopt;
}

QString restoreFromBackup(const QString& backup) {
    const QString catalogue = file();
    const QString incoming = catalogue + u".restoring"_s;
    QString aside = catalogue + u".damaged-"_s + QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
    QFile::remove(incoming);
    if (!QFile::copy(backup, incoming))
        throw DbError("cannot copy " + backup.toStdString());
    // A journal beside the damaged file belongs to it: left behind, the engine would play it into the restored copy.
    const QStringList companions{QString(), u"-journal"_s, u"-wal"_s, u"-shm"_s};
    for (const QString& suffix : companions) {
        if (QFile::exists(catalogue + suffix) && !QFile::rename(catalogue + suffix, aside + suffix)) {
            for (const QString& moved : companions)
                QFile::rename(aside + moved, catalogue + moved);
            QFile::remove(incoming);
            throw DbError("cannot rename " + (catalogue + suffix).toStdString());
        }
    }
    if (!QFile::rename(incoming, catalogue)) {
        QFile::rename(aside, catalogue);
        throw DbError("cannot put the backup in place of " + catalogue.toStdString());
    }
    return aside;
}

} // namespace Catalogue
