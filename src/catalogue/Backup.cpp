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

std::function<void(const DbError&)>& noBackupRule() {
    static std::function<void(const DbError&)> rule;
    return rule;
}

QString backupOfDay(const QDate& day) {
    return QDir(backupFolder()).filePath(u"tv-%1.mdb"_s.arg(day.toString(Qt::ISODate)));
}

// The backups in the folder, named by the day they were made, so that their names sort oldest first. One dated after
// today was made while the clock ran ahead: its day says nothing of when it was made, so it is kept apart from the
// others, never taken for a recent backup nor counted among those rotation keeps.
struct Backups {
    QStringList past;   // oldest first, today's last
    QStringList future; // dated after today
};

Backups backupsByDay() {
    Backups found;
    const QDate today = QDate::currentDate();
    for (const QString& name :
         QDir(backupFolder()).entryList({u"tv-\?\?\?\?-\?\?-\?\?.mdb"_s}, QDir::Files, QDir::Name))
        (backupDay(name) > today ? found.future : found.past).append(name);
    return found;
}

void keepNewestBackups() {
    const Backups backups = backupsByDay();
    for (qsizetype old = 0; old < backups.past.size() - KeptBackups; ++old)
        QFile::remove(QDir(backupFolder()).filePath(backups.past[old]));
}

void tellOfFutureBackups() {
    const QStringList future = backupsByDay().future;
    if (!future.isEmpty())
        qWarning("vimaro: %s holds %lld backups dated after today (%s), made while the clock ran ahead: they are "
                 "neither counted as recent nor removed by the rotation",
                 qPrintable(QDir::toNativeSeparators(backupFolder())), qlonglong(future.size()),
                 qPrintable(future.join(u", "_s)));
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
// when the stations there are read. Preparing the statements proves that the table and its fields are there; a lock
// another program holds is waited for as long as the connection waits.
void readBothEnds(Database& catalogue) {
    for (const QString& order : {u"ASC"_s, u"DESC"_s}) {
        Statement end(catalogue, u"SELECT 编号, 类别, 名称, 网址 FROM radio ORDER BY rowid %1 LIMIT 1"_s.arg(order));
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

// The first of `names` in the backup folder that passes the check a backup must pass.
std::optional<QString> firstSound(const QStringList& names) {
    for (const QString& name : names) {
        const QString backup = QDir(backupFolder()).filePath(name);
        try {
            checkCopy(backup);
            return backup;
        } catch (const DbError&) {
        }
    }
    return std::nullopt;
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
        throw DbError(FileFailure::Cause::NoFolder, backupFolder(),
                      u"cannot create the folder %1"_s.arg(QDir::toNativeSeparators(backupFolder())));
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
    QStringList past = backupsByDay().past;
    std::reverse(past.begin(), past.end());
    const std::optional<QString> newest = firstSound(past);
    return newest && backupDay(*newest).daysTo(QDate::currentDate()) <= RecentDays;
}

void goOnWithoutBackup(const DbError& why) {
    if (recentBackupExists()) {
        qWarning("vimaro: the catalogue could not be backed up before this change (%s); the last backup is recent",
                 why.what());
        return;
    }
    if (!noBackupRule())
        throw NoBackupError(QString::fromUtf8(why.what()));
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

void setNoBackupRule(std::function<void(const DbError& why)> rule) {
    noBackupRule() = std::move(rule);
}

void backUpBeforeWriting() {
    const QString catalogue = file();
    if (settledThisRun().contains(catalogue))
        return;
    const QString today = backupOfDay(QDate::currentDate());
    tellOfFutureBackups();
    try {
        if (!QFile::exists(today))
            makeTodaysBackup(catalogue, today);
    } catch (const DamagedError&) {
        throw;
    } catch (const DbError& error) {
        goOnWithoutBackup(error);
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

Database openChecked(Database::Access access) {
    Database connection = openConnection(access);
    connection.setBusyWait(Database::WriteWait);
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
    Backups backups = backupsByDay();
    std::reverse(backups.past.begin(), backups.past.end());
    return firstSound(backups.past + backups.future);
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
