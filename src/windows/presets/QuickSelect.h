#pragma once

#include "catalogue/Catalogue.h"

#include <QString>
#include <optional>

// The preset of a quick-select slot: the first station, in catalogue order, whose category equals the slot name
// exactly (a category that merely contains it, or differs by a trailing blank, is another category). Nothing when
// no station fills the slot; throws DbError when the catalogue fails.
std::optional<Catalogue::PlayableStation> presetStation(Database& connection, const QString& slotName);

// What a screen reader and the tray's menu call a quick-select slot: its name and the station it plays now,
// "快速选台三：CCTV-13 新闻"; "快速选台三：空" for a slot no station fills, the slot name alone without a catalogue.
QString describeSlot(std::optional<Database>& connection, const QString& slotName);
