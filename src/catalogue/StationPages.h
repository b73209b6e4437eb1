#pragma once

#include "catalogue/Catalogue.h"

#include <chrono>
#include <map>
#include <vector>

namespace Catalogue {

// The lines of a station list, read a page at a time as they come into view, so that listing a million stations
// costs one count and the lines shown. A line is a named station of the query, in catalogue order; a station
// without a name gets no line but is counted.
//
// Pages are found by the 编号 of their first line, never by counting rows from the top: a map holds the first 编号
// of every page seen so far, and a page beyond them is counted from the nearest page known, or from the list's end.
// The list holds the stations up to the highest 编号 there was when it was made: a station another program adds
// meanwhile waits for the next listing, so the count stays the number of lines.
class StationPages {
public:
    // One line: the station's row, which names it whatever its name becomes, and its name when the line was read.
    struct Line {
        qint64 row = 0;
        QString name;
    };

    // The query's stations counted at once, in one pass over an index: a category's list.
    static StationPages counted(Database& connection, const StationQuery& query);
    // The query's stations found bit by bit (findMore): a name search, which must look at every name.
    static StationPages toFind(Database& connection, const StationQuery& query);

    // The lines found so far, and the stations (named or not) among them.
    int lineCount() const { return lines_; }
    int stationCount() const { return stations_; }
    // Whether every station of the query is counted.
    bool complete() const { return foundUpTo_ >= lastRow_; }
    // Goes on finding for about `budget`, a stretch of the catalogue at a time.
    void findMore(Database& connection, std::chrono::milliseconds budget);

    // The line at `index` (below lineCount()), its page read when it is not held yet. Throws DbError.
    const Line& line(Database& connection, int index);
    // The line at `index` as the list shows it: nothing while the catalogue cannot give it (another program holds
    // it locked), and the line is read again the next time it is shown.
    const Line* shown(Database& connection, int index);
    // Its name, or empty text while the catalogue cannot give it.
    QString shownName(Database& connection, int index) {
        const Line* line = shown(connection, index);
        return line ? line->name : QString();
    }
    // How many lines above the line at `index` carry its name: those held as they were read, the others as the
    // catalogue has them now.
    int occurrence(Database& connection, int index);

    static constexpr int PageSize = 256;

private:
    StationPages(const StationQuery& query, qint64 lastRow) : query_(query), lastRow_(lastRow) {}
    void read(Database& connection, int page);
    // Counts the stations named `name` strictly between two rows.
    int namedBetween(Database& connection, const QString& name, qint64 after, qint64 before) const;

    StationQuery query_;
    qint64 lastRow_;
    qint64 foundUpTo_ = 0;
    int lines_ = 0;
    int stations_ = 0;
    // The first row of each page known, by page number.
    std::map<int, qint64> starts_;
    std::map<int, std::vector<Line>> pages_;
};

} // namespace Catalogue
