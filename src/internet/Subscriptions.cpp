#include "internet/Subscriptions.h"

#include "sqlite/Statement.h"

#include <QCryptographicHash>
#include <QHash>

using namespace Qt::StringLiterals;
using Catalogue::Station;

namespace Subscriptions {

namespace {

// What the program last wrote to the station of one entry of a list.
struct Known {
    std::optional<qint64> station; // none: the catalogue held the station before the list gave it
    Station written;
    bool seen = false;
};

// An entry is known by its tvg-id, else by its name within its group; entries that share it are told apart by
// their order. The unit separator never appears in a name: a line holding a control character is unreadable.
QString entryKey(const Playlists::Entry& entry, QHash<QString, int>& repeats) {
    QString key = entry.id && !entry.id->isEmpty() ? u"tvg-id\x1f"_s + *entry.id
                                                   : u"name\x1f"_s + entry.group.value_or(QString()) + u'\x1f' +
                                                         Playlists::stationOf(entry, std::nullopt).name;
    if (const int repeat = repeats[key]++; repeat > 0)
        key += u"\x1f#"_s + QString::number(repeat);
    return key;
}

QByteArray digest(const QByteArray& body) {
    return QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex();
}

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
                         "(SELECT count(*) FROM subscription_entry e JOIN radio r ON r.rowid = e.station "
                         "WHERE e.subscription = s.id) FROM subscription s "_s;

bool created(Database& catalogue) {
    Statement table(catalogue, u"SELECT EXISTS (SELECT 1 FROM sqlite_master WHERE name = 'subscription_entry')"_s);
    return table.step() && table.integer(0) == 1;
}

// The entries of a subscription's list as the last update left them, by key.
QHash<QString, Known> knownEntries(Database& catalogue, qint64 subscription) {
    Statement rows(catalogue, u"SELECT entry, station, category, name, address FROM subscription_entry "
                              "WHERE subscription = ?"_s);
    rows.bind(1, subscription);
    QHash<QString, Known> known;
    while (rows.step()) {
        const QVariant station = rows.column(1);
        known.insert(rows.text(0), {station.isNull() ? std::nullopt : std::optional(station.toLongLong()),
                                    {rows.text(2), rows.text(3), rows.text(4)}});
    }
    return known;
}

// The statements of one update, prepared once for all its entries.
class Entries {
public:
    Entries(Database& catalogue, qint64 subscription)
        : subscription_(subscription), current_(catalogue, u"SELECT 类别, 名称, 网址 FROM radio WHERE rowid = ?"_s),
          change_(catalogue, u"UPDATE radio SET 类别 = ?, 名称 = ?, 网址 = ? WHERE rowid = ?"_s),
          remove_(catalogue, u"DELETE FROM radio WHERE rowid = ?"_s),
          remember_(catalogue, u"INSERT OR REPLACE INTO subscription_entry "
                               "(subscription, entry, station, category, name, address) VALUES (?, ?, ?, ?, ?, ?)"_s),
          forget_(catalogue, u"DELETE FROM subscription_entry WHERE subscription = ? AND entry = ?"_s) {}

    // The station as the catalogue holds it now; none when the user deleted it.
    std::optional<Station> current(qint64 station) {
        current_.bind(1, station);
        std::optional<Station> found;
        if (current_.step())
            found = Station{current_.text(0), current_.text(1), current_.text(2)};
        current_.reset();
        return found;
    }

    void change(qint64 station, const Station& to) { run(change_, {to.category, to.name, to.address, station}); }
    void remove(qint64 station) { run(remove_, {station}); }

    void remember(const QString& entry, std::optional<qint64> station, const Station& written) {
        run(remember_, {subscription_, entry, station ? QVariant(*station) : QVariant(), written.category, written.name,
                        written.address});
    }
    void forget(const QString& entry) { run(forget_, {subscription_, entry}); }

private:
    static void run(Statement& statement, const QVariantList& values) {
        for (int i = 0; i < values.size(); ++i)
            statement.bind(i + 1, values[i]);
        statement.step();
        statement.reset();
    }

