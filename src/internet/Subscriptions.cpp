#include "internet/Subscriptions.h"

#include "catalogue/Catalogue.h"
#include "catalogue/StationAttributes.h"
#include "catalogue/StationRows.h"
#include "sqlite/Statement.h"

#include <QCoreApplication>
#include <QCryptographicHash>

using namespace Qt::StringLiterals;
using Catalogue::Station;

namespace Subscriptions {

namespace {

// The fields of a station, as bits: those the user changed are kept in one number.
enum Field { Category = 1, Name = 2, Address = 4, Attributes = 8, Every = Category | Name | Address | Attributes };

// What an entry's attributes are known by from one update to the next; none for none.
QByteArray digestOf(const Catalogue::Attributes& attributes) {
    if (attributes.empty())
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const Catalogue::Attribute& attribute : attributes)
        hash.addData(QStringList{Catalogue::sourceKey(attribute.source), attribute.name, attribute.value + u'\x1e'}
                         .join(u'\x1f')
                         .toUtf8());
    return hash.result().toHex();
}

int differing(const Station& a, const Station& b) {
    return (a.category != b.category ? Category : 0) | (a.name != b.name ? Name : 0) |
           (a.address != b.address ? Address : 0);
}

// The list's station, with the fields in `kept` taken from the user's.
Station merged(const Station& list, const Station& users, int kept) {
    return {kept & Category ? users.category : list.category, kept & Name ? users.name : list.name,
            kept & Address ? users.address : list.address};
}

// An entry is known by its tvg-id, else by its name within its group; entries that share it are told apart by
// their order. The unit separator never appears in a name: a line holding a control character is unreadable.
QString entryKey(const Playlists::Entry& entry) {
    return entry.id && !entry.id->isEmpty() ? u"tvg-id\x1f"_s + *entry.id
                                            : u"name\x1f"_s + entry.group.value_or(QString()) + u'\x1f' +
                                                  Playlists::stationOf(entry, std::nullopt).name;
}

// One entry of a list as the updates so far left it.
struct Known {
    std::optional<qint64> station; // none: an entry recorded before every entry knew its station
    Station given;                 // what the list gave last time
    QByteArray givenAttributes;    // and of its attributes, their digest
    bool users = false;            // the catalogue held the station before the list gave it
    int edited = 0;                // the fields the user changed
    bool seen = false;             // met already in this update
};

Subscription read(const Statement& row) {
    Subscription subscription;
    subscription.id = row.integer(0);
    subscription.address = row.text(1);
    if (const QString category = row.text(2); !category.isNull())
        subscription.category = category;
    subscription.etag = row.text(3).toLatin1();
    subscription.lastModified = row.text(4).toLatin1();
    subscription.digest = row.text(5).toLatin1();
    subscription.updated = QDateTime::fromString(row.text(6), Qt::ISODate);
    subscription.result = row.text(7);
    subscription.stations = static_cast<int>(row.integer(8));
    return subscription;
}

const QString Selected = u"SELECT s.id, s.address, s.category, s.etag, s.last_modified, s.digest, s.updated, s.result, "
                         "(SELECT count(DISTINCT e.station) FROM subscription_entry e JOIN "_s +
                         Catalogue::stationsAs(u"r"_s) +
                         u" ON r.row = e.station WHERE e.subscription = s.id) FROM subscription s "_s;

bool created(Database& catalogue) {
    Statement table(catalogue, u"SELECT EXISTS (SELECT 1 FROM sqlite_master WHERE name = 'subscription_entry')"_s);
    return table.step() && table.integer(0) == 1;
}

void run(Statement& statement, const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i)
        statement.bind(i + 1, values[i]);
    statement.step();
    statement.reset();
}

