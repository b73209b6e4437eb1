#pragma once

#include "core/Seam.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// A program that plays a station, started without a shell and never tied to the launcher: it runs in a session
// of its own and goes on after the launcher ends. Only its first seconds are watched, for a start that failed.
struct HandOff {
    QStringList arguments;    // the program, as a full path, then its arguments
    QString address;          // the station's address as the catalogue holds it
    QString workingDirectory; // the program's directory, where the desktop's handler is started too
    bool operator==(const HandOff&) const = default;
};

// How long a started program is watched: an error within it is a failed start.
inline constexpr int WatchedMs = 2000;

// What the first seconds showed: nothing when the program runs on or ended well, else why it failed.
using Outcome = std::function<void(const std::optional<QString>& failure)>;

// Starts the program and returns at once; false when it cannot be started at all (no such program, no process
// left). `outcome` is called once, later, unless the launcher ends first.
bool launch(const HandOff& handOff, Outcome outcome);

// Tests record hand-offs here instead of starting programs.
extern Seam<bool(const HandOff& handOff, Outcome outcome)> launchSeam;
