#include "playing/Playing.h"

#include "catalogue/RecentStations.h"
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

StationRoute routeOf(Database& connection, const Catalogue::PlayableStation& station) {
    StationRoute route{station.name, {}, {}, {}};
    try {
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
void remember(qint64 row) {
    try {
        Database connection = Catalogue::openConnection();
        RecentStations::remember(connection, row);
    } catch (const DbError&) {
        // Read-only or locked: the station only misses from 最近播放.
    }
}

} // namespace

void play(QWidget& owner, Database& connection, const Catalogue::PlayableStation& station) {
    playStation(owner, station.address, routeOf(connection, station), [row = station.row] { remember(row); });
}

} // namespace Playing
