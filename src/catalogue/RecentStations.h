#pragma once

#include "catalogue/Catalogue.h"

#include <vector>

// The stations played last, newest first, for the tray's 最近播放: kept in tv.mdb in a table of their own,
// recent_stations, one row per station with the row it has in table radio. A station shows as it is now; one
// deleted since drops out; rows of one name and address show as one. Table radio is only ever read.
namespace RecentStations {

// How many stations the table keeps: far more than are shown, so that the list stays full when some of them are
// deleted, yet small enough never to matter in the file.
inline constexpr int Kept = 300;

// The `count` stations played last that are still in the catalogue, newest first. None where the table is missing.
std::vector<Catalogue::PlayableStation> latest(Database& connection, int count = 10);

// Remembers that the station was played now; a station played again moves to the top.
void remember(Database& connection, qint64 station);

} // namespace RecentStations
