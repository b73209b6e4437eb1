#include "catalogue/StationRows.h"

#include <QScopeGuard>

namespace Catalogue {

Statement& StationRows::prepared(std::optional<Statement>& statement, const char16_t* sql) {
    if (!statement)
        statement.emplace(catalogue_, QString::fromUtf16(sql));
    return *statement;
}

std::optional<Station> StationRows::read(qint64 row) {
    Statement& query = prepared(read_, u"SELECT 类别, 名称, 网址 FROM radio WHERE rowid = ?");
    const auto done = qScopeGuard([&] { query.reset(); });
    query.bind(1, row);
    if (!query.step())
        return std::nullopt;
    return Station{query.text(0), query.text(1), query.text(2)};
}

bool StationRows::contains(const Station& station) {
    Statement& query =
        prepared(contains_, u"SELECT EXISTS (SELECT 1 FROM radio WHERE 名称 = ? AND 类别 = ? AND 网址 = ?)");
    const auto done = qScopeGuard([&] { query.reset(); });
    query.bind(1, station.name);
    query.bind(2, station.category);
    query.bind(3, station.address);
    return query.step() && query.integer(0) == 1;
}

qint64 StationRows::append(const Station& station, std::optional<qint64> number) {
    return appendAsFound(number, station.category, station.name, station.address);
}

qint64 StationRows::appendAsFound(std::optional<qint64> number, const QVariant& category, const QVariant& name,
                                  const QVariant& address) {
    Statement& insert =
        prepared(append_, u"INSERT INTO radio (编号, 类别, 名称, 网址) VALUES (?, ?, ?, ?) RETURNING rowid");
    const auto done = qScopeGuard([&] { insert.reset(); });
    insert.bind(1, number ? QVariant(*number) : QVariant());
    insert.bind(2, category);
    insert.bind(3, name);
    insert.bind(4, address);
    insert.step();
    return insert.integer(0);
}

bool StationRows::write(qint64 row, const Station& station) {
    Statement& change =
        prepared(write_, u"UPDATE radio SET 类别 = ?, 名称 = ?, 网址 = ? WHERE rowid = ? RETURNING rowid");
    const auto done = qScopeGuard([&] { change.reset(); });
    change.bind(1, station.category);
    change.bind(2, station.name);
    change.bind(3, station.address);
    change.bind(4, row);
    return change.step();
}

void StationRows::remove(qint64 row) {
    Statement& remove = prepared(remove_, u"DELETE FROM radio WHERE rowid = ?");
    const auto done = qScopeGuard([&] { remove.reset(); });
    remove.bind(1, row);
    remove.step();
}

} // namespace Catalogue
