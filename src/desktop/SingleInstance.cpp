#include "desktop/SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

bool ownedByUser(const struct stat& file) {
    return file.st_uid == ::geteuid();
}

// A folder itself, not a link to one, that only this user can write.
bool isPrivate(const QString& folder) {
    struct stat file {};
    return ::lstat(QFile::encodeName(folder).constData(), &file) == 0 && S_ISDIR(file.st_mode) && ownedByUser(file) &&
           (file.st_mode & 07777) == S_IRWXU;
}

// A folder of the user's own that others could write into may hold their files, and a link may lead anywhere: both
// are replaced by a folder made afresh. What another user owns is refused, as the user could not replace it.
bool makePrivate(const QString& folder) {
    if (isPrivate(folder))
        return true;
    const QByteArray path = QFile::encodeName(folder);
    struct stat file {};
    if (::lstat(path.constData(), &file) == 0) {
        if (!ownedByUser(file))
            return false;
        if (S_ISDIR(file.st_mode))
            QDir(folder).removeRecursively();
        else
            ::unlink(path.constData());
    }
    return ::mkdir(path.constData(), S_IRWXU) == 0 && isPrivate(folder);
}

// Nobody but the user and root can make a file in a private folder; one that is not the user's own is not trusted.
void removeIfForeign(const QString& path) {
    struct stat file {};
    const QByteArray name = QFile::encodeName(path);
    if (::lstat(name.constData(), &file) == 0 && !ownedByUser(file))
        ::unlink(name.constData());
}

// The home folder is part of the key, so two users running one portable folder each have their own.
QString instanceName(const QString& programDir) {
    const QString folder = SingleInstance::privateFolder();
    if (folder.isEmpty())
        return {};
    const QString key = QDir::homePath() + u'\n' + QFileInfo(programDir).canonicalFilePath();
    const QByteArray id = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return folder + u"/vimaro-"_s + QString::fromLatin1(id);
}

int millisecondsLeft(const QDeadlineTimer& deadline) {
    return static_cast<int>(deadline.remainingTime());
}

} // namespace

QString SingleInstance::privateFolder() {
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivate(runtime))
        return runtime;
    QString temporary = QDir::tempPath() + u"/vimaro-"_s + QString::number(::geteuid());
    if (makePrivate(temporary))
        return temporary;
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (QDir().mkpath(cache) && makePrivate(cache + u"/vimaro"_s))
        return cache + u"/vimaro"_s;
    return {};
}

SingleInstance::SingleInstance(const QString& programDir)
    : name_(instanceName(programDir)), directoryLock_(QDir(programDir).filePath(u"tv.mdb.lock"_s)) {
    if (name_.isEmpty())
        return;
    removeIfForeign(name_ + u".lock"_s);
    removeIfForeign(name_);
    lock_ = std::make_unique<QLockFile>(name_ + u".lock"_s);
    // A running copy's lock never goes stale with age, only when its process is gone.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    if (directoryLockFile_ >= 0)
        ::close(directoryLockFile_);
}

// False while another copy holds the directory. A directory where no lock file can be made or opened (read-only)
// tells nothing, and the lock in the private folder decides alone. The file is the user's alone to open, so no other
// user can hold it.
bool SingleInstance::lockDirectory() {
    if (directoryLockFile_ < 0) {
        const QByteArray path = QFile::encodeName(directoryLock_);
        directoryLockFile_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (directoryLockFile_ < 0)
            directoryLockFile_ = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (directoryLockFile_ < 0)
            return true;
    }
    return ::flock(directoryLockFile_, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

SingleInstance::Claim SingleInstance::claimPrivateLock() {
    if (lock_ && lock_->tryLock(0))
        return Claim::Taken;
    return lock_ && lock_->error() == QLockFile::LockFailedError ? Claim::Running : Claim::Unknown;
}

SingleInstance::Claim SingleInstance::claim() {
    if (!lockDirectory())
        return Claim::Running;
    if (!lock_)
        return directoryLockFile_ >= 0 ? Claim::Taken : Claim::Unknown;
    return claimPrivateLock();
}

// The windows go by the lock in the private folder, which also finds the copy to hand over to; the directory's lock
// is for the commands that must not run beside them, whatever their environment.
SingleInstance::Start SingleInstance::start(std::chrono::milliseconds patience) {
    switch (claimPrivateLock()) {
    case Claim::Taken:
        lockDirectory();
        listen();
        return Start::First;
    case Claim::Running:
        return askRunningCopy(patience) ? Start::Forwarded : Start::Unanswered;
    case Claim::Unknown:
        // Where no lock file can be made at all there is no other copy to defer to.
        lockDirectory();
        return Start::First;
    }
    Q_UNREACHABLE();
}

void SingleInstance::listen() {
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // The socket of a copy that crashed is still there; the lock says it is ours now.
    QLocalServer::removeServer(name_);
    connect(server_.get(), &QLocalServer::newConnection, this, &SingleInstance::answerCallers);
    server_->listen(name_);
}

// The window comes forward before the answer goes out, so the other start ends only once it is done.
void SingleInstance::answerCallers() {
    while (QLocalSocket* caller = server_->nextPendingConnection()) {
        Q_EMIT comeForward();
        connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
        caller->write("ok\n");
        caller->disconnectFromServer();
    }
}

bool SingleInstance::askRunningCopy(std::chrono::milliseconds patience) {
    const QDeadlineTimer deadline(patience);
    QLocalSocket socket;
    // The running copy may have taken its lock a moment ago and not be listening yet.
    do {
        socket.connectToServer(name_);
        if (socket.waitForConnected(millisecondsLeft(deadline)))
            return socket.waitForReadyRead(millisecondsLeft(deadline));
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}
