#pragma once

#include "internet/Directory.h"
#include "internet/Refresh.h"
#include "windows/netradio/Worker.h"

#include <QTimer>
#include <chrono>
#include <optional>

// Keeps the subscriptions up to date while the windows run: each list is asked once a day (and soon after start when
// its last update is older than that), with the validators, so that an unchanged list costs one request. Every write
// of 网络电台 goes through here too, one after the other on a thread of their own: a write that finds the catalogue
// held by another waits its turn, and a round that cannot get it in time tries again at its next turn, saying
// nothing. What came of each attempt is kept in the catalogue and shown in 订阅; a failure never opens a box.
class SubscriptionKeeper : public QObject {
    Q_OBJECT

public:
    // What one subscription's update or subscribe came to.
    struct Outcome {
        QString address;
        std::optional<Subscriptions::Report> report; // none: unchanged, or failed
        QString failure;                             // why it failed, in the user's words
    };
    using Outcomes = std::vector<Outcome>;

    SubscriptionKeeper();

    // Starts the daily round; its first turn comes a little after start, never during it.
    void start();
    // How long a list may go without being asked again: a day, or VIMARO_SUBSCRIPTION_INTERVAL seconds.
    std::chrono::seconds interval() const { return interval_; }

    // Updates one subscription, or all of them, now, whatever their last update.
    void updateNow(std::optional<qint64> only, const std::function<void(const Outcomes&)>& done);
    void subscribe(const QString& address, const std::optional<QString>& category,
                   const std::function<void(const Outcome&)>& done);
    void unsubscribe(qint64 subscription, const std::function<void(const QString& failure)>& done);
    // Adds directory stations under the import's rules; `done` gets the report's text or why nothing was added.
    void addStations(std::vector<Directory::Station> found, std::vector<int> picks, const QString& category,
                     const std::function<void(const QString& report, bool failed)>& done);

    bool busy() const { return worker_.busy(); }

Q_SIGNALS:
    // Progress of the work under way, in a line ("正在更新 2/5：http://…").
    void progress(const QString& text);
    // The subscriptions or their stations changed, or an attempt was recorded.
    void changed();

private:
    void turn();
    void update(std::optional<qint64> only, bool dueOnly, const std::function<void(const Outcomes&)>& done);
    // Before the first write of a run, on the window's thread: the day's backup, whose bookkeeping is the process's.
    bool backedUp(QString& failure);

    Worker worker_;
    QTimer round_;
    std::chrono::seconds interval_;
};
