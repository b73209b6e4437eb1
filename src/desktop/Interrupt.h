#pragma once

#include <QObject>
#include <array>
#include <atomic>
#include <csignal>

class QSocketNotifier;

// Ctrl+C for a long command: while an Interrupt lives, SIGINT no longer ends the process at once but arrives
// in the event loop as requested(), so the command can stop cleanly and keep what it has done. A second Ctrl+C
// ends the process as usual. SIGTERM (kill, a shutdown) and SIGHUP (the terminal closed) are taken the same way, so
// that they too end a write rolled back rather than half-done. One Interrupt at a time.
class Interrupt : public QObject {
    Q_OBJECT
public:
    Interrupt();
    ~Interrupt() override;
    Interrupt(const Interrupt&) = delete;
    Interrupt& operator=(const Interrupt&) = delete;

    // Set by the signal itself, for work that holds the event loop up (an import's transaction) and looks at it
    // between two steps: it then stops and rolls back, where being ended would leave a hot journal.
    static const std::atomic_bool& wasRequested();

Q_SIGNALS:
    void requested();

private:
    QSocketNotifier* notifier_ = nullptr;
    static constexpr std::array<int, 3> Signals{SIGINT, SIGTERM, SIGHUP};
    std::array<struct sigaction, Signals.size()> previous_{};
};
