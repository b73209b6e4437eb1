#include "windows/presets/QuickSelect.h"

#include "catalogue/Catalogue.h"

using namespace Catalogue;

std::optional<QVariant> presetAddress(Database& connection, const QString& slotName) {
    Recordset stations = StationQuery::stationsOfCategory(slotName).open(connection);
    if (!firstRecordLookup(stations))
        return std::nullopt;
    return stations.Fields(AddressField).Value();
}
