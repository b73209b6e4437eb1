#pragma once

#include <QByteArrayView>
#include <QString>
#include <memory>

class QFileDevice;
class QSaveFile;

// A file written so that no failure costs what it held before. A regular file, or a new one, gets its content under
// a passing name beside it and takes the file's name only at commit(), once every byte is known to be on the disk:
// write errors, a full disk's among them, surface before anything is replaced (Debian's Qt 6.4 QSaveFile::commit()
// alone reports success when its last buffered bytes failed to reach the disk). A target that exists and is no
// regular file (a device, a FIFO, a socket) is written in place and never renamed over; "-" is standard output.
// Every failure throws FileFailure, naming the file and the cause; a file to be replaced then stays as it was, as it
// does when the writer goes without commit().
class FileWriter {
public:
    explicit FileWriter(const QString& path);
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    void write(QByteArrayView bytes);
    void commit();

    // The file as messages name it.
    QString name() const;

    // Removes the passing files (PATH.XXXXXX) that writers of `path` killed half-way left beside it; a writer that
    // ends, however it fails, leaves none. For files of the program's own, which no other program writes.
    static void removeLeftBehind(const QString& path);

private:
    [[noreturn]] void fail() const;

    QString path_;
    std::unique_ptr<QFileDevice> file_;
    // The same file when it is to be replaced, none when it is written in place.
    QSaveFile* replacement_ = nullptr;
};
