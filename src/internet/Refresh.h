#pragma once

#include "internet/Download.h"
#include "internet/Subscriptions.h"

#include <QDateTime>
#include <QHash>
#include <functional>

// What subscribing and updating do between the network and the catalogue, the same for the commands and the windows:
// a list downloaded with the validators of its last answer, and the lists that came taken in together.
namespace Subscriptions {

// A subscription's list as it was downloaded, on its way into the catalogue.
struct Downloaded {
    Subscription subscription;
    Internet::Answer answer;
    Playlists::PlaylistFile list;
};

// How a caller downloads: the commands with a progress line and Ctrl+C, the windows on a thread of their own.
using Fetch = std::function<Internet::Answer(const Internet::Request&)>;

// Downloads a subscription's list, asking with the validators of the last answer unless the whole list is needed.
// Nothing when the list did not change. Throws FetchError, also for a list that suddenly holds no stations, which is
// a broken server far more often than a list whose every station went away.
std::optional<Downloaded> downloadList(const Fetch& fetch, const Subscription& subscription,
                                       std::chrono::milliseconds timeout, bool wholeList);

// Records `address` as a subscription and takes in its list, after the day's backup, in one transaction: the address
// is recorded together with the stations of its list, or neither is. Throws DbError.
Report subscribeTo(Database& catalogue, Downloaded& downloaded, const std::optional<QString>& category);

// Takes the lists that came into the catalogue after the day's backup, all in one transaction. A cancel rolls it back
// and gives no reports. Throws DbError.
std::vector<Report> takeIn(Database& catalogue, std::vector<Downloaded>& lists, const Options& options);

// The last time the program tried to update a subscription, whatever came of it, and what came of it in the user's
// words: so that a list is asked once a day, however its server answered, and a failure is shown where the
// subscriptions are listed.
struct Attempt {
    QDateTime time;
    bool failed = false;
    QString outcome;
};
void recordAttempt(Database& catalogue, qint64 subscription, const Attempt& attempt);
// By subscription; without the table, none.
QHash<qint64, Attempt> attempts(Database& catalogue);

// The first `atMost` stations of a subscription that the catalogue still holds, in catalogue order, each with its row.
struct HeldStation {
    qint64 row;
    Catalogue::Station station;
};
std::vector<HeldStation> stationsOf(Database& catalogue, qint64 subscription, int atMost);

} // namespace Subscriptions
