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

} // namespace

int restoreCatalogue(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Puts a backup of the catalogue in place of tv.mdb: the newest one in the backup folder that passes the "
        "engine's integrity check, or the one named. tv.mdb itself is kept aside as tv.mdb.damaged-DATE-TIME (or "
        "tv.mdb.replaced-DATE-TIME when it could still be read), never deleted. Close the windows first."_s);
    parser.addPositionalArgument(u"BACKUP"_s, u"A backup file, or its name in the backup folder."_s, u"[BACKUP]"_s);
    if (const std::optional<int> exit = parse(parser, arguments))
        return *exit;
    if (parser.positionalArguments().size() > 1) {
        std::fprintf(stderr, "vimaro restore: give at most one BACKUP; vimaro restore --help tells more.\n");
        return Usage;
    }

    // The windows would go on with the catalogue they have open, and write into the file kept aside. Their lock is
    // held meanwhile, so that a start of the windows does not find the folder free.
    SingleInstance windows(programDir());
    switch (windows.claim()) {
    case SingleInstance::Claim::Taken:
        break;
    case SingleInstance::Claim::Running:
        std::fprintf(stderr, "vimaro restore: the windows run on %s; close them first. Nothing was changed.\n",
                     qPrintable(native(programDir())));
        return Failed;
    case SingleInstance::Claim::Unknown:
        std::fprintf(stderr,
                     "vimaro restore: cannot tell whether the windows run on %s; close them first if they "
                     "do, and restore again.\n",
                     qPrintable(native(programDir())));
        break;
    }

    const std::optional<QString> backup = parser.positionalArguments().isEmpty()
                                              ? Catalogue::newestSoundBackup()
                                              : std::optional(backupNamed(parser.positionalArguments().constFirst()));
    if (!backup) {
        std::fprintf(stderr, "vimaro restore: there is no good backup in %s. Nothing was changed.\n",
                     qPrintable(native(Catalogue::backupFolder())));
        return Failed;
    }
    const Catalogue::Found found = Catalogue::inspectCatalogue();
    const auto replacing =
        found == Catalogue::Found::Readable ? Catalogue::Replacing::Readable : Catalogue::Replacing::Damaged;
    try {
        const QString aside = Catalogue::restoreFromBackup(*backup, replacing);
        std::printf("Restored %s from %s.\n", qPrintable(native(Catalogue::file())), qPrintable(native(*backup)));
        if (found != Catalogue::Found::Missing)
            std::printf("The file it replaced is kept as %s.\n", qPrintable(native(aside)));
        return Done;
    } catch (const DbError& error) {
        std::fprintf(stderr, "vimaro restore: %s. Nothing was changed.\n", error.what());
        return Failed;
    }
}

} // namespace CommandLine
