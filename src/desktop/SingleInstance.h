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

Q_SIGNALS:
    // Another start asked this copy to come to the front.
    void comeForward();

private:
    void listen();
    void answerCallers();
    bool askRunningCopy(std::chrono::milliseconds patience);

    QString name_;
    QLockFile lock_;
    std::unique_ptr<QLocalServer> server_;
};
