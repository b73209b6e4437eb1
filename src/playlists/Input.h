#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// The bytes of a playlist as they arrive, from a file, a pipe or a download, and the limits every reader keeps.
namespace Playlists {

// The longest name, address or category a playlist may give, and the longest line of a text playlist, in bytes:
// the settings file's limit. A longer value is no station's, and holding it would cost memory without bound.
constexpr qsizetype LongestValue = 64 * 1024;

// The most one input may hold, in bytes: far beyond the largest station lists there are (a list of five million
// stations takes 180 MB). Input that runs on past it, such as a device that never ends, is no playlist.
constexpr qint64 LargestInput = qint64(1) << 30;

// The bytes of one input, block by block as they arrive, each read once, so that a pipe gives up nothing it holds.
// A device that has no bytes ready waits for them (waitForReadyRead) until its end. Reading past `largest` bytes, or
// a read error, throws FileFailure naming the input.
class InputBlocks {
public:
    InputBlocks(QIODevice& device, QString name, qint64 largest = LargestInput);

    // At least the first HeadSize bytes, fewer only in a shorter input, read at the first call: enough to tell the
    // format by. next() gives them first.
    const QByteArray& head();
    static constexpr qsizetype HeadSize = 4096;

    // The next bytes, empty at the end.
    QByteArray next();

    const QString& name() const { return name_; }

private:
    QByteArray read();

    QIODevice& device_;
    QString name_;
    qint64 largest_;
    qint64 total_ = 0;
    QByteArray head_;
    bool headRead_ = false;
    bool headGiven_ = false;
};

} // namespace Playlists
