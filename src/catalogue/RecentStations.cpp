#include "catalogue/RecentStations.h"

#include "desktop/StationLaunch.h"
#include "sqlite/Statement.h"

using namespace Qt::StringLiterals;

namespace RecentStations {

namespace {

bool tableExists(Database& connection) {
    Statement query(connection, u"SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'recent_stations'"_s);
    return query.step();
}

} // namespace

std::vector<Catalogue::PlayableStation> latest(Database& connection, int count) {
    if (!tableExists(connection))
        return {};
    Statement query(connection,
                    u"SELECT r.rowid, r.%1, r.%2 FROM recent_stations p JOIN %3 r ON r.rowid = p.station "
                    "ORDER BY p.played DESC LIMIT ?1"_s.arg(Catalogue::Name, Catalogue::Address, Catalogue::Table));
    query.bind(1, count);
    std::vector<Catalogue::PlayableStation> stations;
    while (query.step())
        stations.push_back({query.integer(0), query.text(1), query.column(2)});
    return stations;
}

// "played" counts up with every play rather than holding a time, so that a clock set back cannot reorder the list.
void remember(Database& connection, qint64 station) {
    Transaction transaction(connection);
    Statement insert(connection, u"INSERT OR REPLACE INTO recent_stations (station, played) "
                                 "VALUES (?1, (SELECT coalesce(max(played), 0) + 1 FROM recent_stations))"_s);
    insert.bind(1, station);
    insert.step();
    Statement trim(connection, u"DELETE FROM recent_stations WHERE played <= "
                               "(SELECT played FROM recent_stations ORDER BY played DESC LIMIT 1 OFFSET ?1)"_s);
    trim.bind(1, Kept);
    trim.step();
    transaction.commit();
}

} // namespace RecentStations

namespace Catalogue {

// The station has played whether or not it can be remembered: a catalogue that cannot be written (read-only, locked
// by another program) only loses it from the tray's list, and says nothing after the player has opened.
void playStation(QWidget& owner, Database& connection, const PlayableStation& station) {
    if (!::playStation(owner, station.address))
        return;
    try {
        RecentStations::remember(connection, station.row);
    } catch (const DbError&) {
    }
}

} // namespace Catalogue