// The statements of one update, prepared once for all its entries.
class Entries {
public:
    Entries(Database& catalogue, qint64 subscription)
        : subscription_(subscription),
          lookUp_(catalogue, u"SELECT station, category, name, address, attributes, users, edited, missed "
                             "FROM subscription_entry WHERE subscription = ? AND entry = ?"_s),
          present_(catalogue, u"SELECT r.row, EXISTS (SELECT 1 FROM subscription_entry e WHERE e.subscription = ? "
                              "AND e.station = r.row AND e.users = 0) FROM "_s +
                                  Catalogue::stationsAs(u"r"_s) +
                                  u" WHERE r.category = ? AND r.name = ? AND r.address = ? LIMIT 1"_s),
          stations_(catalogue),
          remember_(catalogue, u"INSERT OR REPLACE INTO subscription_entry (subscription, entry, station, category, "
                               "name, address, attributes, users, edited, missed) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 0)"_s) {}

    std::optional<Known> lookUp(const QString& entry) {
        lookUp_.bind(1, subscription_);
        lookUp_.bind(2, entry);
        std::optional<Known> known;
        if (lookUp_.step()) {
            const QVariant station = lookUp_.column(0);
            known = Known{station.isNull() ? std::nullopt : std::optional(station.toLongLong()),
                          {lookUp_.text(1), lookUp_.text(2), lookUp_.text(3)},
                          lookUp_.text(4).toLatin1(),
                          lookUp_.integer(5) == 1,
                          static_cast<int>(lookUp_.integer(6)),
                          lookUp_.integer(7) == 0};
        }
        lookUp_.reset();
        return known;
    }

    // The row of a station the catalogue holds, and whether an entry of this list gave it.
    std::pair<qint64, bool> present(const Station& station) {
        present_.bind(1, subscription_);
        present_.bind(2, station.category);
        present_.bind(3, station.name);
        present_.bind(4, station.address);
        present_.step();
        const std::pair found(present_.integer(0), present_.integer(1) == 1);
        present_.reset();
        return found;
    }

    // The station as the catalogue holds it now; none when the user deleted it.
    std::optional<Station> current(qint64 station) { return stations_.read(station); }

    void change(qint64 station, const Station& to) { stations_.write(station, to); }

    // Records the entry as seen in this update.
    void remember(const QString& entry, qint64 station, const Station& given, const QByteArray& attributes, bool users,
                  int edited) {
        run(remember_, {subscription_, entry, station, given.category, given.name, given.address,
                        QString::fromLatin1(attributes), users ? 1 : 0, edited});
    }

private:
    qint64 subscription_;
    Statement lookUp_;
    Statement present_;
    Catalogue::StationRows stations_;
    Statement remember_;
};

// A cancel seen while the list is read: it unwinds the reading.
struct Cancelled {};

// One update under way: each entry of the list is taken in as it is read.
class Updating {
public:
    Updating(Database& catalogue, const Subscription& subscription, const Playlists::ImportFile& list,
             const Options& options)
        : catalogue_(catalogue), subscription_(subscription), list_(list), options_(options), missing_(catalogue),
          entries_(catalogue, subscription.id) {}

    void take(const Playlists::Entry& entry) {
        if (options_.cancel && options_.cancel->load())
            throw Cancelled{};
        if (report.listAttributes.empty())
            std::ranges::copy_if(entry.attributes, std::back_inserter(report.listAttributes),
                                 [](const Catalogue::Attribute& attribute) {
                                     return attribute.source == Catalogue::AttributeSource::M3uList;
                                 });
        const Station station = Playlists::stationOf(entry, subscription_.category);
        const QString key = entryKey(entry);
        for (int repeat = 0;; ++repeat) {
            const QString tried = repeat == 0 ? key : key + u"\x1f#"_s + QString::number(repeat);
            const std::optional<Known> known = entries_.lookUp(tried);
            if (known && known->seen)
                continue;
            if (known && known->station)
                return follow(tried, *known, entry, station);
            return first(tried, entry, station);
        }
    }

    Report report;

private:
    // An entry met for the first time stands for the station it adds, or for the one the catalogue holds already:
    // the user's, unless another entry of this list gave it.
    void first(const QString& key, const Playlists::Entry& entry, const Station& station) {
        const std::optional<qint64> added = missing_.add(station, entry.attributes);
        Playlists::count(report.import, {list_.name, list_.unit, entry.line, station}, added.has_value());
        const QByteArray attributes = digestOf(entry.attributes);
        if (added)
            return entries_.remember(key, *added, station, attributes, false, 0);
        const auto [row, listed] = entries_.present(station);
        entries_.remember(key, row, station, attributes, !listed, 0);
    }

