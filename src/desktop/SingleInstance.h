#pragma once

#include <QLockFile>
#include <QObject>
#include <chrono>
#include <memory>

class QLocalServer;

// One running copy of the program per program directory, so that two copies never edit the same catalogue and
// settings at once. The running copy holds a lock file and listens on a local socket, both named after the
// directory; a later start asks it to come to the front instead of starting. A copy that crashed leaves both
// behind, but its lock names a process that is gone, so the next start takes them over.
// Both live in a folder only the user can write (privateFolder), so that another user can neither block a start
// with a lock of theirs nor end it with a socket that answers. That folder depends on the environment
// (XDG_RUNTIME_DIR, TMPDIR, HOME), so the running copy also holds the directory itself: tv.mdb.lock beside the
// catalogue, locked with flock, which the system releases when the process ends however it ends. Every copy of the
// program sees that lock, whatever its environment.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Start {
        First,      // this is the running copy
        Forwarded,  // the running copy came to the front, so this start has nothing to do
        Unanswered, // a running copy holds the lock but did not answer in time
    };

    explicit SingleInstance(const QString& programDir);
    ~SingleInstance() override;

    Start start(std::chrono::milliseconds patience = std::chrono::seconds(3));

    // For a command that must not work beside the windows (a restore of the catalogue): takes the locks only, so
    // that no copy of the windows starts while this object lives. Windows started in another environment, with
    // another private folder, are seen by the directory's lock.
    enum class Claim {
        Taken,   // no copy runs on the directory
        Running, // a copy runs on it
        Unknown, // no lock can be made, so nothing can be told
    };
    Claim claim();

    // A folder only this user can write, owned by the user and of mode 0700: $XDG_RUNTIME_DIR when it is one, else
    // vimaro-UID in the temporary folder, made so where it is missing or is the user's own but wrong (it is then
    // replaced), else vimaro in the user's cache folder, where another user holds that name. Empty when none can
    // be made.
    static QString privateFolder();

Q_SIGNALS:
    // Another start asked this copy to come to the front.
    void comeForward();

private:
    void listen();
    void answerCallers();
    bool askRunningCopy(std::chrono::milliseconds patience);

    QString name_;
    bool lockDirectory();
    Claim claimPrivateLock();

    QString directoryLock_;
    int directoryLockFile_ = -1;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
};
