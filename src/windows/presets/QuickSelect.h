#pragma once

#include "sqlite/Database.h"

#include <QString>
#include <optional>

// The web address of the preset of a quick-select slot: the first station, in catalogue order, whose category
// equals the slot name exactly (a category that merely contains it, or differs by a trailing blank, is another
// category). Nothing when no station fills the slot; throws DbError when the catalogue fails.
std::optional<QString> presetAddress(Database& connection, const QString& slotName);
