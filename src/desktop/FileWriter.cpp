#include "desktop/FileWriter.h"

#include "core/FileFailure.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString StandardOutput = u"-"_s;

bool writtenInPlace(const QString& path) {
    const QFileInfo target(path);
    return target.exists() && !target.isFile();
}

// A file that is there and may not be written is read-only, whatever error the attempt met on the way.
FileFailure::Cause causeFor(const QString& path, int error) {
    const FileFailure::Cause cause = causeOfSystemError(error);
    const QFileInfo target(path);
    if (cause != FileFailure::Cause::DiskFull && path != StandardOutput && target.exists() && !target.isWritable())
        return FileFailure::Cause::ReadOnly;
    return cause;
}

// The kernel's protected-symlinks rule, kept whatever the system's setting: in a sticky folder that others may write
// (/tmp), a link that neither the user nor the folder's owner made may have been planted there by another user to
// turn the write onto a file of their choosing.
bool plantedLink(const QString& path) {
    struct stat link {};
    struct stat folder {};
    if (::lstat(QFile::encodeName(path).constData(), &link) != 0 || !S_ISLNK(link.st_mode) ||
        ::stat(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), &folder) != 0)
        return false;
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    return shared && link.st_uid != ::geteuid() && link.st_uid != folder.st_uid;
}

} // namespace

FileWriter::FileWriter(const QString& path) : path_(path) {
    if (plantedLink(path))
        throw FileFailure(FileFailure::Cause::NoPermission, path,
                          u"cannot write %1: it is a link another user made in a folder anyone may write; remove "
                          "it, or write elsewhere"_s.arg(path));
    bool opened = false;
    if (path == StandardOutput) {
        // What the program printed through stdio before goes out first.
        std::fflush(stdout);
        auto out = std::make_unique<QFile>();
        opened = out->open(STDOUT_FILENO, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
        file_ = std::move(out);
    } else if (writtenInPlace(path)) {
        file_ = std::make_unique<QFile>(path);
        opened = file_->open(QIODevice::WriteOnly);
    } else {
        auto replacement = std::make_unique<QSaveFile>(path);
        replacement_ = replacement.get();
        file_ = std::move(replacement);
        opened = file_->open(QIODevice::WriteOnly);
    }
    if (!opened)
        fail();
}

FileWriter::~FileWriter() = default;

void FileWriter::write(QByteArrayView bytes) {
    if (file_->write(bytes.data(), bytes.size()) != bytes.size())
        fail();
}

void FileWriter::commit() {
    // The buffer's last bytes are written here, where a failure is seen; a file system that tells of a failure only
    // when the data reaches the disk tells it at the sync.
    if (!file_->flush())
        fail();
    if (replacement_ && (::fdatasync(replacement_->handle()) != 0 || !replacement_->commit()))
        fail();
    if (!replacement_)
        file_->close();
}

void FileWriter::removeLeftBehind(const QString& path) {
    const QFileInfo file(path);
    QDir folder = file.absoluteDir();
    // The six characters QSaveFile gives its passing file.
    const QStringList left =
        folder.entryList({file.fileName() + u".??????"_s}, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QString& name : left) {
        struct stat passing {};
        if (::lstat(QFile::encodeName(folder.filePath(name)).constData(), &passing) == 0 &&
            passing.st_uid == ::geteuid())
            folder.remove(name);
    }
}

QString FileWriter::name() const {
    return path_ == StandardOutput ? u"standard output"_s : path_;
}

void FileWriter::fail() const {
    // Read first: the system's error number of the call that failed, which Qt keeps only as text.
    const int error = errno;
    const FileFailure::Cause cause = causeFor(path_, error);
    // A write cut short by the disk leaves Qt without an error text of its own.
    const QString reason = cause == FileFailure::Cause::DiskFull    ? u"disk full"_s
                           : file_->error() == QFileDevice::NoError ? qt_error_string(error)
                                                                    : file_->errorString();
    throw FileFailure(cause, path_, u"cannot write %1: %2"_s.arg(name(), reason));
}
