#pragma once

#include "catalogue/Catalogue.h"
#include "sqlite/Statement.h"

#include <QString>
#include <optional>
#include <vector>

// What a station's source said about it beyond its category, name and web address, kept with the station in table
// station_attribute (steps/02-station-attributes.sql) in the order the source gave it. A station changed in place
// keeps its attributes; a deleted one loses them.
namespace Catalogue {

// Where an attribute was written, stored as the key beside each.
enum class AttributeSource {
    M3u,       // "m3u": an attribute of the entry's #EXTINF line other than group-title: tvg-id, tvg-logo ...
    VlcOption, // "vlcopt": an #EXTVLCOPT:name=value line of the entry: http-user-agent, http-referrer ...
    Kodi,      // "kodi": the address|Name=value&Name=value suffix: User-Agent, Referer ...; the value decoded
    M3uList,   // "m3u-list": an attribute of the #EXTM3U line of the list the station came from: url-tvg ...
    Pls,       // "pls": a key of the entry other than FileN, TitleN and GroupN, without its number: Length ...
    Xspf,      // "xspf": an element of the track other than location and title: creator, image, duration ...
    Directory, // "directory": a field of the community directory: stationuuid, codec, bitrate, hls ...
};
QString sourceKey(AttributeSource source);
std::optional<AttributeSource> sourceOfKey(QStringView key);

struct Attribute {
    AttributeSource source;
    QString name;
    QString value;
    bool operator==(const Attribute&) const = default;
};
using Attributes = std::vector<Attribute>;

// The station's attributes in their order; none for a station without any, and none in a catalogue of an earlier
// version that could not be brought up to date.
Attributes attributes(Database& connection, qint64 station);

// Replaces the station's attributes with these, within the caller's transaction if there is one.
void setAttributes(Database& connection, qint64 station, const Attributes& attributes);

// Gives stations that have none their attributes, through one statement prepared once: an import's new stations.
class AttributeWriter {
public:
    explicit AttributeWriter(Database& connection);
    void add(qint64 station, const Attributes& attributes);

private:
    Statement insert_;
};

// The value of the first attribute of this source and name, names compared without regard to case.
std::optional<QString> valueOf(const Attributes& attributes, AttributeSource source, QStringView name);

// The HTTP headers the station's source asks a player to send: #EXTVLCOPT http-user-agent and http-referrer, else
// the address's User-Agent= and Referer= suffix. Empty where the source gave none.
struct HttpHeaders {
    QString userAgent;
    QString referrer;
    bool operator==(const HttpHeaders&) const = default;
};
HttpHeaders httpHeaders(const Attributes& attributes);

// A station with what its source said, as an export writes it.
struct AttributedStation {
    Station station;
    Attributes attributes;
    bool operator==(const AttributedStation&) const = default;
};
// Every station, or those of one category, in catalogue order with their attributes, read in one pass.
std::vector<AttributedStation> attributedStations(Database& connection,
                                                  const std::optional<QString>& category = std::nullopt);

} // namespace Catalogue
