#include "health/NameLookup.h"

#include <QObject>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <netdb.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace NameLookup {

// What the lookup's thread and the check share: the thread hands its result in only while the check still wants it.
struct Pending::Mailbox {
    std::mutex mutex;
    QObject* receiver; // null once forgotten
    std::function<void(const Result&)> done;
};

Pending::Pending(std::shared_ptr<Mailbox> mailbox) : mailbox_(std::move(mailbox)) {}

Pending::~Pending() {
    const std::lock_guard lock(mailbox_->mutex);
    mailbox_->receiver = nullptr;
}

Result system(const QString& host) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int error = getaddrinfo(host.toUtf8().constData(), nullptr, &hints, &found);
    const int cause = errno;
    Result result;
    if (error == EAI_NONAME || error == EAI_NODATA) {
        result.problem = u"Host %1 not found"_s.arg(host);
    } else if (error == EAI_SYSTEM) {
        result.problem = u"Host %1 not looked up: %2"_s.arg(host, QString::fromLocal8Bit(std::strerror(cause)));
        result.shortage = cause == EMFILE || cause == ENFILE || cause == ENOMEM || cause == ENOBUFS;
    } else if (error != 0) {
        result.problem = u"Host %1 not found: %2"_s.arg(host, QString::fromLocal8Bit(gai_strerror(error)));
        result.shortage = error == EAI_MEMORY;
    }
    for (const addrinfo* entry = found; entry; entry = entry->ai_next)
        result.addresses.append(QHostAddress(entry->ai_addr));
    if (found)
        freeaddrinfo(found);
    return result;
}

std::unique_ptr<Pending> start(Resolver resolver, const QString& host, QObject* receiver,
                               std::function<void(const Result&)> done) {
    auto mailbox = std::make_shared<Pending::Mailbox>();
    mailbox->receiver = receiver;
    mailbox->done = std::move(done);
    std::thread([mailbox, resolver = std::move(resolver), host] {
        const Result result = resolver(host);
        const std::lock_guard lock(mailbox->mutex);
        if (!mailbox->receiver)
            return;
        // Asked again on arrival: the lookup may have been forgotten while its result was on the way.
        QMetaObject::invokeMethod(
            mailbox->receiver,
            [mailbox, result] {
                if (mailbox->receiver)
                    mailbox->done(result);
            },
            Qt::QueuedConnection);
    }).detach();
    return std::make_unique<Pending>(mailbox);
}

} // namespace NameLookup
