#pragma once

#include "health/NameLookup.h"
#include "health/Stations.h"
#include "health/Verdict.h"

#include <QHash>
#include <QObject>
#include <chrono>
#include <deque>
#include <functional>
#include <vector>

class StationCheck;

// Checks stations many at a time but politely: at most `jobs` checks at once and at most `perHost` to one
// host, each within its own timeout. Stations are asked for a page at a time, so a run over any number of
// stations holds no more than a few pages of them. The run's own wants are never a station's finding: it checks
// fewer at once than asked when the limit on open files allows no more, fewer again when it runs short all the
// same, and stops, with the stations it could not check left unchecked, when even one check finds no room.
class CheckRun : public QObject {
    Q_OBJECT
public:
    struct Options {
        int jobs = 16;
        int perHost = 4;
        std::chrono::milliseconds timeout{10'000};
        NameLookup::Resolver resolver = NameLookup::system;
    };
    // `nextPage` gives the next stations in order, and an empty page once there are no more.
    using Pages = std::function<std::vector<Health::Station>()>;

    CheckRun(Pages nextPage, Options options, QObject* parent = nullptr);

    void start();
    // Stops at once: checks under way are dropped without a finding, and finished() follows.
    void stop();

    // How many stations it checks at once: `jobs`, or fewer when this process may open too few files.
    int jobs() const { return jobs_; }
    // Why the run stopped before its end, when this process ran short of its own resources; empty otherwise.
    QString shortage() const { return shortage_; }

Q_SIGNALS:
    void checked(const Health::Station& station, const Finding& finding);
    void finished();

private:
    void fill();
    std::deque<Health::Station>::iterator nextToStart();
    void launch(const Health::Station& station);
    void done(StationCheck* check, const Health::Station& station, const QString& host, const Finding& finding);
    void runShort(StationCheck* check, Health::Station station, const QString& host, const QString& problem);
    void release(StationCheck* check, const QString& host);

    Pages nextPage_;
    Options options_;
    int jobs_;
    QString shortage_;
    std::deque<Health::Station> waiting_;
    bool allRead_ = false;
    QHash<StationCheck*, QString> running_; // each check and the host it asks
    QHash<QString, int> perHost_;
    bool over_ = false;
};
