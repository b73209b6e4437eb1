#pragma once

#include <QMutex>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>

class QThread;

// Work done on a thread of its own, one job after the other, so that no click waits on the network or on a long
// write of the catalogue. A job runs where an event loop turns (downloads wait in local ones) and ends with what the
// window's thread then does with its result. The thread starts with the first job, never before.
class Worker : public QObject {
    Q_OBJECT

public:
    // What the window's thread does once the job is over.
    using Then = std::function<void()>;
    using Job = std::function<Then(const std::atomic_bool& cancel)>;

    Worker() = default;
    // Stops the job under way and waits for its end: a download stops at once, a write rolls back.
    ~Worker() override;

    void run(Job job);
    // The job under way ends as soon as it can; the jobs waiting still run.
    void cancel() { cancel_ = true; }
    // A job runs or waits.
    bool busy() const { return pending_ > 0; }

private:
    void drain();

    QThread* thread_ = nullptr;
    QObject* runner_ = nullptr; // lives on thread_
    QMutex mutex_;
    std::deque<Job> jobs_;
    std::atomic_bool cancel_ = false;
    std::atomic_bool draining_ = false;
    int pending_ = 0; // counted on the window's thread
};

// Calls `stop` on the job's thread soon after `cancel` is set, for as long as the timer lives: what stops a download
// or a check, which must be stopped on their own thread.
std::unique_ptr<QTimer> stopOnCancel(const std::atomic_bool& cancel, std::function<void()> stop);
