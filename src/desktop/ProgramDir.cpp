#include "desktop/ProgramDir.h"

#include "desktop/FileWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <filesystem>

using namespace Qt::StringLiterals;

namespace {

QString testDir;

// The files a data folder starts with; tvset.tmp is written by the program itself.
const QStringList seededFiles{u"tv.mdb"_s, u"tvset.ini"_s};

ProgramPlaces runningPlaces() {
    const QString folder = QCoreApplication::applicationDirPath();
    return {folder, QFileInfo(folder).isWritable(), QDir(folder).filePath(QStringLiteral(VIMARO_INSTALLED_DATA)),
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/vimaro"_s};
}

void makeFolder(const QString& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder.toStdString(), error);
    if (error)
        throw ProgramDirError(
            causeOfSystemError(error.value()), folder,
            u"cannot create the data folder %1: %2"_s.arg(folder, QString::fromStdString(error.message())));
}

// Written whole or not at all, and writable by its user whatever the installed copy's mode.
void copyFile(const QString& from, const QString& to) {
    QFile source(from);
    QByteArray bytes;
    if (source.open(QIODevice::ReadOnly))
        bytes = source.readAll();
    if (source.error() != QFileDevice::NoError) {
        const int error = errno;
        throw ProgramDirError(causeOfSystemError(error), from,
                              u"cannot copy %1 to %2: %3"_s.arg(from, to, source.errorString()));
    }
    try {
        FileWriter target(to);
        target.write(bytes);
        target.commit();
    } catch (const FileFailure& failure) {
        throw ProgramDirError(failure.cause(), failure.file(),
                              u"cannot copy %1 to %2: %3"_s.arg(from, to, QString::fromUtf8(failure.what())));
    }
}

// A file missing from both the data folder and the installed copies stays missing: the windows then start as
// they do without it.
void seed(const QString& dataFolder, const QString& copies) {
    for (const QString& name : seededFiles) {
        const QString target = QDir(dataFolder).filePath(name);
        const QString source = QDir(copies).filePath(name);
        if (!QFileInfo::exists(target) && QFileInfo::exists(source))
            copyFile(source, target);
    }
}

} // namespace

QString settleProgramDir(const ProgramPlaces& places) {
    if (places.programFolderWritable && QFileInfo::exists(QDir(places.programFolder).filePath(u"tv.mdb"_s)))
        return places.programFolder;
    makeFolder(places.userData);
    // A portable folder on a medium the user may not write starts the data folder from its own files.
    const bool installed = QFileInfo::exists(QDir(places.installedData).filePath(u"tv.mdb"_s));
    seed(places.userData, installed ? places.installedData : places.programFolder);
    return places.userData;
}

QString programDir() {
    if (!testDir.isEmpty())
        return testDir;
    static const QString decided = settleProgramDir(runningPlaces());
    return decided;
}

void setProgramDirForTesting(const QString& dir) {
    testDir = dir;
}
