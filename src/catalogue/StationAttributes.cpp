#include "catalogue/StationAttributes.h"

#include "sqlite/Statement.h"

#include <array>

using namespace Qt::StringLiterals;

namespace Catalogue {

namespace {

// In the order of enum AttributeSource.
const std::array<QString, 7> SourceKeys = {u"m3u"_s, u"vlcopt"_s, u"kodi"_s,     u"m3u-list"_s,
                                           u"pls"_s, u"xspf"_s,   u"directory"_s};

// A catalogue that could not be brought up to date (read-only) has no attributes.
bool kept(Database& connection) {
    Statement table(connection, u"SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'station_attribute'"_s);
    return table.step();
}

std::optional<Attribute> attributeOf(const Statement& row, int first) {
    const std::optional<AttributeSource> source = sourceOfKey(row.text(first));
    if (!source) // written by a later version of the program
        return std::nullopt;
    return Attribute{*source, row.text(first + 1), row.text(first + 2)};
}

} // namespace

QString sourceKey(AttributeSource source) {
    return SourceKeys[static_cast<std::size_t>(source)];
}

std::optional<AttributeSource> sourceOfKey(QStringView key) {
    const auto found = std::find(SourceKeys.begin(), SourceKeys.end(), key);
    if (found == SourceKeys.end())
        return std::nullopt;
    return static_cast<AttributeSource>(found - SourceKeys.begin());
}

Attributes attributes(Database& connection, qint64 station) {
    if (!kept(connection))
        return {};
    Statement rows(connection,
                   u"SELECT source, name, value FROM station_attribute WHERE station = ? ORDER BY position"_s);
    rows.bind(1, station);
    Attributes all;
    while (rows.step()) {
        if (std::optional<Attribute> attribute = attributeOf(rows, 0))
            all.push_back(std::move(*attribute));
    }
    return all;
}

void setAttributes(Database& connection, qint64 station, const Attributes& attributes) {
    Statement forget(connection, u"DELETE FROM station_attribute WHERE station = ?"_s);
    forget.bind(1, station);
    forget.step();
    if (!attributes.empty())
        AttributeWriter(connection).add(station, attributes);
}

AttributeWriter::AttributeWriter(Database& connection)
    : insert_(connection, u"INSERT INTO station_attribute (station, position, source, name, value) "
                          "VALUES (?, ?, ?, ?, ?)"_s) {}

void AttributeWriter::add(qint64 station, const Attributes& attributes) {
    insert_.bind(1, station);
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        insert_.bind(2, static_cast<qint64>(i));
        insert_.bind(3, sourceKey(attributes[i].source));
        insert_.bind(4, attributes[i].name);
        insert_.bind(5, attributes[i].value);
        insert_.step();
        insert_.reset();
    }
}

std::optional<QString> valueOf(const Attributes& attributes, AttributeSource source, QStringView name) {
    for (const Attribute& attribute : attributes) {
        if (attribute.source == source && attribute.name.compare(name, Qt::CaseInsensitive) == 0)
            return attribute.value;
    }
    return std::nullopt;
}

HttpHeaders httpHeaders(const Attributes& attributes) {
    const auto header = [&](QStringView option, QStringView suffix) {
        return valueOf(attributes, AttributeSource::VlcOption, option)
            .value_or(valueOf(attributes, AttributeSource::Kodi, suffix).value_or(QString()));
    };
    return {header(u"http-user-agent", u"User-Agent"), header(u"http-referrer", u"Referer")};
}

std::vector<AttributedStation> attributedStations(Database& connection, const std::optional<QString>& category) {
    if (!kept(connection)) {
        std::vector<AttributedStation> plain;
        for (Station& station : stations(connection, category))
            plain.push_back({std::move(station), {}});
        return plain;
    }
    Statement rows(connection, u"SELECT r.rowid, r.类别, r.名称, r.网址, a.source, a.name, a.value FROM radio r "
                               "LEFT JOIN station_attribute a ON a.station = r.rowid %1 "
                               "ORDER BY r.rowid, a.position"_s.arg(category ? u"WHERE r.类别 = ?"_s : QString()));
    if (category)
        rows.bind(1, *category);
    std::vector<AttributedStation> all;
    qint64 last = 0;
    while (rows.step()) {
        if (all.empty() || rows.integer(0) != last) {
            last = rows.integer(0);
            all.push_back({{rows.text(1), rows.text(2), rows.text(3)}, {}});
        }
        if (rows.column(4).isNull())
            continue;
        if (std::optional<Attribute> attribute = attributeOf(rows, 4))
            all.back().attributes.push_back(std::move(*attribute));
    }
    return all;
}

} // namespace Catalogue
