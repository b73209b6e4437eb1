#include "catalogue/Catalogue.h"

#include "catalogue/Backup.h"
#include "catalogue/JetFormat.h"
#include "catalogue/Schema.h"
#include "catalogue/StationRows.h"
#include "desktop/ProgramDir.h"
#include "sqlite/Statement.h"

#include <QDir>
#include <QSet>

namespace Catalogue {

namespace {

const QStringList indexNames = {QStringLiteral("radio_listing"), QStringLiteral("radio_station"),
                                QStringLiteral("radio_names")};

bool hasIndexes(Database& connection) {
    Statement present(connection, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND "
                                                 "tbl_name = 'radio' AND name IN (?, ?, ?)"));
    for (int i = 0; i < indexNames.size(); ++i)
        present.bind(i + 1, indexNames[i]);
    return present.step() && present.column(0).toInt() == indexNames.size();
}

// Asked once per catalogue file and process: a catalogue that has its indexes costs one look at its schema, and
// one that cannot be written (read-only, damaged) is not asked again by every window that loads. A catalogue that
// another program holds locked is asked again by the next connection, and start-up does not wait for it.
void ensureIndexes(Database& connection, const QString& path) {
    static QSet<QString> asked;
    if (asked.contains(path))
        return;
    asked.insert(path);
    try {
        connection.waitingAtMost(std::chrono::milliseconds(0), [&] {
            if (hasIndexes(connection))
                return;
            Transaction transaction(connection);
            createIndexes(connection);
            transaction.commit();
        });
    } catch (const BusyError&) {
        asked.remove(path);
    } catch (const DbError&) {
        // Every query works without the indexes, only slower.
    }
}

// A catalogue of an earlier version is brought up to date by the first connection of the process, on the terms of
// the indexes: one that cannot be written is read as it is (the tables of later versions are missing from it, which
// their readers allow for), one another program holds locked is tried again by the next connection. A catalogue of
// a later version is refused by every connection that can read its version.
void ensureUpToDate(Database& connection, const QString& path) {
    static QSet<QString> asked;
    if (asked.contains(path))
        return;
    try {
        connection.waitingAtMost(std::chrono::milliseconds(0), [&] {
            if (!needsUpgrade(connection, path))
                return;
            asked.insert(path);
            upgrade(connection, path);
        });
    } catch (const NewerCatalogueError&) {
        throw;
    } catch (const BusyError&) {
        // Held by another program even for reading its version: the window keeps its connection and asks again at
        // its next click, as it does for the stations themselves.
        asked.remove(path);
    } catch (const DbError&) {
    }
}

// A connection only to read never upgrades, but it never reads a catalogue of a later version either.
void refuseNewer(Database& connection, const QString& path) {
    try {
        connection.waitingAtMost(std::chrono::milliseconds(0), [&] { needsUpgrade(connection, path); });
    } catch (const BusyError&) {
    }
}

} // namespace

bool isShown(const QString& category) {
    using namespace Categories;
    static const QSet<QString> panels{DomesticTv,    HongKongTaiwanTv,    OverseasTv,    SelectedMusic,
                                      SelectedFilms, SpecialInterestTv,   DomesticRadio, HongKongTaiwanRadio,
                                      OverseasRadio, SpecialInterestRadio};
    return panels.contains(category) || std::find(SlotNames.begin(), SlotNames.end(), category) != SlotNames.end();
}

QString file() {
    return programDir() + QStringLiteral("/tv.mdb");
}

Database openConnection(Database::Access access) {
    // SQLite opens any file and fails only at the first query, with "file is not a database"; an old catalogue
    // deserves a message that says what it is.
    if (jetFormat(file()))
        throw DbError(QStringLiteral("%1 是旧版的 Access (Jet) 数据库，须先转换成新的电台目录才能打开")
                          .arg(QDir::toNativeSeparators(file()))
                          .toStdString());
    Database connection = Database::OpenDatabase(file(), std::chrono::milliseconds(250), access);
    // The searches of the windows and commands are written in the catalogue's own pattern language.
    connection.replaceLike();
    if (access == Database::Access::ReadWrite) {
        ensureUpToDate(connection, file());
        ensureIndexes(connection, file());
    } else {
        refuseNewer(connection, file());
    }
    return connection;
}

