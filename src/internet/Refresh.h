#pragma once

#include "internet/DownloadedList.h"
#include "internet/Subscriptions.h"

#include <QDateTime>
#include <QHash>
#include <memory>
#include <optional>

// What subscribing and updating do between the network and the catalogue, the same for the commands and the windows:
// a list downloaded with the validators of its last answer, and the lists that came taken in together.
namespace Subscriptions {

// A subscription's list as it was downloaded, on its way into the catalogue.
struct Downloaded {
    Subscription subscription;
    std::unique_ptr<Internet::DownloadedList> list;
    Validators validators;
    bool unchanged = false; // the server says so, or sent the list taken in last time
};

// Downloads a subscription's list, asking with the validators of the last answer unless the whole list is needed.
// Throws FetchError, also for a changed list that holds no stations, which is a broken server far more often than a
// list whose every station went away.
Downloaded downloadList(const Internet::Fetch& fetch, const Subscription& subscription,
                        std::chrono::milliseconds timeout, bool wholeList);

// An unchanged list whose server gave new validators: they are kept, so that the next update is told "not modified".
bool newValidators(const Downloaded& downloaded);

// Records `address` as a subscription and takes in its list, after the day's backup, in one transaction: the address
// is recorded together with the stations of its list, or neither is. Nothing when the cancel came. Throws DbError.
std::optional<Report> subscribeTo(Database& catalogue, Downloaded& downloaded, const std::optional<QString>& category,
                                  const Options& options);

// Takes the changed lists into the catalogue, and keeps the new validators of the refreshed ones, after the day's
// backup, all in one transaction; each list's guides become guide sources of its subscription. A cancel rolls it
// back and gives no reports. Throws DbError.
std::vector<Report> takeIn(Database& catalogue, std::vector<Downloaded>& lists,
                           const std::vector<Downloaded>& refreshed, const Options& options);

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
