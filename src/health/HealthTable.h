#pragma once

#include "health/Stations.h"
#include "health/Verdict.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

class Database;

// The findings of the health check, kept in tv.mdb in a table of their own: for each station its last finding,
// with the address it was made for and when. Table radio is only ever read.
namespace HealthTable {

struct Entry {
    Health::Station station;
    Finding finding;
    QDateTime time;
};

// Stores findings as they come, several to a transaction, so that a run over thousands of stations neither
// waits for the disk once per station nor holds the catalogue's write lock for long. flush() stores what is
// still pending; whatever is pending when the writer is destroyed is lost.
class Writer {
public:
    explicit Writer(Database& connection);

    void add(const Health::Station& station, const Finding& finding, const QDateTime& time);
    void flush();

private:
    Database& connection_;
    std::vector<Entry> pending_;
    QElapsedTimer sinceFlush_;
};

// Stations by their rows, both ends included.
struct Rows {
    qint64 first = std::numeric_limits<qint64>::min();
    qint64 last = std::numeric_limits<qint64>::max();
};

// The last findings of the stations (of one category, unless it is empty, and within `rows`) whose address is
// still the one that was checked: dead stations first, then those a check cannot judge, then those that play,
// each group by verdict and in catalogue order.
void lastFindings(Database& connection, const QString& category, const std::function<void(const Entry&)>& each,
                  Rows rows = {});

// The last finding of a station, if it was made for the address it has now.
std::optional<Finding> lastFinding(Database& connection, qint64 station, const QString& address);

// Of those last findings, the ones that found a station dead, by the station's row: what the windows mark. None before
// the first check.
QHash<qint64, Entry> deadStations(Database& connection, const QString& category, Rows rows = {});

} // namespace HealthTable
