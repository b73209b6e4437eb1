#include "playing/Playing.h"

#include "catalogue/RecentStations.h"
#include "catalogue/StationAttributes.h"
#include "desktop/StationLaunch.h"
#include "health/HealthTable.h"
#include "internet/DirectoryClick.h"
#include "playing/PlayerChoice.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace Playing {

namespace {

// What the last check found at the station's address: a web page, or a stream whose media type its finding names
// ("audio/mpeg", "ICY 200 OK, audio/aacp").
void addFinding(StationHints& hints, const Finding& finding) {
    static const QRegularExpression mediaType(u"[a-z]+/[a-z0-9.+-]+"_s);
    if (finding.verdict == Verdict::NotAStream && finding.detail.startsWith(u"a web page"_s))
        hints.checkedPage = true;
    else if (finding.verdict == Verdict::Plays || finding.verdict == Verdict::Redirects)
        hints.checkedType = mediaType.match(finding.detail.toLower()).captured();
}

// What the station's source said: the headers its list asks players to send, and the directory's fields.
void addAttributes(StationRoute& route, const Catalogue::Attributes& attributes) {
    using Catalogue::AttributeSource;
    const Catalogue::HttpHeaders headers = Catalogue::httpHeaders(attributes);
    route.headers = {headers.userAgent, headers.referrer};
    route.hints.codec = Catalogue::valueOf(attributes, AttributeSource::Directory, u"codec").value_or(QString());
    route.hints.hls = Catalogue::valueOf(attributes, AttributeSource::Directory, u"hls") == u"1"_s;
}

StationRoute routeOf(Database& connection, const Catalogue::PlayableStation& station) {
    StationRoute route{station.name, {}, {}, {}};
    try {
        addAttributes(route, Catalogue::attributes(connection, station.row));
        const std::optional<Catalogue::Station> stored = Catalogue::station(connection, station.row);
        if (const std::optional<QString> chosen = PlayerChoice::chosen(connection, stored ? stored->category : u""_s))
            route.chosen = Players::named(*chosen);
        if (const std::optional<Finding> finding =
                HealthTable::lastFinding(connection, station.row, station.address.toString()))
            addFinding(route.hints, *finding);
    } catch (const DbError&) {
        // A catalogue busy with another program's write, or one never checked: the address alone decides.
    }
    return route;
}

// The hand-off is done; what is remembered of it now is written on a connection of its own, since the window
// that asked may have closed meanwhile.
void played(qint64 row) {
    try {
        Database connection = Catalogue::openConnection();
        RecentStations::remember(connection, row);
        const std::optional<QString> uuid = Catalogue::valueOf(Catalogue::attributes(connection, row),
                                                               Catalogue::AttributeSource::Directory, u"stationuuid");
        if (uuid && PlayerChoice::directoryClicks(connection) &&
            PlayerChoice::clickDue(connection, *uuid, QDate::currentDate()))
            Directory::tellPlayed(*uuid);
    } catch (const DbError&) {
        // Read-only or locked: the station only misses from 最近播放, and the directory is not told.
    }
}

} // namespace

void play(const Teller& later, Database& connection, const Catalogue::PlayableStation& station) {
    playStation(later, station.address, routeOf(connection, station), [row = station.row] { played(row); });
}

} // namespace Playing
