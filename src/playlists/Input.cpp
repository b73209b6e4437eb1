#include "playlists/Input.h"

#include "core/FileFailure.h"

#include <QIODevice>
#include <cerrno>

using namespace Qt::StringLiterals;

namespace Playlists {

namespace {

constexpr qsizetype BlockSize = 64 * 1024;

} // namespace

InputBlocks::InputBlocks(QIODevice& device, QString name, qint64 largest)
    : device_(device), name_(std::move(name)), largest_(largest) {}

const QByteArray& InputBlocks::head() {
    while (!headRead_) {
        const QByteArray block = read();
        head_ += block;
        headRead_ = block.isEmpty() || head_.size() >= HeadSize;
    }
    return head_;
}

QByteArray InputBlocks::next() {
    if (!headGiven_) {
        head();
        headGiven_ = true;
        if (!head_.isEmpty())
            return std::exchange(head_, {});
    }
    return read();
}

QByteArray InputBlocks::read() {
    QByteArray block(BlockSize, Qt::Uninitialized);
    qint64 got = device_.read(block.data(), BlockSize);
    // A file or a pipe gives bytes as soon as it has any; a device that gives them as they arrive is waited for.
    while (got == 0 && !device_.atEnd()) {
        if (!device_.waitForReadyRead(-1))
            throw FileFailure(FileFailure::Cause::Other, name_,
                              u"cannot read %1: its bytes stopped coming before its end"_s.arg(name_));
        got = device_.read(block.data(), BlockSize);
    }
    if (got < 0) {
        const int error = errno;
        throw FileFailure(causeOfSystemError(error), name_, u"cannot read %1: %2"_s.arg(name_, device_.errorString()));
    }
    total_ += got;
    if (total_ > largest_)
        throw FileFailure(
            FileFailure::Cause::TooLarge, name_,
            u"%1 goes on past %2 MiB, further than any playlist: it was not read to its end"_s.arg(name_).arg(
                largest_ >> 20));
    block.truncate(got);
    return block;
}

} // namespace Playlists
