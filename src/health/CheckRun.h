#pragma once

#include "health/Stations.h"
#include "health/Verdict.h"

#include <QHash>
#include <QNetworkAccessManager>
#include <QObject>
#include <chrono>
#include <deque>
#include <functional>
#include <vector>

class StationCheck;

// Checks stations many at a time but politely: at most `jobs` checks at once and at most `perHost` to one
// host, each within its own timeout. Stations are asked for a page at a time, so a run over any number of
// stations holds no more than a few pages of them.
class CheckRun : public QObject {
    Q_OBJECT
public:
    struct Options {
        int jobs = 16;
        int perHost = 4;
        std::chrono::milliseconds timeout{10'000};
    };
    // `nextPage` gives the next stations in order, and an empty page once there are no more.
    using Pages = std::function<std::vector<Station>()>;

    CheckRun(Pages nextPage, Options options, QObject* parent = nullptr);
    ~CheckRun() override;

    void start();
    // Stops at once: checks under way are dropped without a finding, and finished() follows.
    void stop();

Q_SIGNALS:
    void checked(const Station& station, const Finding& finding);
    void finished();

private:
    void fill();
    std::deque<Station>::iterator nextToStart();
    void launch(Station station);
    void done(StationCheck* check, const Station& station, const QString& host, const Finding& finding);

    Pages nextPage_;
    Options options_;
    QNetworkAccessManager network_;
    std::deque<Station> waiting_;
    bool allRead_ = false;
    QHash<StationCheck*, QString> running_; // each check and the host it asks
    QHash<QString, int> perHost_;
    bool over_ = false;
};
