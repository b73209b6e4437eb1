#include "windows/netradio/Worker.h"

#include <QThread>

namespace {

constexpr std::chrono::milliseconds CancelPoll{50};

} // namespace

Worker::~Worker() {
    if (!thread_)
        return;
    {
        const QMutexLocker lock(&mutex_);
        jobs_.clear();
    }
    cancel_ = true;
    while (draining_)
        QThread::msleep(10);
    thread_->quit();
    thread_->wait();
    delete thread_;
}

void Worker::run(Job job) {
    if (!thread_) {
        thread_ = new QThread;
        runner_ = new QObject;
        runner_->moveToThread(thread_);
        connect(thread_, &QThread::finished, runner_, &QObject::deleteLater);
        thread_->start();
    }
    {
        const QMutexLocker lock(&mutex_);
        jobs_.push_back(std::move(job));
    }
    ++pending_;
    QMetaObject::invokeMethod(
        runner_, [this] { drain(); }, Qt::QueuedConnection);
}

// Runs on the worker's thread. A job that waits in a local event loop may let the next call in: that one leaves the
// jobs to the first, so that they run one after the other.
void Worker::drain() {
    if (draining_.exchange(true))
        return;
    for (;;) {
        Job job;
        {
            const QMutexLocker lock(&mutex_);
            if (jobs_.empty())
                break;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        cancel_ = false;
        Then then;
        try {
            then = job(cancel_);
        } catch (const std::exception& error) {
            // Every job says its own failures; one that escapes is the program's fault, not the user's.
            qWarning("a background job failed: %s", error.what());
        }
        QMetaObject::invokeMethod(
            this,
            [this, then = std::move(then)] {
                --pending_;
                if (then)
                    then();
            },
            Qt::QueuedConnection);
    }
    draining_ = false;
}

std::unique_ptr<QTimer> stopOnCancel(const std::atomic_bool& cancel, std::function<void()> stop) {
    auto timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, [&cancel, stop = std::move(stop)] {
        if (cancel)
            stop();
    });
    timer->start(CancelPoll);
    return timer;
}
