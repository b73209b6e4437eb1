#pragma once

#include "core/Ask.h"
#include "desktop/PlayerArguments.h"
#include "desktop/Players.h"
#include "desktop/StreamType.h"

#include <QVariant>
#include <functional>
#include <optional>

// What the launcher knows of a station that decides where it plays.
struct StationRoute {
    QString name; // for a box that says the station did not play
    StationHints hints;
    StationHeaders headers;
    std::optional<Players::Player> chosen; // the player the user chose for the station's category or for all
};

// Plays a station. A stream goes to a media player: the one the user chose, else
// the desktop's default for its type, with the station's headers where the player takes them. A web page, or a
// stream no player is known for, goes to the desktop's default handler (xdg-open) with the address alone, as
// always. Only a URL with a web or streaming scheme and a host is ever handed on; anything else, an empty or null
// address, a local path or a file: address, opens nothing and is explained in a question to the user (core/Ask.h), as
// is a player or handler that cannot be started; one that ends with an error in its first seconds is told to `later`.
// `played` is called once the hand-off got through those seconds. False when nothing could be started.
bool playStation(Teller later, const QVariant& address, const StationRoute& route, std::function<void()> played);
