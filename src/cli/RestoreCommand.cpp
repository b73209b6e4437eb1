// vimaro restore [BACKUP]
#include "catalogue/Backup.h"
#include "catalogue/Catalogue.h"
#include "cli/CommandLine.h"
#include "desktop/ProgramDir.h"
#include "desktop/SingleInstance.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace CommandLine {

namespace {

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// A backup named by its path, or by its name in the backup folder (tv-2024-05-01.mdb).
QString backupNamed(const QString& name) {
    return QFileInfo::exists(name) ? name : QDir(Catalogue::backupFolder()).filePath(name);
}

// False, having said so, when the windows run on the program's directory; `windows` holds their lock from here on.
bool windowsClosed(SingleInstance& windows) {
    switch (windows.claim()) {
    case SingleInstance::Claim::Taken:
        break;
    case SingleInstance::Claim::Running:
        print(stderr, tr("vimaro restore: the windows run on %1; close them first. Nothing was changed.\n")
                          .arg(native(programDir())));
        return false;
    case SingleInstance::Claim::Unknown:
        print(stderr, tr("vimaro restore: cannot tell whether the windows run on %1; close them first if they do, "
                         "and restore again.\n")
                          .arg(native(programDir())));
        break;
    }
    return true;
}

int restoreFrom(const QString& backup) {
    const Catalogue::Found found = Catalogue::inspectCatalogue();
    const auto replacing =
        found == Catalogue::Found::Readable ? Catalogue::Replacing::Readable : Catalogue::Replacing::Damaged;
    try {
        const QString aside = Catalogue::restoreFromBackup(backup, replacing);
        print(stdout, tr("Restored %1 from %2.\n").arg(native(Catalogue::file()), native(backup)));
        if (found != Catalogue::Found::Missing)
            print(stdout, tr("The file it replaced is kept as %1.\n").arg(native(aside)));
        return Done;
    } catch (const DbError& error) {
        print(stderr, tr("vimaro restore: %1. Nothing was changed.\n").arg(QString::fromUtf8(error.what())));
        return Failed;
    }
}

} // namespace

int restoreCatalogue(const QStringList& arguments) {
    Invocation invocation(
        "restore",
        tr("Puts a backup of the catalogue in place of tv.mdb: the newest one in the backup folder that passes the "
           "engine's integrity check, or the one named. tv.mdb itself is kept aside as tv.mdb.damaged-DATE-TIME (or "
           "tv.mdb.replaced-DATE-TIME when it could still be read), never deleted. Close the windows first."));
    invocation.parser.addPositionalArgument(u"BACKUP"_s, tr("A backup file, or its name in the backup folder."),
                                            u"[BACKUP]"_s);
    if (const std::optional<int> exit = invocation.parse(arguments))
        return *exit;
    const QStringList named = invocation.parser.positionalArguments();
    if (named.size() > 1) {
        print(stderr, tr("vimaro restore: give at most one BACKUP; vimaro restore --help tells more.\n"));
        return Usage;
    }
    // The windows would go on with the catalogue they have open, and write into the file kept aside. Their lock is
    // held meanwhile, so that a start of the windows does not find the folder free.
    SingleInstance windows(programDir());
    if (!windowsClosed(windows))
        return Failed;
    const std::optional<QString> backup =
        named.isEmpty() ? Catalogue::newestSoundBackup() : std::optional(backupNamed(named.constFirst()));
    if (!backup) {
        print(stderr, tr("vimaro restore: there is no good backup in %1. Nothing was changed.\n")
                          .arg(native(Catalogue::backupFolder())));
        return Failed;
    }
    return restoreFrom(*backup);
}

} // namespace CommandLine
