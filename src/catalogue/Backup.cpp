#include "catalogue/Backup.h"

#include "catalogue/Catalogue.h"
#include "catalogue/JetFormat.h"
#include "sqlite/Statement.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSet>
#include <algorithm>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace Catalogue {

namespace {

constexpr qsizetype KeptBackups = 7;
// A backup this many days old or younger is reason enough to write on when today's cannot be made.
constexpr qint64 RecentDays = 7;

std::function<void(const QString&)>& noBackupRule() {
    static std::function<void(const QString&)> rule;
    return rule;
}

QString backupOfDay(const QDate& day) {
    return QDir(backupFolder()).filePath(u"tv-%1.mdb"_s.arg(day.toString(Qt::ISODate)));
}

// Backups are named by their day, so their names sort oldest first.
QStringList backupsOldestFirst() {
    return QDir(backupFolder()).entryList({u"tv-\?\?\?\?-\?\?-\?\?.mdb"_s}, QDir::Files, QDir::Name);
}

void keepNewestBackups() {
    const QStringList backups = backupsOldestFirst();
    for (qsizetype old = 0; old < backups.size() - KeptBackups; ++old)
        QFile::remove(QDir(backupFolder()).filePath(backups[old]));
}

// The catalogues whose backup was settled in this run, made or given up, so each is tried once however many writes
// follow.
QSet<QString>& settledThisRun() {
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

// The check a copy passes before it counts as a backup; DamagedError says which part it failed.
void checkCopy(const QString& copy) {
    try {
        Database checked = openWithoutWaiting(copy);
        if (!checked.IntegrityCheck())
            throw DbError("it fails the engine's integrity check");
        checkTable(checked);
    } catch (const BusyError&) {
        throw;
    } catch (const DbError& error) {
        throw DamagedError(QString::fromUtf8(error.what()));
    }
}

// A checked copy of the database `from` at `to`: DbError when it cannot be written, DamagedError when `from` is
// damaged, which the copy shows. Either way nothing is left at `to`.
void writeCheckedCopy(const QString& from, const QString& to) {
    try {
        Database::OpenDatabase(from).BackupTo(to);
    } catch (const CorruptError& error) {
        throw DamagedError(QString::fromUtf8(error.what()));
    }
    auto removeCopy = qScopeGuard([&] { QFile::remove(to); });
    checkCopy(to);
    removeCopy.dismiss();
}

void makeTodaysBackup(const QString& catalogue, const QString& today) {
    if (!QDir().mkpath(backupFolder()))
        throw DbError("cannot create the folder " + backupFolder().toStdString());
    const QString passing = today + u".part"_s;
    writeCheckedCopy(catalogue, passing);
    QFile::remove(today);
    if (!QFile::rename(passing, today)) {
        QFile::remove(passing);
        throw DbError("cannot name the backup " + today.toStdString());
    }
    keepNewestBackups();
}

bool recentBackupExists() {
    const std::optional<QString> newest = newestSoundBackup();
    return newest && backupDay(*newest).daysTo(QDate::currentDate()) <= RecentDays;
}

void goOnWithoutBackup(const QString& why) {
    if (recentBackupExists()) {
        qWarning("vimaro: the catalogue could not be backed up before this change (%s); the last backup is recent",
                 qPrintable(why));
        return;
    }
    if (!noBackupRule())
        throw NoBackupError(why);
    noBackupRule()(why);
}

} // namespace

DamagedError::DamagedError(const QString& found)
    : CorruptError(
          u"电台目录 %1 已损坏（%2），不能再写入。请关闭 Vimaro，再运行 vimaro restore 用最近的完好备份恢复。"_s
              .arg(QDir::toNativeSeparators(Catalogue::file()), found)
              .toStdString()),
      problem(found) {}

NoBackupError::NoBackupError(const QString& why)
    : DbError(u"the catalogue could not be backed up (%1), and %2 holds no good backup of the last %3 days"_s
                  .arg(why, QDir::toNativeSeparators(backupFolder()))
                  .arg(RecentDays)
                  .toStdString()) {}

QString backupFolder() {
    return QFileInfo(file()).path() + u"/backup"_s;
}

QDate backupDay(const QString& backup) {
    return QDate::fromString(QFileInfo(backup).completeBaseName().mid(3), Qt::ISODate);
}

void setNoBackupRule(std::function<void(const QString& why)> rule) {
    noBackupRule() = std::move(rule);
}

void backUpBeforeWriting() {
    const QString catalogue = file();
    if (settledThisRun().contains(catalogue))
        return;
    const QString today = backupOfDay(QDate::currentDate());
    try {
        if (!QFile::exists(today))
            makeTodaysBackup(catalogue, today);
    } catch (const DamagedError&) {
        throw;
    } catch (const DbError& error) {
        goOnWithoutBackup(QString::fromUtf8(error.what()));
    }
    settledThisRun().insert(catalogue);
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

Database openChecked() {
    Database connection = openConnection();
    try {
        readBothEnds(connection);
    } catch (const BusyError&) {
        throw;
    } catch (const DbError& error) {
        throw DamagedError(QString::fromUtf8(error.what()));
    }
    return connection;
}

std::optional<QString> newestSoundBackup() {
    QStringList backups = backupsOldestFirst();
    std::reverse(backups.begin(), backups.end());
    for (const QString& name : backups) {
        const QString backup = QDir(backupFolder()).filePath(name);
        try {
            checkCopy(backup);
            return backup;
        } catch (const DbError&) {
        }
    }
    return std::nullopt;
}

QString restoreFromBackup(const QString& backup, Replacing replacing) {
    const QString catalogue = file();
    const QString incoming = catalogue + u".restoring"_s;
    QString aside = u"%1.%2-%3"_s.arg(catalogue, replacing == Replacing::Damaged ? u"damaged"_s : u"replaced"_s,
                                      QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s));
    try {
        writeCheckedCopy(backup, incoming);
    } catch (const DamagedError& error) {
        throw DbError(u"%1 is no good backup: %2"_s.arg(QDir::toNativeSeparators(backup), error.problem).toStdString());
    }
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
        QFile::remove(incoming);
        throw DbError("cannot put the backup in place of " + catalogue.toStdString());
    }
    return aside;
}

} // namespace Catalogue
