#include "windows/presets/QuickSelect.h"

using namespace Catalogue;
using namespace Qt::StringLiterals;

std::optional<PlayableStation> presetStation(Database& connection, const QString& slotName) {
    return StationQuery::stationsOfCategory(slotName).first(connection);
}

// A station without a name is told by its web address, the only thing left to know it by.
QString describeSlot(std::optional<Database>& connection, const QString& slotName) {
    if (!connection)
        return slotName;
    try {
        const std::optional<PlayableStation> station = presetStation(*connection, slotName);
        if (!station)
            return slotName + u"：空"_s;
        return slotName + u'：' + (station->name.isEmpty() ? station->address.toString() : station->name);
    } catch (const DbError&) {
        return slotName;
    }
}
