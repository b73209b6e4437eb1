#include "health/Stations.h"

#include "catalogue/Catalogue.h"
#include "sqlite/Statement.h"

using namespace Qt::StringLiterals;

StationPages::StationPages(Database& connection, QString category)
    : connection_(connection), category_(std::move(category)) {}

qint64 StationPages::count() const {
    QString sql = u"SELECT count(*) FROM %1"_s.arg(Catalogue::Table);
    if (!category_.isEmpty())
        sql += u" WHERE %1 = ?1"_s.arg(Catalogue::Category);
    Statement count(connection_, sql);
    if (!category_.isEmpty())
        count.bind(1, category_);
    count.step();
    return count.column(0).toLongLong();
}

std::vector<Station> StationPages::next(int size) {
    // SQLite numbers parameters from 1: ?1 the last rowid read, ?2 the category, ?3 the size of a page.
    QString sql = u"SELECT rowid, %1, %2, %3 FROM %4 WHERE rowid > ?1"_s.arg(Catalogue::Name, Catalogue::Address,
                                                                             Catalogue::Category, Catalogue::Table);
    if (!category_.isEmpty())
        sql += u" AND %1 = ?2"_s.arg(Catalogue::Category);
    Statement page(connection_, sql + u" ORDER BY rowid LIMIT ?3"_s);
    page.bind(1, after_);
    if (!category_.isEmpty())
        page.bind(2, category_);
    page.bind(3, size);
    std::vector<Station> stations;
    while (page.step()) {
        stations.push_back({{page.text(3), page.text(1), page.text(2)}, page.column(0).toLongLong()});
        after_ = stations.back().id;
    }
    return stations;
}
