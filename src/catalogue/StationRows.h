#pragma once

#include "catalogue/Catalogue.h"
#include "sqlite/Statement.h"

#include <optional>

namespace Catalogue {

// The one way a station row of table radio is read, found, added, changed or removed by its row, for work over many
// stations (an import, a list's update, a conversion): each statement is prepared once, at its first use, and left
// reset after every use, so that a transaction around the work can commit. Part of the caller's transaction.
class StationRows {
public:
    explicit StationRows(Database& catalogue) : catalogue_(catalogue) {}

    // The station at the row; none when it is no longer stored.
    std::optional<Station> read(qint64 row);
    // Whether a station of this category, name and web address is stored, compared byte for byte.
    bool contains(const Station& station);
    // Appends the station with the number given, else the next one up; returns its row.
    qint64 append(const Station& station, std::optional<qint64> number = std::nullopt);
    // Appends a station of an old catalogue with its fields as found there: a null QVariant stays a field without a
    // value, where append() stores a null QString as empty text. Returns its row.
    qint64 appendAsFound(std::optional<qint64> number, const QVariant& category, const QVariant& name,
                         const QVariant& address);
    // Gives the station at the row these fields; false when no station is stored there any more.
    bool write(qint64 row, const Station& station);
    void remove(qint64 row);

private:
    Statement& prepared(std::optional<Statement>& statement, const char16_t* sql);

    Database& catalogue_;
    std::optional<Statement> read_;
    std::optional<Statement> contains_;
    std::optional<Statement> append_;
    std::optional<Statement> write_;
    std::optional<Statement> remove_;
};

} // namespace Catalogue