// Preparing a statement reads the schema, and proves that the table and its fields are there; it reads no station.
void checkTable(Database& connection) {
    connection.waitingAtMost(std::chrono::milliseconds(0), [&] {
        const Statement fields(connection, QStringLiteral("SELECT 编号, 类别, 名称, 网址 FROM radio"));
    });
}

Database& opened(std::optional<Database>& connection) {
    if (!connection)
        throw DbError("电台目录 tv.mdb 打不开");
    return *connection;
}

StationQuery StationQuery::stationsOfCategory(const QString& category) {
    return {QStringLiteral("类别 = ?"), category};
}

StationQuery StationQuery::nameSearch(const QString& partOfName) {
    return {QStringLiteral("名称 like ?"), u'*' + partOfName + u'*'};
}

StationQuery StationQuery::categorySearch(const QString& partOfCategory) {
    return {QStringLiteral("类别 like ?"), u'*' + partOfCategory + u'*'};
}

StationQuery StationQuery::allStations() {
    return {QString(), QString()};
}

StationQuery StationQuery::stationAt(qint64 row) {
    return {QStringLiteral("rowid = ?"), QString::number(row)};
}

std::optional<qint64> StationQuery::firstRow(Database& connection) const {
    Statement query(connection, QStringLiteral("SELECT rowid FROM radio %1 ORDER BY rowid LIMIT 1").arg(where()));
    bindValue(query);
    if (!query.step())
        return std::nullopt;
    return query.integer(0);
}

StationQuery::Names StationQuery::names(Database& connection) const {
    Statement query(connection, QStringLiteral("SELECT 名称, rowid FROM radio %1 ORDER BY rowid").arg(where()));
    bindValue(query);
    Names listed;
    while (query.step()) {
        ++listed.count;
        if (QString name = query.text(0); !name.isNull()) {
            listed.names.append(std::move(name));
            listed.rows.push_back(query.integer(1));
        }
    }
    return listed;
}

// "+rowid" keeps the engine from walking a whole category in catalogue order for the sake of its order:
// radio_station finds the few stations of that name and category at once, and they are put in order afterwards.
std::optional<PlayableStation> StationQuery::stationOf(Database& connection, const QString& name,
                                                       int occurrence) const {
    Statement query(connection,
                    QStringLiteral("SELECT rowid, 名称, 网址 FROM radio %1 ORDER BY +rowid LIMIT 1 OFFSET ?")
                        .arg(where(QStringLiteral("名称 = ?"))));
    const int next = bindValue(query);
    query.bind(next, name);
    query.bind(next + 1, occurrence);
    return station(query);
}

std::optional<PlayableStation> StationQuery::first(Database& connection) const {
    Statement query(connection,
                    QStringLiteral("SELECT rowid, 名称, 网址 FROM radio %1 ORDER BY rowid LIMIT 1").arg(where()));
    bindValue(query);
    return station(query);
}

std::optional<PlayableStation> StationQuery::station(Statement& query) {
    if (!query.step())
        return std::nullopt;
    return PlayableStation{query.integer(0), query.text(1), query.column(2)};
}

QString StationQuery::where(const QString& also) const {
    QStringList conditions{condition_, also};
    conditions.removeAll(QString());
    return conditions.isEmpty() ? QString() : QStringLiteral("WHERE ") + conditions.join(QStringLiteral(" AND "));
}

int StationQuery::bindValue(Statement& query) const {
    if (condition_.isEmpty())
        return 1;
    query.bind(1, value_);
    return 2;
}

std::optional<Station> station(Database& connection, qint64 row) {
    return StationRows(connection).read(row);
}

std::optional<Station> firstStation(Database& connection, const StationQuery& query) {
    const std::optional<qint64> row = query.firstRow(connection);
    return row ? station(connection, *row) : std::nullopt;
}