    // Each field follows the list unless the user changed it, now or at any time before.
    void follow(const QString& key, const Known& known, const Playlists::Entry& entry, const Station& list) {
        const QByteArray attributes = digestOf(entry.attributes);
        const std::optional<Station> current = entries_.current(*known.station);
        if (!current) {
            ++report.deletedByUser;
            return entries_.remember(key, *known.station, list, attributes, known.users, known.edited);
        }
        int edited = known.users ? int(Every) : known.edited | differing(*current, known.given);
        // The station's attributes are read only when the list changed them: were they what the list gave before?
        if (!(edited & Attributes) && attributes != known.givenAttributes) {
            if (digestOf(Catalogue::attributes(catalogue_, *known.station)) == known.givenAttributes)
                Catalogue::setAttributes(catalogue_, *known.station, entry.attributes);
            else
                edited |= Attributes;
        }
        const Station now = merged(list, *current, edited);
        if (now != *current) {
            entries_.change(*known.station, now);
            report.changed.add({*current, now});
        }
        if (differing(list, known.given) & edited)
            report.keptEdits.add({*current, list});
        entries_.remember(key, *known.station, list, attributes, known.users, edited);
    }

    Database& catalogue_;
    const Subscription& subscription_;
    const Playlists::ImportFile& list_;
    const Options& options_;
    Playlists::MissingStations missing_;
    Entries entries_;
};

// The entries of the list's that left it and whose station is still the list's alone: not the user's, not deleted,
// and given by no entry the list holds now. Bound: ?1 the subscription.
const QString GoneEntries =
    u"FROM subscription_entry e JOIN "_s + Catalogue::stationsAs(u"r"_s) +
    u" ON r.row = e.station WHERE e.subscription = ?1 AND e.missed > 0 AND e.users = 0 AND NOT EXISTS "
    "(SELECT 1 FROM subscription_entry o WHERE o.subscription = ?1 AND o.station = e.station "
    "AND o.missed = 0)"_s;

// The entries that left the list: reported and kept, or with --prune removed once gone long enough, unless the user
// changed them.
void judgeGone(Database& catalogue, qint64 subscription, bool prune, Report& report) {
    Statement gone(catalogue,
                   u"SELECT e.missed, e.edited, e.category, e.name, e.address, r.category, r.name, r.address "_s +
                       GoneEntries);
    gone.bind(1, subscription);
    while (gone.step()) {
        const Station current{gone.text(5), gone.text(6), gone.text(7)};
        const bool edited = gone.integer(1) != 0 || differing(current, {gone.text(2), gone.text(3), gone.text(4)});
        if (edited || !prune)
            report.gone.add({current, edited});
        else if (gone.integer(0) >= MissedBeforePruning)
            report.pruned.add(current);
        else
            report.waiting.add(current);
    }
    gone.reset();
    if (!prune)
        return;
    Statement remove(catalogue, Catalogue::removingStationsIn(u"SELECT e.station "_s + GoneEntries +
                                                              u" AND e.missed >= ?2 AND e.edited = 0 AND r.category IS "
                                                              "e.category AND r.name IS e.name AND r.address IS "
                                                              "e.address"_s));
    remove.bind(1, subscription);
    remove.bind(2, MissedBeforePruning);
    remove.step();
    // What is left of the entries gone: those whose station the list still has a say in.
    Statement forget(catalogue, u"DELETE FROM subscription_entry WHERE subscription = ?1 AND missed > 0 AND "
                                "NOT EXISTS (SELECT 1 "_s +
                                    GoneEntries + u" AND e.entry = subscription_entry.entry)"_s);
    forget.bind(1, subscription);
    forget.step();
}

