#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

class QObject;

// Looking up a station's host name within the station's own time. The system's resolver blocks its caller until it
// knows, however long a silent name server keeps it waiting, and cannot be cancelled; so each lookup runs on a thread
// of its own that the program never waits for. A lookup whose answer is no longer wanted is forgotten, and its thread
// ends by itself once the resolver gives up.
namespace NameLookup {

struct Result {
    QList<QHostAddress> addresses;
    QString problem;       // why there are none
    bool shortage = false; // the problem is this process's own want of files or memory, not the name's
};

// Looks up one host name and blocks until it knows.
using Resolver = std::function<Result(const QString& host)>;
// The system's resolver, as every program on the machine uses it (/etc/hosts, the name servers ...).
Result system(const QString& host);

// A lookup under way; destroying it forgets it.
class Pending {
public:
    struct Mailbox;
    explicit Pending(std::shared_ptr<Mailbox> mailbox);
    ~Pending();
    Pending(const Pending&) = delete;
    Pending& operator=(const Pending&) = delete;

private:
    std::shared_ptr<Mailbox> mailbox_;
};

// Starts `resolver` on `host` and hands its result to `done` in `receiver`'s thread, unless the lookup was forgotten
// first. Throws std::system_error when no thread can be started.
std::unique_ptr<Pending> start(Resolver resolver, const QString& host, QObject* receiver,
                               std::function<void(const Result&)> done);

} // namespace NameLookup
