#pragma once

#include <QString>

// The directory's usage rules ask every client to tell it when one of its stations is played, which keeps its
// list of popular stations true: GET /json/url/{stationuuid} on one of its servers.
namespace Directory {

// How long a click may take, lookup of the servers included; after that it is given up silently.
inline constexpr int ClickTimeoutMs = 4000;

// Tells the directory that the station was played, in the background: it returns at once, and whatever the
// servers answer, or if none does, nothing is said.
void tellPlayed(const QString& stationUuid);

} // namespace Directory
