#include "desktop/SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

// The user's runtime folder, or the temporary folder where a session has none. The home folder is part of the
// key, so two users running one portable folder each have their own.
QString instanceName(const QString& programDir) {
    const QString key = QDir::homePath() + u'\n' + QFileInfo(programDir).canonicalFilePath();
    const QByteArray id = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + u"/vimaro-"_s + QString::fromLatin1(id);
}

int millisecondsLeft(const QDeadlineTimer& deadline) {
    return static_cast<int>(deadline.remainingTime());
}

} // namespace

SingleInstance::SingleInstance(const QString& programDir) : name_(instanceName(programDir)), lock_(name_ + u".lock"_s) {
    // A running copy's lock never goes stale with age, only when its process is gone.
    lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Start SingleInstance::start(std::chrono::milliseconds patience) {
    if (lock_.tryLock(0)) {
        listen();
        return Start::First;
    }
    // Where no lock file can be made at all there is no other copy to defer to.
    if (lock_.error() != QLockFile::LockFailedError)
        return Start::First;
    return askRunningCopy(patience) ? Start::Forwarded : Start::Unanswered;
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
