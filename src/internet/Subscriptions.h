#pragma once

#include "playlists/Import.h"

#include <QDateTime>
#include <atomic>
#include <optional>
#include <vector>

class Database;

// Playlists followed at their address. Where each station of a subscription came from is kept in tables of their
// own beside table radio: the subscription (its address, its category, the validators of the last answer) and,
// for each entry of its list, the station the entry became and what the program last wrote to that station.
//
// A station that differs from what the program last wrote to it was changed by the user (in the channel editor,
// the preset editor, or any other program): the comparison sees every way a station can be edited, and needs
// nothing of the ways themselves. Updates never overwrite such a station, never add back one the user deleted,
// and --prune never removes one the user changed.
namespace Subscriptions {

struct Subscription {
    qint64 id = 0;
    QString address;
    std::optional<QString> category; // every station into this one; none: the list's own groups
    QByteArray etag;
    QByteArray lastModified;
    QByteArray digest; // of the last list taken in, so that a list served again unchanged changes nothing
    QDateTime updated; // when a list was last taken in; invalid before the first
    QString result;    // what that did, in a line ("2 added, 1 changed")
    int stations = 0;  // of the subscription's stations, how many the catalogue holds
};

// Without the tables (no subscription yet) there are none; reading creates nothing.
std::vector<Subscription> all(Database& catalogue);
std::optional<Subscription> find(Database& catalogue, const QString& address);

// Records a subscription, or takes the category of one that exists; its first update takes its list in.
Subscription subscribe(Database& catalogue, const QString& address, const std::optional<QString>& category);

// Forgets a subscription; its stations stay in the catalogue as if imported.
void unsubscribe(Database& catalogue, const Subscription& subscription);

// A station as the list gives it now, beside the station in the catalogue.
struct Difference {
    Catalogue::Station catalogue;
    Catalogue::Station list;
};
struct Gone {
    Catalogue::Station station;
    bool edited; // changed by the user, so --prune keeps it
};

struct Report {
    // Stations added or present already, addresses that will not play, lines not read, hidden categories.
    Playlists::ImportReport import;
    std::vector<Difference> changed;        // the list gave a new address (or name, or group): the station follows it
    std::vector<Difference> keptEdits;      // the list changed a station the user changed: the user's version stays
    int deletedByUser = 0;                  // entries whose station the user deleted: not added back
    std::vector<Gone> gone;                 // stations whose entry left the list, kept
    std::vector<Catalogue::Station> pruned; // stations whose entry left the list, removed by --prune
};

struct Options {
    bool prune = false;
    // Set from elsewhere to stop; the caller then rolls its transaction back.
    const std::atomic_bool* cancel = nullptr;
};

// The validators and digest of the answer that brought `list`, to keep with the subscription.
struct Validators {
    QByteArray etag;
    QByteArray lastModified;
    QByteArray body; // for its digest
};

// True when `body` is the list the subscription took in last time, which changes nothing.
bool sameList(const Subscription& subscription, const QByteArray& body);

// Brings the subscription's stations in line with its list as it is now, inside the caller's transaction: adds the
// entries new to the list, follows the entries the list changed, reports the entries gone from it, and keeps
// whatever the user changed or deleted. Throws DbError.
Report update(Database& catalogue, Subscription& subscription, const Playlists::PlaylistFile& list,
              const Validators& answer, const Options& options = {});

} // namespace Subscriptions
