#pragma once

#include "playlists/Import.h"

#include <QDateTime>
#include <atomic>
#include <optional>
#include <vector>

class Database;

// Playlists followed at their address. Where each station of a subscription came from is kept in tables of their
// own beside table radio: the subscription (its address, its category, the validators of the last answer) and,
// for each entry of its list, the station it stands for (added by the list, or found in the catalogue already), what
// the list last gave for it, which of its fields the user changed, and how many updates in a row left it out.
//
// A field of a station that differs from what the list last gave was changed by the user (in the channel editor,
// the preset editor, or any other program): the comparison sees every way a station can be edited, and needs
// nothing of the ways themselves. A field the user changed stays the user's for good; the others follow the list.
// A station the catalogue held before the list is the user's as a whole. Updates never add back a station the user
// deleted, and --prune never removes one the user changed or had before.
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

// A list cut short on its way cannot always be told from a whole one, so --prune removes a station only when its
// entry was missing from the lists of this many updates in a row.
constexpr int MissedBeforePruning = 2;

// Each kind lists its first places and counts them all, so that a report of a million changes stays small.
struct Report {
    // Stations added or present already, addresses that will not play, lines not read, hidden categories.
    Playlists::ImportReport import;
    Playlists::Listed<Difference> changed;   // the list gave a new address (or name, or group): the station follows it
    Playlists::Listed<Difference> keptEdits; // the list changed a field the user changed: the user's value stays
    int deletedByUser = 0;                   // entries whose station the user deleted: not added back
    Playlists::Listed<Gone> gone;            // stations whose entry left the list, kept
    Playlists::Listed<Catalogue::Station> waiting; // left the list at this update only: --prune waits for the next
    Playlists::Listed<Catalogue::Station> pruned;  // stations whose entry left the list, removed by --prune
    Catalogue::Attributes listAttributes;          // the list's own (#EXTM3U), as each of its entries carries them
};

// The report in a line ("2 added, 1 changed"), in the language of the translations loaded: the user's for the
// commands, Chinese for the windows ("新增 2 个，变更 1 个").
QString summary(const Report& report);

struct Options {
    bool prune = false;
    // Set from elsewhere to stop; the caller then rolls its transaction back.
    const std::atomic_bool* cancel = nullptr;
};

// The validators and digest of the answer that brought a list, to keep with the subscription.
struct Validators {
    QByteArray etag;
    QByteArray lastModified;
    QByteArray digest; // of the list's bytes
};

// Keeps the validators of an answer that brought the list taken in last time, so that the next update can be
// told "not modified" instead of downloading it again.
void keepValidators(Database& catalogue, const Subscription& subscription, const Validators& answer);

// Brings the subscription's stations in line with its list as it is now, read as it is taken in, inside the
// caller's transaction: adds the entries new to the list, follows the entries the list changed, reports the entries
// gone from it, and keeps whatever the user changed or deleted. Memory stays the same whatever the list's size.
// Throws DbError, and FileFailure when the list cannot be read to its end.
Report update(Database& catalogue, Subscription& subscription, const Playlists::ImportFile& list,
              const Validators& answer, const Options& options = {});

} // namespace Subscriptions
