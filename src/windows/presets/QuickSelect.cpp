#include "windows/presets/QuickSelect.h"

#include "catalogue/Catalogue.h"

using namespace Catalogue;

std::optional<QString> presetAddress(Database& connection, const QString& slotName) {
    const std::optional<Station> first = firstStation(connection, StationQuery::stationsOfCategory(slotName));
    if (!first)
        return std::nullopt;
    return first->address;
}
