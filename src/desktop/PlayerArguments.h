#pragma once

#include "desktop/Players.h"

#include <QString>
#include <QStringList>

// The HTTP headers a station's source asks players to send: some servers answer only a player that names itself
// as a certain program, or says it comes from the broadcaster's page.
struct StationHeaders {
    QString userAgent;
    QString referrer;
    bool operator==(const StationHeaders&) const = default;
};

// How long a header value may be; a longer one is left out.
inline constexpr qsizetype MaxHeaderLength = 1024;

// A header value a player may be given: printable text within MaxHeaderLength, nothing that could end the header
// line and start another (no line break, no control character), so that no station can add headers of its own.
bool acceptableHeader(const QString& value);

// The program and arguments that play `address` in `player`: the player's own command line with the address in
// it, and the station's headers in the options of players that take them (mpv and Celluloid as mpv options,
// VLC as options of the played item, ffplay as its own). Headers that are not acceptable are left out.
QStringList playerArguments(const Players::Player& player, const QString& address, const StationHeaders& headers);
