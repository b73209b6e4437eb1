#include "health/HealthTable.h"

#include "catalogue/Catalogue.h"
#include "sqlite/Statement.h"

using namespace Qt::StringLiterals;

namespace HealthTable {

namespace {

constexpr std::size_t BatchSize = 64;
constexpr qint64 FlushAfterMs = 1000;

// Verdicts sort in the order of enum Verdict, which lists dead stations first.
QString verdictRank() {
    QString rank = u"CASE h.result"_s;
    for (int i = 0; i < VerdictCount; ++i)
        rank += u" WHEN '%1' THEN %2"_s.arg(Verdicts::key(static_cast<Verdict>(i))).arg(i);
    return rank + u" ELSE %1 END"_s.arg(VerdictCount);
}

} // namespace

Writer::Writer(Database& connection) : connection_(connection) {
    sinceFlush_.start();
}

void Writer::add(const Health::Station& station, const Finding& finding, const QDateTime& time) {
    pending_.push_back({station, finding, time});
    if (pending_.size() >= BatchSize || sinceFlush_.elapsed() >= FlushAfterMs)
        flush();
}

void Writer::flush() {
    sinceFlush_.restart();
    if (pending_.empty())
        return;
    Transaction transaction(connection_);
    Statement insert(connection_, u"INSERT OR REPLACE INTO station_health (station, address, time, result, detail) "
                                  "VALUES (?1, ?2, ?3, ?4, ?5)"_s);
    for (const Entry& entry : pending_) {
        insert.bind(1, entry.station.id);
        insert.bind(2, entry.station.address);
        insert.bind(3, entry.time.toUTC().toString(Qt::ISODate));
        insert.bind(4, Verdicts::key(entry.finding.verdict));
        insert.bind(5, entry.finding.detail);
        insert.step();
        insert.reset();
    }
    transaction.commit();
    pending_.clear();
}

// The findings lead: a catalogue's categories run to millions of stations, its findings only to those checked.
void lastFindings(Database& connection, const QString& category, const std::function<void(const Entry&)>& each,
                  Rows rows) {
    // A catalogue never checked holds no findings, and one only read cannot be given the table.
    Statement table(connection, u"SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'station_health'"_s);
    if (!table.step())
        return;
    QString sql = u"SELECT h.station, r.name, r.address, r.category, h.time, h.result, h.detail "
                  "FROM station_health h CROSS JOIN "_s +
                  Catalogue::stationsAs(u"r"_s) +
                  u" ON r.row = h.station AND r.address IS h.address WHERE h.station BETWEEN ?2 AND ?3"_s;
    if (!category.isEmpty())
        sql += u" AND r.category = ?1"_s;
    Statement findings(connection, sql + u" ORDER BY "_s + verdictRank() + u", h.station"_s);
    if (!category.isEmpty())
        findings.bind(1, category);
    findings.bind(2, rows.first);
    findings.bind(3, rows.last);
    while (findings.step()) {
        const std::optional<Verdict> verdict = Verdicts::fromKey(findings.text(5));
        if (!verdict) // written by a later version of the program
            continue;
        each({{{findings.text(3), findings.text(1), findings.text(2)}, findings.column(0).toLongLong()},
              {*verdict, tidyDetail(findings.text(6))}, // earlier versions stored details of any length
              QDateTime::fromString(findings.text(4), Qt::ISODate)});
    }
}

std::optional<Finding> lastFinding(Database& connection, qint64 station, const QString& address) {
    Statement finding(connection, u"SELECT result, detail FROM station_health WHERE station = ?1 AND address = ?2"_s);
    finding.bind(1, station);
    finding.bind(2, address);
    if (!finding.step())
        return std::nullopt;
    const std::optional<Verdict> verdict = Verdicts::fromKey(finding.text(0));
    if (!verdict)
        return std::nullopt;
    return Finding{*verdict, finding.text(1)};
}

QHash<qint64, Entry> deadStations(Database& connection, const QString& category, Rows rows) {
    QHash<qint64, Entry> dead;
    Statement table(connection, u"SELECT EXISTS (SELECT 1 FROM sqlite_master WHERE name = 'station_health')"_s);
    if (!table.step() || table.integer(0) == 0)
        return dead;
    lastFindings(
        connection, category,
        [&](const Entry& entry) {
            if (Verdicts::standing(entry.finding.verdict) == Standing::Dead)
                dead.insert(entry.station.id, entry);
        },
        rows);
    return dead;
}

} // namespace HealthTable