void addStation(Database& connection, const Station& station) {
    backUpBeforeWriting();
    StationRows(connection).append(station);
}

bool changeStation(Database& connection, const StationQuery& query, const QString& name, const QString& address) {
    const std::optional<qint64> row = query.firstRow(connection);
    if (!row)
        return false;
    backUpBeforeWriting();
    StationRows rows(connection);
    std::optional<Station> changed = rows.read(*row);
    // A station another program removed since it was found is no longer there to change.
    if (!changed)
        return false;
    changed->name = name;
    changed->address = address;
    return rows.write(*row, *changed);
}

bool changeFoundStation(Database& connection, const PlayableStation& found, const QString& name,
                        const QString& address) {
    backUpBeforeWriting();
    Statement change(connection, QStringLiteral("UPDATE radio SET 名称 = ?, 网址 = ? "
                                                "WHERE rowid = ? AND 名称 IS ? AND 网址 IS ? RETURNING rowid"));
    change.bind(1, name);
    change.bind(2, address);
    // A field without a value was found as a null text, and is compared as one.
    const auto asFound = [](const QString& text) { return text.isNull() ? QVariant() : QVariant(text); };
    change.bind(3, found.row);
    change.bind(4, asFound(found.name));
    change.bind(5, asFound(found.address.toString()));
    return change.step();
}

std::vector<Station> stations(Database& connection, const std::optional<QString>& category) {
    Statement query(connection, category
                                    ? QStringLiteral("SELECT 类别, 名称, 网址 FROM radio WHERE 类别 = ? ORDER BY rowid")
                                    : QStringLiteral("SELECT 类别, 名称, 网址 FROM radio ORDER BY rowid"));
    if (category)
        query.bind(1, *category);
    std::vector<Station> all;
    while (query.step())
        all.push_back({query.text(0), query.text(1), query.text(2)});
    return all;
}

qint64 stationCount(Database& connection, const QString& category) {
    Statement count(connection, category.isEmpty() ? QStringLiteral("SELECT count(*) FROM radio")
                                                   : QStringLiteral("SELECT count(*) FROM radio WHERE 类别 = ?"));
    if (!category.isEmpty())
        count.bind(1, category);
    count.step();
    return count.column(0).toLongLong();
}

std::vector<StationAtRow> stationsAfter(Database& connection, qint64 afterRow, const QString& category, int count) {
    // SQLite numbers parameters from 1: ?1 the last row read, ?2 the category, ?3 the size of a page.
    Statement page(connection, category.isEmpty()
                                   ? QStringLiteral("SELECT rowid, 类别, 名称, 网址 FROM radio WHERE rowid > ?1 "
                                                    "ORDER BY rowid LIMIT ?3")
                                   : QStringLiteral("SELECT rowid, 类别, 名称, 网址 FROM radio WHERE rowid > ?1 "
                                                    "AND 类别 = ?2 ORDER BY rowid LIMIT ?3"));
    page.bind(1, afterRow);
    if (!category.isEmpty())
        page.bind(2, category);
    page.bind(3, count);
    std::vector<StationAtRow> stations;
    while (page.step())
        stations.push_back({{page.text(1), page.text(2), page.text(3)}, page.column(0).toLongLong()});
    return stations;
}

QStringList categories(Database& connection) {
    Statement query(connection, QStringLiteral("SELECT DISTINCT 类别 FROM radio WHERE 类别 IS NOT NULL ORDER BY 类别"));
    QStringList all;
    while (query.step())
        all.append(query.text(0));
    return all;
}

QString stationsAs(const QString& alias) {
    return QStringLiteral("(SELECT rowid AS row, 类别 AS category, 名称 AS name, 网址 AS address FROM radio) AS ") +
           alias;
}

QString removingStationsIn(const QString& rows) {
    return QStringLiteral("DELETE FROM radio WHERE rowid IN (%1)").arg(rows);
}

void createIndexes(Database& connection) {
    runScript(connection, QStringLiteral("indexes.sql"));
}

} // namespace Catalogue
