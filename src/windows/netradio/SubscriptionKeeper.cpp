#include "windows/netradio/SubscriptionKeeper.h"

#include "catalogue/Backup.h"
#include "catalogue/Catalogue.h"
#include "catalogue/StationRows.h"
#include "sqlite/Statement.h"
#include "windows/forms/InternetTexts.h"

#include <QDeadlineTimer>
#include <QNetworkAccessManager>
#include <QThread>
#include <algorithm>

using namespace Qt::StringLiterals;
using Subscriptions::Attempt;
using Subscriptions::Downloaded;
using Subscriptions::Subscription;

namespace {

constexpr char IntervalVariable[] = "VIMARO_SUBSCRIPTION_INTERVAL";
constexpr std::chrono::seconds Day{24 * 60 * 60};
constexpr std::chrono::seconds FirstTurn{10};
// A background write waits this long for another to let go of the catalogue, then tries again at its next turn.
constexpr std::chrono::seconds BusyWait{30};

std::chrono::seconds intervalFromEnvironment() {
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue(IntervalVariable, &ok);
    return ok && seconds > 0 ? std::chrono::seconds(seconds) : Day;
}

// The catalogue's write lock keeps the windows from reading only while a transaction commits, not while it builds:
// its pages stay in memory until the commit instead of spilling to the file, which would lock readers out early.
// Opening reads the schema, which waits as briefly as a window does: on a thread of its own it asks again.
Database backgroundConnection() {
    const QDeadlineTimer deadline(BusyWait);
    for (;;) {
        try {
            Database catalogue = Catalogue::openConnection();
            catalogue.setBusyWait(BusyWait);
            catalogue.execute(u"PRAGMA cache_size = -262144; PRAGMA cache_spill = OFF"_s);
            return catalogue;
        } catch (const BusyError&) {
            if (deadline.hasExpired())
                throw;
            QThread::msleep(100);
        }
    }
}

// Downloads on the worker's thread, stopped by the job's cancel.
Internet::Fetch fetchOn(QNetworkAccessManager& network, const std::atomic_bool& cancel) {
    return [&network, &cancel](const Internet::Request& request) {
        Internet::Download download(network, request);
        const auto stop = stopOnCancel(cancel, [&download] { download.cancel(); });
        return download.run();
    };
}

QString failed(const Internet::FetchError& error) {
    return u"%1（%2）"_s.arg(whyNot(error), QString::fromUtf8(error.what()));
}

QString catalogueFailure(const DbError& error) {
    if (dynamic_cast<const BusyError*>(&error))
        return u"电台目录正被占用，请稍后再试"_s;
    return u"电台目录出错：%1"_s.arg(QString::fromUtf8(error.what()));
}

bool due(const Subscription& subscription, const QHash<qint64, Attempt>& tried, std::chrono::seconds interval) {
    const QDateTime last = tried.contains(subscription.id) ? tried[subscription.id].time : subscription.updated;
    return !last.isValid() || last.secsTo(QDateTime::currentDateTimeUtc()) >= interval.count();
}

// The stations of `picks` that the catalogue holds already, by name, as the import will find them.
QStringList present(Database& catalogue, const std::vector<Directory::Station>& found, const std::vector<int>& picks,
                    const QString& category) {
    Catalogue::StationRows rows(catalogue);
    QStringList names;
    for (const int pick : picks) {
        const Directory::Station& s = found[static_cast<std::size_t>(pick - 1)];
        const Catalogue::Station station = Playlists::stationOf({s.name, s.address, std::nullopt, pick}, category);
        if (rows.contains(station))
            names.append(station.name);
    }
    return names;
}

} // namespace

SubscriptionKeeper::SubscriptionKeeper() : interval_(intervalFromEnvironment()) {
    connect(&round_, &QTimer::timeout, this, &SubscriptionKeeper::turn);
}

// A turn comes often enough that no list waits much longer than the interval: 24 turns to an interval, at most one an
// hour.
void SubscriptionKeeper::start() {
    const auto every = std::clamp(interval_ / 24, std::chrono::seconds(1), std::chrono::seconds(3600));
    round_.start(every);
    QTimer::singleShot(std::min(FirstTurn, every), this, &SubscriptionKeeper::turn);
}

// One round at a time, and none while other work of 网络电台 runs: the next turn comes soon enough.
void SubscriptionKeeper::turn() {
    if (!worker_.busy())
        update(std::nullopt, true, {});
}

void SubscriptionKeeper::updateNow(std::optional<qint64> only, const std::function<void(const Outcomes&)>& done) {
    update(only, false, done);
}

bool SubscriptionKeeper::backedUp(QString& failure) {
    try {
        Catalogue::backUpBeforeWriting();
        return true;
    } catch (const DbError& error) {
        failure = catalogueFailure(error);
        return false;
    }
}

