#pragma once

#include "catalogue/Catalogue.h"
#include "core/Ask.h"

// Playing a station from the catalogue, the one way every station button, list line and tray entry plays one.
namespace Playing {

// Hands the station to where it plays (desktop/StationLaunch.h), with what the catalogue knows of it: the player
// chosen for its category, the last check's finding at its address, what its source said (its headers, the
// directory's codec and hls flag). Once the hand-off got through its first
// seconds, the station goes into the stations played (最近播放) and, for a station of the community directory,
// the directory hears of it as its usage rules ask, unless that was turned off. A busy or read-only catalogue
// costs only what it cannot give: the station plays all the same. A failure found after the hand-off returned goes to
// `later`.
void play(const Teller& later, Database& connection, const Catalogue::PlayableStation& station);

} // namespace Playing
