#include "desktop/Interrupt.h"

#include <QSocketNotifier>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace {

// A signal handler may do almost nothing; it writes one byte into a pipe whose other end the event loop reads.
int wakeUp[2] = {-1, -1};
std::atomic_bool requestedNow = false;
static_assert(std::atomic_bool::is_always_lock_free, "a signal handler may only set a lock-free atomic");

void onInterrupt(int) {
    requestedNow = true;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeUp[1], &byte, 1);
}

} // namespace

const std::atomic_bool& Interrupt::wasRequested() {
    return requestedNow;
}

Interrupt::Interrupt() {
    requestedNow = false;
    if (::pipe2(wakeUp, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("cannot make a pipe for Ctrl+C");
    notifier_ = new QSocketNotifier(wakeUp[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(wakeUp[0], bytes, sizeof bytes) > 0) {
        }
        Q_EMIT requested();
    });
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // After the first Ctrl+C the default comes back, so a second one ends a command that does not stop.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (size_t i = 0; i < Signals.size(); ++i)
        sigaction(Signals[i], &action, &previous_[i]);
}

Interrupt::~Interrupt() {
    for (size_t i = 0; i < Signals.size(); ++i)
        sigaction(Signals[i], &previous_[i], nullptr);
    delete notifier_;
    ::close(wakeUp[0]);
    ::close(wakeUp[1]);
    wakeUp[0] = wakeUp[1] = -1;
}
