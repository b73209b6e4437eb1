#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The media players of the desktop, as the desktop itself knows them: the applications whose desktop files take a
// stream type, and the default of each type by the freedesktop rules (mimeapps.list in the user's and the system's
// folders, then the installed applications). Asked through GLib's GIO, the library the desktops use for this.
// An answer is kept until the desktop's associations change, so a click never reads the disk.
namespace Players {

// The players whose own options carry a station's User-Agent and Referer; any other gets the address alone.
enum class Family { Mpv, Vlc, Ffplay, Celluloid, Other };

struct Player {
    QString id;         // the desktop file's id: "mpv.desktop"
    QString name;       // as the desktop shows it: "mpv Media Player"
    QString executable; // the program the desktop file starts, as a full path
    // The desktop file's command line as words, the program as `executable`, and the one word where the address
    // goes kept as "%U"; field codes that name other things are left out.
    QStringList command;
    Family family = Family::Other;
    QStringList types; // the stream types it takes, of those in streamTypes()

    bool takesHeaders() const { return family != Family::Other; }
    bool operator==(const Player&) const = default;
};

// Every type a station may be handed to a player for.
const QStringList& streamTypes();

// The desktop's player for a type; none where no installed application takes it.
std::optional<Player> defaultFor(const QString& type);

// Every installed player of a stream type: the desktop's default for HLS first, then by name.
std::vector<Player> all();

// A player of all() by its desktop file's id, its program's name or its family: "mpv", "vlc.desktop".
std::optional<Player> named(const QString& name);

} // namespace Players
