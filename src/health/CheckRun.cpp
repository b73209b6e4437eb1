#include "health/CheckRun.h"

#include "health/StationCheck.h"

#include <QDir>
#include <QTimer>
#include <QUrl>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

// A check holds one connection, and a name lookup may open a file or two meanwhile; some files stay free for the
// catalogue, its journal and the certificates read for TLS.
constexpr qint64 FilesPerCheck = 2;
constexpr qint64 FilesKept = 16;

// Stations read ahead to find one whose host is free; the rest of a crowded host's stations wait in the
// catalogue, not in memory.
constexpr std::size_t LookAhead = 256;

QString hostOf(const Health::Station& station) {
    return QUrl(station.address.trimmed()).host().toLower();
}

// How many checks the limit on open files (ulimit -n) leaves room for, beside the files open now.
int jobsTheFileLimitAllows(int wanted) {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return wanted;
    const qint64 open =
        QDir(u"/proc/self/fd"_s).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size();
    const qint64 room = (static_cast<qint64>(limit.rlim_cur) - open - FilesKept) / FilesPerCheck;
    return static_cast<int>(std::clamp<qint64>(room, 1, wanted));
}

} // namespace

CheckRun::CheckRun(Pages nextPage, Options options, QObject* parent)
    : QObject(parent), nextPage_(std::move(nextPage)), options_(std::move(options)),
      jobs_(jobsTheFileLimitAllows(options_.jobs)) {}

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
    while (!over_ && running_.size() < jobs_) {
        const auto next = nextToStart();
        if (next == waiting_.end())
            break;
        Health::Station station = std::move(*next);
        waiting_.erase(next);
        launch(station);
    }
    if (!over_ && running_.isEmpty() && waiting_.empty() && allRead_) {
        over_ = true;
        Q_EMIT finished();
    }
}

// The first waiting station whose host has a check to spare, reading more stations while none has.
std::deque<Health::Station>::iterator CheckRun::nextToStart() {
    for (;;) {
        const auto free = std::find_if(waiting_.begin(), waiting_.end(), [this](const Health::Station& station) {
            const QString host = hostOf(station);
            return host.isEmpty() || perHost_.value(host) < options_.perHost;
        });
        if (free != waiting_.end() || allRead_ || waiting_.size() >= LookAhead)
            return free;
        std::vector<Health::Station> page = nextPage_();
        allRead_ = page.empty();
        std::move(page.begin(), page.end(), std::back_inserter(waiting_));
    }
}

void CheckRun::launch(const Health::Station& station) {
    const QString host = hostOf(station);
    auto* check = new StationCheck(station.address, options_.timeout, options_.resolver, this);
    running_.insert(check, host);
    ++perHost_[host];
    connect(check, &StationCheck::finished, this,
            [this, check, station, host](const Finding& finding) { done(check, station, host, finding); });
    connect(check, &StationCheck::shortOfResources, this,
            [this, check, station, host](const QString& problem) { runShort(check, station, host, problem); });
    check->start();
}

void CheckRun::done(StationCheck* check, const Health::Station& station, const QString& host, const Finding& finding) {
    release(check, host);
    Q_EMIT checked(station, finding);
    fill();
}

// The station waits for its turn again, and no more checks run at once than now hold what they need.
void CheckRun::runShort(StationCheck* check, Health::Station station, const QString& host, const QString& problem) {
    release(check, host);
    waiting_.push_front(std::move(station));
    jobs_ = std::min(jobs_, static_cast<int>(running_.size()));
    if (jobs_ == 0) {
        shortage_ = problem;
        stop();
    }
}

void CheckRun::release(StationCheck* check, const QString& host) {
    running_.remove(check);
    if (--perHost_[host] == 0)
        perHost_.remove(host);
    check->deleteLater();
}
