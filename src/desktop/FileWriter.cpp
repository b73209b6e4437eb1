#include "desktop/FileWriter.h"

#include "runtime/FileFailure.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>
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

} // namespace

FileWriter::FileWriter(const QString& path) : path_(path) {
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