void SubscriptionKeeper::update(std::optional<qint64> only, bool dueOnly,
                                const std::function<void(const Outcomes&)>& done) {
    QString failure;
    if (!backedUp(failure)) {
        if (done)
            done({{{}, {}, failure}});
        return;
    }
    worker_.run([this, only, dueOnly, interval = interval_, done](const std::atomic_bool& cancel) -> Worker::Then {
        Outcomes outcomes;
        try {
            Database catalogue = backgroundConnection();
            std::vector<Subscription> subscriptions = Subscriptions::all(catalogue);
            const QHash<qint64, Attempt> tried = Subscriptions::attempts(catalogue);
            std::erase_if(subscriptions, [&](const Subscription& s) {
                return (only && s.id != *only) || (dueOnly && !due(s, tried, interval));
            });
            QNetworkAccessManager network;
            const Internet::Fetch fetch = fetchOn(network, cancel);
            const QDateTime now = QDateTime::currentDateTimeUtc();
            std::vector<Downloaded> lists;
            std::vector<Downloaded> refreshed; // unchanged, with new validators
            std::vector<std::pair<const Subscription*, Attempt>> attempts;
            for (const Subscription& subscription : subscriptions) {
                if (cancel)
                    break;
                Q_EMIT progress(u"正在下载（%1/%2）：%3"_s.arg(attempts.size() + lists.size() + 1)
                                    .arg(subscriptions.size())
                                    .arg(subscription.address));
                try {
                    Downloaded list = Subscriptions::downloadList(fetch, subscription, Internet::DefaultTimeout, false);
                    if (!list.unchanged) {
                        lists.push_back(std::move(list));
                        continue;
                    }
                    attempts.push_back({&subscription, {now, false, u"没有变化"_s}});
                    if (Subscriptions::newValidators(list))
                        refreshed.push_back(std::move(list));
                } catch (const Internet::FetchError& error) {
                    attempts.push_back({&subscription, {now, true, failed(error)}});
                }
            }
            if ((!lists.empty() || !refreshed.empty()) && !cancel) {
                Q_EMIT progress(u"正在写入电台目录……"_s);
                const std::vector<Subscriptions::Report> reports =
                    Subscriptions::takeIn(catalogue, lists, refreshed, {false, &cancel});
                for (std::size_t i = 0; i < reports.size(); ++i) {
                    outcomes.push_back({lists[i].subscription.address, reports[i], {}});
                    Subscriptions::recordAttempt(catalogue, lists[i].subscription.id,
                                                 {now, false, Subscriptions::summary(reports[i])});
                }
            }
            if (cancel)
                return [this, done] {
                    Q_EMIT progress(u"更新已取消，电台目录没有改变"_s);
                    if (done)
                        done({});
                };
            for (const auto& [subscription, attempt] : attempts) {
                Subscriptions::recordAttempt(catalogue, subscription->id,
                                             attempt.failed ? Attempt{now, true, u"更新失败：%1"_s.arg(attempt.outcome)}
                                                            : attempt);
                outcomes.push_back({subscription->address, {}, attempt.failed ? attempt.outcome : QString()});
            }
        } catch (const DbError& error) {
            // A round that finds the catalogue held too long tries again at its next turn.
            outcomes.push_back({{}, {}, catalogueFailure(error)});
        }
        return [this, outcomes, done] {
            Q_EMIT progress({});
            if (!outcomes.empty())
                Q_EMIT changed();
            if (done)
                done(outcomes);
        };
    });
}

void SubscriptionKeeper::subscribe(const QString& address, const std::optional<QString>& category,
                                   const std::function<void(const Outcome&)>& done) {
    QString failure;
    if (!backedUp(failure))
        return done({address, {}, failure});
    worker_.run([this, address, category, done](const std::atomic_bool& cancel) -> Worker::Then {
        Outcome outcome{address, {}, {}};
        try {
            Database catalogue = backgroundConnection();
            QNetworkAccessManager network;
            Subscription asked;
            asked.address = address;
            Q_EMIT progress(u"正在下载：%1"_s.arg(address));
            Downloaded list =
                Subscriptions::downloadList(fetchOn(network, cancel), asked, Internet::DefaultTimeout, true);
            Q_EMIT progress(u"正在写入电台目录……"_s);
            outcome.report = Subscriptions::subscribeTo(catalogue, list, category, {false, &cancel});
            if (outcome.report)
                Subscriptions::recordAttempt(
                    catalogue, list.subscription.id,
                    {QDateTime::currentDateTimeUtc(), false, Subscriptions::summary(*outcome.report)});
            else
                outcome.failure = u"已取消"_s;
        } catch (const Internet::FetchError& error) {
            outcome.failure = error.kind() == Internet::FetchError::Kind::Cancelled ? u"已取消"_s : failed(error);
        } catch (const DbError& error) {
            outcome.failure = catalogueFailure(error);
        }
        return [this, outcome, done] {
            Q_EMIT progress({});
            Q_EMIT changed();
            done(outcome);
        };
    });
}

void SubscriptionKeeper::unsubscribe(qint64 subscription, const std::function<void(const QString&)>& done) {
    QString failure;
    if (!backedUp(failure))
        return done(failure);
    worker_.run([this, subscription, done](const std::atomic_bool&) -> Worker::Then {
        QString why;
        try {
            Database catalogue = backgroundConnection();
            for (const Subscription& s : Subscriptions::all(catalogue)) {
                if (s.id != subscription)
                    continue;
                Transaction transaction(catalogue);
                Subscriptions::unsubscribe(catalogue, s);
                transaction.commit();
            }
        } catch (const DbError& error) {
            why = catalogueFailure(error);
        }
        return [this, why, done] {
            Q_EMIT changed();
            done(why);
        };
    });
}

void SubscriptionKeeper::addStations(std::vector<Directory::Station> found, std::vector<int> picks,
                                     const QString& category, const std::function<void(const QString&, bool)>& done) {
    QString failure;
    if (!backedUp(failure))
        return done(failure, true);
    worker_.run([found = std::move(found), picks = std::move(picks), category, done](const std::atomic_bool&) {
        QString text;
        bool failedToAdd = false;
        try {
            Database catalogue = backgroundConnection();
            const QStringList already = present(catalogue, found, picks, category);
            text = importSummary(Directory::addStations(catalogue, found, picks, category));
            if (!already.isEmpty())
                text += u"\n原来就有：%1"_s.arg(already.join(u"、"_s));
        } catch (const DbError& error) {
            text = u"没有增加电台，电台目录没有改变：%1"_s.arg(catalogueFailure(error));
            failedToAdd = true;
        }
        return Worker::Then([text, failedToAdd, done] { done(text, failedToAdd); });
    });
}
