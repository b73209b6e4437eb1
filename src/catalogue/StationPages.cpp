#include "catalogue/StationPages.h"

#include "sqlite/Statement.h"

#include <QElapsedTimer>
#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace Catalogue {

namespace {

constexpr qint64 beforeEveryRow = std::numeric_limits<qint64>::min();
constexpr int unknown = std::numeric_limits<int>::max();
// How many rows one look of a search covers: a few milliseconds of names at most, so that a search ends its turn
// soon after its budget whether names match or not.
constexpr qint64 searchStretch = 65536;

std::vector<StationPages::Line> linesOf(Statement& query) {
    std::vector<StationPages::Line> lines;
    while (query.step())
        lines.push_back({query.integer(0), query.text(1)});
    return lines;
}

} // namespace

// Three looks at the indexes in one statement, so that another program's write falls wholly before or after them:
// the last 编号, the stations counted on the smallest index, and the stations without a name (few) sought directly.
StationPages StationPages::counted(Database& connection, const StationQuery& query) {
    Statement counts(connection,
                     u"SELECT (SELECT max(编号) FROM radio %1), (SELECT count(*) FROM radio %1), "
                     "(SELECT count(*) FROM radio %2)"_s.arg(query.where(), query.where(u"名称 IS NULL"_s)));
    if (!query.condition_.isEmpty()) {
        for (int parameter = 1; parameter <= 3; ++parameter)
            counts.bind(parameter, query.value_);
    }
    counts.step();
    StationPages pages(query, counts.integer(0));
    pages.stations_ = static_cast<int>(counts.integer(1));
    pages.lines_ = pages.stations_ - static_cast<int>(counts.integer(2));
    pages.foundUpTo_ = pages.lastRow_;
    pages.starts_[0] = beforeEveryRow;
    return pages;
}

StationPages StationPages::toFind(Database& connection, const StationQuery& query) {
    // Apart, each of the two is one look at the table's ends; together they would read the whole table.
    Statement ends(connection, u"SELECT (SELECT min(编号) FROM radio), (SELECT max(编号) FROM radio)"_s);
    ends.step();
    StationPages pages(query, ends.integer(1));
    pages.foundUpTo_ = ends.integer(0) - 1;
    pages.starts_[0] = beforeEveryRow;
    return pages;
}

// Every page's first row is noted on the way, so that any page is read later without counting.
void StationPages::findMore(Database& connection, std::chrono::milliseconds budget) {
    QElapsedTimer clock;
    clock.start();
    Statement query(connection, u"SELECT 编号, 名称 IS NOT NULL FROM radio %1 ORDER BY 编号"_s.arg(
                                    query_.where(u"编号 > ? AND 编号 <= ?"_s)));
    const int next = query_.bindValue(query);
    while (!complete() && !clock.hasExpired(budget.count())) {
        const qint64 upTo = std::min(lastRow_, foundUpTo_ + searchStretch);
        query.reset();
        query.bind(next, foundUpTo_);
        query.bind(next + 1, upTo);
        while (query.step()) {
            ++stations_;
            if (query.integer(1) == 0)
                continue;
            if (lines_ % PageSize == 0)
                starts_[lines_ / PageSize] = query.integer(0);
            ++lines_;
        }
        foundUpTo_ = upTo;
    }
}

const StationPages::Line& StationPages::line(Database& connection, int index) {
    const int page = index / PageSize;
    auto held = pages_.find(page);
    if (held == pages_.end()) {
        read(connection, page);
        held = pages_.find(page);
    }
    return held->second[static_cast<size_t>(index % PageSize)];
}

const StationPages::Line* StationPages::shown(Database& connection, int index) {
    try {
        return &line(connection, index);
    } catch (const DbError&) {
        return nullptr;
    }
}

// Reads a page from the nearest page whose first row is known, below it or above it, or back from the list's end:
// the rows skipped are those between, none when the pages are read in turn.
void StationPages::read(Database& connection, int page) {
    const int first = page * PageSize;
    const int size = std::min(PageSize, lines_ - first);
    const auto above = starts_.upper_bound(page);
    const auto below = std::prev(above);
    const int fromBelow = (page - below->first) * PageSize;
    // Counting back from the end needs to know where the end is, which a search still under way does not.
    const int end = above != starts_.end() ? above->first * PageSize : complete() ? lines_ : unknown;
    const int fromAbove = end == unknown ? unknown : end - (first + size);

    const QString columns = u"SELECT 编号, 名称 FROM radio %1 ORDER BY 编号 %2 LIMIT ? OFFSET ?"_s;
    std::vector<Line> lines;
    if (fromBelow <= fromAbove) {
        Statement query(connection,
                        columns.arg(query_.where(u"名称 IS NOT NULL AND 编号 >= ? AND 编号 <= ?"_s), QString()));
        const int next = query_.bindValue(query);
        query.bind(next, below->second);
        query.bind(next + 1, lastRow_);
        // One line more tells where the next page starts.
        query.bind(next + 2, size + 1);
        query.bind(next + 3, fromBelow);
        lines = linesOf(query);
        if (lines.size() > static_cast<size_t>(size)) {
            starts_[page + 1] = lines.back().row;
            lines.pop_back();
        }
    } else {
        Statement query(connection,
                        columns.arg(query_.where(u"名称 IS NOT NULL AND 编号 < ? AND 编号 <= ?"_s), u"DESC"_s));
        const int next = query_.bindValue(query);
        query.bind(next, above != starts_.end() ? above->second : lastRow_ + 1);
        query.bind(next + 1, lastRow_);
        query.bind(next + 2, size);
        query.bind(next + 3, fromAbove);
        lines = linesOf(query);
        std::reverse(lines.begin(), lines.end());
    }
    if (!lines.empty())
        starts_[page] = lines.front().row;
    // Stations another program removed since the count leave lines without a name at the page's end.
    const qint64 last = lines.empty() ? below->second : lines.back().row;
    lines.resize(static_cast<size_t>(size), Line{last, {}});
    pages_[page] = std::move(lines);
}

int StationPages::occurrence(Database& connection, int index) {
    const QString name = line(connection, index).name;
    const auto sameName = [&name](auto from, auto to) {
        return static_cast<int>(std::count_if(from, to, [&name](const Line& line) { return line.name == name; }));
    };
    auto page = pages_.find(index / PageSize);
    int count = sameName(page->second.begin(), page->second.begin() + index % PageSize);
    // Down through the pages held, and the stretches between them that were never read.
    for (;;) {
        const qint64 firstRow = page->second.front().row;
        if (page == pages_.begin())
            return count + (page->first == 0 ? 0 : namedBetween(connection, name, beforeEveryRow, firstRow));
        const auto previous = std::prev(page);
        if (previous->first != page->first - 1)
            count += namedBetween(connection, name, previous->second.back().row, firstRow);
        count += sameName(previous->second.begin(), previous->second.end());
        page = previous;
    }
}

// "+编号" keeps the engine from walking the whole stretch of the category: radio_station finds the few stations of
// that name at once, and those between the rows are counted afterwards.
int StationPages::namedBetween(Database& connection, const QString& name, qint64 after, qint64 before) const {
    Statement query(connection,
                    u"SELECT count(*) FROM radio %1"_s.arg(query_.where(u"名称 = ? AND +编号 > ? AND +编号 < ?"_s)));
    const int next = query_.bindValue(query);
    query.bind(next, name);
    query.bind(next + 1, after);
    query.bind(next + 2, before);
    query.step();
    return static_cast<int>(query.integer(0));
}

} // namespace Catalogue
