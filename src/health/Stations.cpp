#include "health/Stations.h"

namespace Health {

StationPages::StationPages(Database& connection, QString category)
    : connection_(connection), category_(std::move(category)) {}

qint64 StationPages::count() const {
    return Catalogue::stationCount(connection_, category_);
}

std::vector<Station> StationPages::next(int size) {
    std::vector<Station> stations;
    for (const Catalogue::StationAtRow& read : Catalogue::stationsAfter(connection_, after_, category_, size))
        stations.push_back({read, read.row});
    if (!stations.empty())
        after_ = stations.back().id;
    return stations;
}

} // namespace Health
