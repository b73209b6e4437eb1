#include "health/CheckRun.h"

#include "health/StationCheck.h"

#include <QTimer>
#include <QUrl>

namespace {

// Stations read ahead to find one whose host is free; the rest of a crowded host's stations wait in the
// catalogue, not in memory.
constexpr std::size_t LookAhead = 256;

QString hostOf(const Station& station) {
    return QUrl(station.address.trimmed()).host().toLower();
}

} // namespace

CheckRun::CheckRun(Pages nextPage, Options options, QObject* parent)
    : QObject(parent), nextPage_(std::move(nextPage)), options_(options) {}

// The checks go before the network access manager they use, which members outlive children would not.
CheckRun::~CheckRun() {
    qDeleteAll(running_.keys());
}

void CheckRun::start() {
    // Started from the event loop, so that finished() of an empty run comes after the caller waits for it.
    QTimer::singleShot(0, this, &CheckRun::fill);
}

void CheckRun::stop() {
    if (over_)
        return;
    over_ = true;
    qDeleteAll(running_.keys());
    running_.clear();
    Q_EMIT finished();
}

void CheckRun::fill() {
    while (!over_ && running_.size() < options_.jobs) {
        const auto next = nextToStart();
        if (next == waiting_.end())
            break;
        Station station = std::move(*next);
        waiting_.erase(next);
        launch(std::move(station));
    }
    if (!over_ && running_.isEmpty() && waiting_.empty() && allRead_) {
        over_ = true;
        Q_EMIT finished();
    }
}

// The first waiting station whose host has a check to spare, reading more stations while none has.
std::deque<Station>::iterator CheckRun::nextToStart() {
    for (;;) {
        const auto free = std::find_if(waiting_.begin(), waiting_.end(), [this](const Station& station) {
            const QString host = hostOf(station);
            return host.isEmpty() || perHost_.value(host) < options_.perHost;
        });
        if (free != waiting_.end() || allRead_ || waiting_.size() >= LookAhead)
            return free;
        std::vector<Station> page = nextPage_();
        allRead_ = page.empty();
        std::move(page.begin(), page.end(), std::back_inserter(waiting_));
    }
}

void CheckRun::launch(Station station) {
    const QString host = hostOf(station);
    auto* check = new StationCheck(network_, station.address, options_.timeout, this);
    running_.insert(check, host);
    ++perHost_[host];
    connect(check, &StationCheck::finished, this,
            [this, check, station = std::move(station), host](const Finding& finding) {
                done(check, station, host, finding);
            });
    check->start();
}

void CheckRun::done(StationCheck* check, const Station& station, const QString& host, const Finding& finding) {
    running_.remove(check);
    if (--perHost_[host] == 0)
        perHost_.remove(host);
    check->deleteLater();
    Q_EMIT checked(station, finding);
    fill();
}
