#include "guide/Guide.h"

#include "catalogue/Catalogue.h"
#include "sqlite/Database.h"
#include "sqlite/Statement.h"

#include <QTimeZone>

using namespace Qt::StringLiterals;

namespace Guide {

namespace {

bool created(Database& catalogue) {
    Statement table(catalogue, u"SELECT EXISTS (SELECT 1 FROM sqlite_master WHERE name = 'guide_programme')"_s);
    return table.step() && table.integer(0) == 1;
}

const QString Selected = u"SELECT s.id, s.address, s.shift, s.subscription, s.etag, s.last_modified, s.updated, "
                         "s.result, (SELECT count(DISTINCT g.station) FROM guide_station g JOIN guide_channel c ON "
                         "c.id = g.channel JOIN "_s +
                         Catalogue::stationsAs(u"r"_s) +
                         u" ON r.row = g.station WHERE c.source = s.id) FROM guide_source s "_s;

Source read(const Statement& row) {
    Source source;
    source.id = row.integer(0);
    source.address = row.text(1);
    source.shiftHours = static_cast<int>(row.integer(2));
    if (const QVariant subscription = row.column(3); !subscription.isNull())
        source.subscription = subscription.toLongLong();
    source.etag = row.text(4).toLatin1();
    source.lastModified = row.text(5).toLatin1();
    source.updated = QDateTime::fromString(row.text(6), Qt::ISODate);
    source.result = row.text(7);
    source.stations = static_cast<int>(row.integer(8));
    return source;
}

QDateTime utc(qint64 seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

Programme programmeOf(const Statement& row) {
    return {utc(row.integer(0)), utc(row.integer(1)), row.text(2), row.text(3), row.text(4), row.text(5)};
}

// The one channel a station's guide comes from: the first matched, where several sources name the station.
const QString ChannelOf = u"(SELECT min(channel) FROM guide_station WHERE station = ?1)"_s;
const QString ProgrammeFields = u"SELECT start, stop, title, sub_title, description, category FROM guide_programme "_s;

const QString NowNextOf =
    ProgrammeFields + u"WHERE channel = "_s + ChannelOf + u" AND stop > ?2 ORDER BY stop LIMIT 2"_s;

NowNext readNowNext(Statement& rows, qint64 station, qint64 now) {
    rows.bind(1, station);
    rows.bind(2, now);
    NowNext onAir;
    while (rows.step()) {
        Programme programme = programmeOf(rows);
        if (!onAir.now && !onAir.next && rows.integer(0) <= now)
            onAir.now = std::move(programme);
        else if (!onAir.next)
            onAir.next = std::move(programme);
    }
    return onAir;
}

QString clock(const QDateTime& time) {
    return time.toLocalTime().toString(u"HH:mm"_s);
}

} // namespace

Seam<QDateTime()> clockSeam{[] { return QDateTime::currentDateTimeUtc(); }};

std::vector<Source> sources(Database& catalogue) {
    if (!created(catalogue))
        return {};
    Statement rows(catalogue, Selected + u"ORDER BY s.id"_s);
    std::vector<Source> all;
    while (rows.step())
        all.push_back(read(rows));
    return all;
}

std::optional<Source> findSource(Database& catalogue, const QString& address) {
    if (!created(catalogue))
        return std::nullopt;
    Statement row(catalogue, Selected + u"WHERE s.address = ?"_s);
    row.bind(1, address);
    return row.step() ? std::optional(read(row)) : std::nullopt;
}

Source addSource(Database& catalogue, const QString& address, int shiftHours) {
    Statement add(catalogue, u"INSERT INTO guide_source (address, shift) VALUES (?1, ?2) "
                             "ON CONFLICT (address) DO UPDATE SET shift = ?2"_s);
    add.bind(1, address);
    add.bind(2, shiftHours);
    add.step();
    return *findSource(catalogue, address);
}

void followList(Database& catalogue, qint64 subscription, const QStringList& addresses) {
    for (const Source& source : sources(catalogue)) {
        if (source.subscription == subscription && !addresses.contains(source.address))
            removeSource(catalogue, source);
    }
    Statement add(catalogue, u"INSERT INTO guide_source (address, subscription) VALUES (?1, ?2) "
                             "ON CONFLICT (address) DO UPDATE SET subscription = coalesce(subscription, ?2)"_s);
    for (const QString& address : addresses) {
        add.bind(1, address);
        add.bind(2, subscription);
        add.step();
        add.reset();
    }
}

void removeSource(Database& catalogue, const Source& source) {
    const QString channels = u"(SELECT id FROM guide_channel WHERE source = %1)"_s.arg(source.id);
    catalogue.execute(u"DELETE FROM guide_programme WHERE channel IN %1;"
                      "DELETE FROM guide_station WHERE channel IN %1;"
                      "DELETE FROM guide_channel WHERE source = %2;"
                      "DELETE FROM guide_source WHERE id = %2"_s.arg(channels)
                          .arg(source.id));
}

void recordUpdate(Database& catalogue, const Source& source, const QString& result) {
    Statement record(catalogue, u"UPDATE guide_source SET etag = ?, last_modified = ?, updated = ?, result = ? "
                                "WHERE id = ?"_s);
    record.bind(1, QString::fromLatin1(source.etag));
    record.bind(2, QString::fromLatin1(source.lastModified));
    record.bind(3, QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
    record.bind(4, result);
    record.bind(5, source.id);
    record.step();
}

NowNext nowNext(Database& catalogue, qint64 station, const QDateTime& at) {
    if (!created(catalogue))
        return {};
    Statement rows(catalogue, NowNextOf);
    return readNowNext(rows, station, at.toSecsSinceEpoch());
}

std::vector<Programme> programmes(Database& catalogue, qint64 station, const QDateTime& from, const QDateTime& to) {
    if (!created(catalogue))
        return {};
    Statement rows(catalogue, ProgrammeFields + u"WHERE channel = "_s + ChannelOf +
                                  u" AND stop > ?2 AND start < ?3 ORDER BY stop"_s);
    rows.bind(1, station);
    rows.bind(2, from.toSecsSinceEpoch());
    rows.bind(3, to.toSecsSinceEpoch());
    std::vector<Programme> found;
    while (rows.step())
        found.push_back(programmeOf(rows));
    return found;
}

std::vector<GuidedStation> onAir(Database& catalogue, const std::optional<QString>& category, const QDateTime& at) {
    if (!created(catalogue))
        return {};
    Statement rows(catalogue, u"SELECT r.row, r.name, r.category FROM "_s + Catalogue::stationsAs(u"r"_s) +
                                  u" WHERE EXISTS (SELECT 1 FROM guide_station g WHERE g.station = r.row) AND "
                                  "(?1 IS NULL OR r.category = ?1) ORDER BY r.row"_s);
    rows.bind(1, category ? QVariant(*category) : QVariant());
    Statement programmes(catalogue, NowNextOf);
    std::vector<GuidedStation> found;
    while (rows.step()) {
        found.push_back({rows.integer(0), rows.text(1), rows.text(2),
                         readNowNext(programmes, rows.integer(0), at.toSecsSinceEpoch())});
        programmes.reset();
    }
    return found;
}

QString summary(const NowNext& onAir) {
    QStringList parts;
    if (onAir.now)
        parts.append(u"正在播出 %1–%2 %3"_s.arg(clock(onAir.now->start), clock(onAir.now->stop), onAir.now->title));
    if (onAir.next)
        parts.append(u"稍后 %1 %2"_s.arg(clock(onAir.next->start), onAir.next->title));
    return parts.join(u" · "_s);
}

QString nowTitle(const NowNext& onAir) {
    return onAir.now ? onAir.now->title : QString();
}

} // namespace Guide
