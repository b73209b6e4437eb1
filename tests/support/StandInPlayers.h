#pragma once

#include <QStringList>
#include <QTemporaryDir>

// Media players and an xdg-open of the test's own, installed as the desktop knows programs: scripts on the PATH,
// desktop files with MimeType= lines in a private XDG_DATA_HOME (with the mimeinfo.cache update-desktop-database
// writes) and a private mimeapps.list. Each script records its arguments. Made before the first question to GIO
// in the process, which reads the folders once.
//   mpv     Exec=mpv --player-operation-mode=pseudo-gui -- %U, the default for HLS and RTSP
//   vlc     Exec=vlc --started-from-file %U
//   tvbox   a player of no known family, the default for AAC
class StandInPlayers {
public:
    StandInPlayers();

    // The arguments the program was last started with (after its own name); empty when it never was.
    QStringList arguments(const QString& program) const;
    // Waits up to a few seconds for the program to be started.
    bool started(const QString& program) const;
    void forget();

    // xdg-open ends with this code from now on.
    static void xdgOpenEndsWith(int code);

private:
    QTemporaryDir dir_;
};
