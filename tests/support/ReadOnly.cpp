#include "tests/support/ReadOnly.h"

#include <QFile>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

bool setImmutable(const QString& path, bool on) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    // The kernel reads and writes these flags as an int, whatever the request's declared type says.
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

} // namespace

ReadOnly::ReadOnly(const QString& path) : path_(path), permissions_(QFile::permissions(path)) {
    QFile::setPermissions(path, permissions_ & ~(QFileDevice::WriteOwner | QFileDevice::WriteUser |
                                                 QFileDevice::WriteGroup | QFileDevice::WriteOther));
    if (::geteuid() == 0)
        ok_ = immutable_ = setImmutable(path, true);
}

ReadOnly::~ReadOnly() {
    if (immutable_)
        setImmutable(path_, false);
    QFile::setPermissions(path_, permissions_);
}