void remember(Database& catalogue, const Subscription& subscription, const Validators& answer, const Report& report) {
    Statement store(catalogue, u"UPDATE subscription SET etag = ?, last_modified = ?, digest = ?, updated = ?, "
                               "result = ? WHERE id = ?"_s);
    run(store,
        {QString::fromLatin1(answer.etag), QString::fromLatin1(answer.lastModified), QString::fromLatin1(answer.digest),
         QDateTime::currentDateTimeUtc().toString(Qt::ISODate), summary(report), subscription.id});
}

} // namespace

QString summary(const Report& report) {
    const auto tr = [](const char* text) { return QCoreApplication::translate("Subscriptions", text); };
    QStringList parts{tr("%1 added").arg(report.import.added)};
    const auto add = [&](qint64 count, const QString& what) {
        if (count > 0)
            parts.append(what.arg(count));
    };
    add(report.changed.count, tr("%1 changed"));
    add(report.keptEdits.count, tr("%1 of your changes kept"));
    add(report.deletedByUser, tr("%1 you deleted left out"));
    add(report.gone.count, tr("%1 gone from the list"));
    add(report.waiting.count, tr("%1 gone from the list once, kept until the next update"));
    add(report.pruned.count, tr("%1 removed"));
    //: Between the parts of the summary.
    return parts.join(tr(", "));
}

std::vector<Subscription> all(Database& catalogue) {
    if (!created(catalogue))
        return {};
    Statement rows(catalogue, Selected + u"ORDER BY s.id"_s);
    std::vector<Subscription> subscriptions;
    while (rows.step())
        subscriptions.push_back(read(rows));
    return subscriptions;
}

std::optional<Subscription> find(Database& catalogue, const QString& address) {
    if (!created(catalogue))
        return std::nullopt;
    Statement row(catalogue, Selected + u"WHERE s.address = ?"_s);
    row.bind(1, address);
    return row.step() ? std::optional(read(row)) : std::nullopt;
}

Subscription subscribe(Database& catalogue, const QString& address, const std::optional<QString>& category) {
    if (std::optional<Subscription> existing = find(catalogue, address)) {
        if (existing->category == category)
            return *existing;
        // Another category changes every station the list gives, so the next list is taken in even if it is the
        // same list as last time.
        Statement change(catalogue, u"UPDATE subscription SET category = ?, digest = NULL WHERE id = ?"_s);
        run(change, {category ? QVariant(*category) : QVariant(), existing->id});
        return *find(catalogue, address);
    }
    Statement add(catalogue, u"INSERT INTO subscription (address, category) VALUES (?, ?)"_s);
    run(add, {address, category ? QVariant(*category) : QVariant()});
    return *find(catalogue, address);
}

void unsubscribe(Database& catalogue, const Subscription& subscription) {
    Statement entries(catalogue, u"DELETE FROM subscription_entry WHERE subscription = ?"_s);
    run(entries, {subscription.id});
    Statement forget(catalogue, u"DELETE FROM subscription WHERE id = ?"_s);
    run(forget, {subscription.id});
}

void keepValidators(Database& catalogue, const Subscription& subscription, const Validators& answer) {
    Statement store(catalogue, u"UPDATE subscription SET etag = ?, last_modified = ? WHERE id = ?"_s);
    run(store, {QString::fromLatin1(answer.etag), QString::fromLatin1(answer.lastModified), subscription.id});
}

Report update(Database& catalogue, Subscription& subscription, const Playlists::ImportFile& list,
              const Validators& answer, const Options& options) {
    Statement missing(catalogue, u"UPDATE subscription_entry SET missed = missed + 1 WHERE subscription = ?"_s);
    run(missing, {subscription.id});
    Updating updating(catalogue, subscription, list, options);
    try {
        list.read({[&](const Playlists::Entry& entry) { updating.take(entry); },
                   [&](Playlists::UnreadableLine line) {
                       updating.report.import.unreadable.add({list.name, list.unit, std::move(line)});
                   }});
    } catch (const Cancelled&) {
        updating.report.import.cancelled = true;
        return std::move(updating.report);
    }
    judgeGone(catalogue, subscription.id, options.prune, updating.report);
    remember(catalogue, subscription, answer, updating.report);
    return std::move(updating.report);
}

} // namespace Subscriptions