    qint64 subscription_;
    Statement current_;
    Statement change_;
    Statement remove_;
    Statement remember_;
    Statement forget_;
};

// The entries that left the list: reported and kept, or with --prune removed unless the user changed them.
void judgeGone(Entries& entries, const QHash<QString, Known>& known, bool prune, Report& report) {
    for (auto entry = known.cbegin(); entry != known.cend(); ++entry) {
        if (entry->seen || !entry->station)
            continue;
        const std::optional<Station> current = entries.current(*entry->station);
        const bool edited = current && *current != entry->written;
        if (current && !(prune && !edited)) {
            report.gone.push_back({*current, edited});
            continue;
        }
        if (!prune)
            continue; // deleted by the user, and gone from the list as well
        if (current) {
            entries.remove(*entry->station);
            report.pruned.push_back(*current);
        }
        entries.forget(entry.key());
    }
}

// The report in a line, as `vimaro subscriptions` shows it.
QString summary(const Report& report) {
    QStringList parts{u"%1 added"_s.arg(report.import.added)};
    const auto add = [&](qsizetype count, const QString& what) {
        if (count > 0)
            parts.append(what.arg(count));
    };
    add(static_cast<qsizetype>(report.changed.size()), u"%1 changed"_s);
    add(static_cast<qsizetype>(report.keptEdits.size()), u"%1 of your changes kept"_s);
    add(report.deletedByUser, u"%1 you deleted left out"_s);
    add(static_cast<qsizetype>(report.gone.size()), u"%1 gone from the list"_s);
    add(static_cast<qsizetype>(report.pruned.size()), u"%1 removed"_s);
    return parts.join(u", "_s);
}

void remember(Database& catalogue, const Subscription& subscription, const Validators& answer, const Report& report) {
    Statement store(catalogue, u"UPDATE subscription SET etag = ?, last_modified = ?, digest = ?, updated = ?, "
                               "result = ? WHERE id = ?"_s);
    store.bind(1, QString::fromLatin1(answer.etag));
    store.bind(2, QString::fromLatin1(answer.lastModified));
    store.bind(3, QString::fromLatin1(digest(answer.body)));
    store.bind(4, QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
    store.bind(5, summary(report));
    store.bind(6, subscription.id);
    store.step();
}

} // namespace

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
        change.bind(1, category ? QVariant(*category) : QVariant());
        change.bind(2, existing->id);
        change.step();
        return *find(catalogue, address);
    }
    Statement add(catalogue, u"INSERT INTO subscription (address, category) VALUES (?, ?)"_s);
    add.bind(1, address);
    add.bind(2, category ? QVariant(*category) : QVariant());
    add.step();
    return *find(catalogue, address);
}

void unsubscribe(Database& catalogue, const Subscription& subscription) {
    Statement entries(catalogue, u"DELETE FROM subscription_entry WHERE subscription = ?"_s);
    entries.bind(1, subscription.id);
    entries.step();
    Statement forget(catalogue, u"DELETE FROM subscription WHERE id = ?"_s);
    forget.bind(1, subscription.id);
    forget.step();
}

bool sameList(const Subscription& subscription, const QByteArray& body) {
    return digest(body) == subscription.digest;
}

Report update(Database& catalogue, Subscription& subscription, const Playlists::PlaylistFile& list,
              const Validators& answer, const Options& options) {
    Report report;
    for (const Playlists::UnreadableLine& line : list.playlist.unreadable)
        report.import.unreadable.add({list.name, Playlists::Unit::Line, line});
    QHash<QString, Known> known = knownEntries(catalogue, subscription.id);
    QHash<QString, int> repeats;
    Playlists::MissingStations missing(catalogue);
    Entries entries(catalogue, subscription.id);
    for (const Playlists::Entry& entry : list.playlist.entries) {
        if (options.cancel && options.cancel->load()) {
            report.import.cancelled = true;
            return report;
        }
        const Station station = Playlists::stationOf(entry, subscription.category);
        const QString key = entryKey(entry, repeats);
        const auto found = known.find(key);
        if (found == known.end() || !found->station) {
            const std::optional<qint64> added = missing.add(station, entry.attributes);
            Playlists::count(report.import, {list.name, Playlists::Unit::Line, entry.line, station}, added.has_value());
            entries.remember(key, added, station);
            continue;
        }
        found->seen = true;
        const std::optional<Station> current = entries.current(*found->station);
        if (!current) {
            ++report.deletedByUser;
        } else if (*current == station) {
            // The list now gives what the user made of the station, so from here on the two agree.
            if (station != found->written)
                entries.remember(key, found->station, station);
        } else if (*current != found->written) {
            if (station != found->written)
                report.keptEdits.push_back({*current, station});
        } else if (station != found->written) {
            entries.change(*found->station, station);
            entries.remember(key, found->station, station);
            report.changed.push_back({*current, station});
        }
    }
    judgeGone(entries, known, options.prune, report);
    remember(catalogue, subscription, answer, report);
    return report;
}

} // namespace Subscriptions
