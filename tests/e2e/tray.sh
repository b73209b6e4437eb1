#!/usr/bin/env bash
# End to end on a real X server with a tray from Debian (trayer): the program puts its icon there, a right click
# opens its menu, 快速选台二 chosen from it with the keys plays the slot's station (a recording xdg-open first on
# the PATH) and remembers it among the stations played; a left click hides the windows and the next brings them
# back. With PICTURE it also saves a picture of the open menu beside the main window, and with PLAYERS_PICTURE one
# of its 播放器 with two players installed (desktop files of their own, in a private XDG_DATA_HOME).
#   tray.sh PROGRAM SEED_CATALOGUE SETTINGS PROJECT_ROOT [PICTURE [PLAYERS_PICTURE]]
set -euo pipefail

program=$1 catalogue=$2 settings=$3 root=$4 picture=${5:-} players_picture=${6:-}
# shellcheck source=tests/e2e/common.sh
source "$root/tests/e2e/common.sh"
command -v trayer >/dev/null || fail "trayer is not installed (apt-get install trayer)"

# The program's window no wider than a tray icon: its icon in the tray.
tray_icon() {
    desktop_window_sized "WIDTH <= 32 && HEIGHT <= 32 && WIDTH > 1"
}

main_window_shown() {
    xdotool search --onlyvisible --name '^::::Vimaro::::$' >/dev/null
}

# Waits up to five seconds for the program to show COUNT windows, its menus among them.
windows_shown() {
    for _ in $(seq 50); do
        [ "$(xdotool search --onlyvisible --pid "$desktop_app" | wc -l)" -eq "$1" ] && return 0
        sleep 0.1
    done
    return 1
}

# Opens the icon's menu with a right click; the program then shows one window more.
open_menu() {
    local before
    before=$(xdotool search --onlyvisible --pid "$desktop_app" | wc -l)
    xdotool mousemove --window "$icon" 8 8 click 3
    windows_shown $((before + 1)) || fail "a right click on the icon opened no menu"
}

# Clicks the icon and waits up to five seconds for the main window to be shown, or hidden.
click_icon_until() {
    xdotool mousemove --window "$icon" 8 8 click 1
    for _ in $(seq 50); do
        if [ "$1" = shown ]; then main_window_shown && return 0; else main_window_shown || return 0; fi
        sleep 0.1
    done
    return 1
}

# Two players the desktop knows for streams; neither is ever started here.
install_players() {
    local apps="$DESKTOP_WORK/data/applications" name
    mkdir -p "$apps"
    for name in "mpv:mpv Media Player" "vlc:VLC media player"; do
        printf '[Desktop Entry]\nType=Application\nName=%s\nExec=%s %%U\nCategories=AudioVideo;Player;\n%s\n' \
            "${name#*:}" "/bin/true" "MimeType=application/vnd.apple.mpegurl;audio/mpeg;" >"$apps/${name%%:*}.desktop"
    done
    update-desktop-database "$apps"
}

# Saves a picture of the submenu opened with KEYS from the top of the tray menu.
picture_of_submenu() { # PICTURE KEYS...
    local out=$1 shown
    shift
    open_menu
    shown=$(xdotool search --onlyvisible --pid "$desktop_app" | wc -l)
    xdotool key "$@"
    windows_shown $((shown + 1)) || fail "the submenu did not open"
    sleep 0.3
    /usr/bin/import -window root "$DESKTOP_WORK/screen.png"
    /usr/bin/convert "$DESKTOP_WORK/screen.png" -crop "$(desktop_program_bounds)" +repage "$out"
    xdotool key Escape Escape
    windows_shown $((shown - 1)) || fail "the menu did not close"
}

record_shell_handoffs
if [ -n "$players_picture" ]; then install_players; fi
desktop_start_display || fail "the virtual X server could not start"
trayer --edge bottom --align right --widthtype request --height 24 --SetDockType false --SetPartialStrut false \
    >"$DESKTOP_WORK/trayer.log" 2>&1 &
trayer=$!
trap 'kill "$trayer" 2>/dev/null; desktop_stop; rm -rf "$DESKTOP_WORK"' EXIT
timeout 10 xdotool search --sync --onlyvisible --class trayer >/dev/null || fail "trayer did not start"
desktop_start_program "$program" "$catalogue" "$settings" || fail "the program did not start"
icon=$(tray_icon) || fail "the program put no icon in the tray"

# The picture shows 最近播放 opened on two stations played with the keys 3 and 5.
if [ -n "$picture" ]; then
    xdotool windowfocus --sync "$desktop_main" key 3 5
    handed_off 2 >/dev/null
    : >"$RECORD"
    picture_of_submenu "$picture" Up Up Up Up Right # 退出, 频道设置, 播放器, 最近播放, its stations
fi
if [ -n "$players_picture" ]; then
    picture_of_submenu "$players_picture" Up Up Up Right # 退出, 频道设置, 播放器, its players
fi

open_menu
xdotool key Down Down Return # the second entry, 快速选台二
expected=$(sqlite3 "$catalogue" "SELECT 网址 FROM radio WHERE 类别 = '快速选台二' ORDER BY rowid LIMIT 1")
opened=$(handed_off)
[ "$opened" = "$expected" ] || fail "快速选台二 from the tray menu opened \"$opened\" instead of $expected"
stored="$DESKTOP_WORK/program/tv.mdb"
# A station is remembered once its hand-off got through its first seconds.
for _ in $(seq 50); do
    played=$(sqlite3 -cmd ".timeout 5000" "$stored" "SELECT r.类别 FROM recent_stations p JOIN radio r
                                                    ON r.rowid = p.station ORDER BY p.played DESC LIMIT 1")
    [ "$played" = 快速选台二 ] && break
    sleep 0.1
done
[ "$played" = 快速选台二 ] || fail "the station played last is one of \"$played\", not of 快速选台二"

click_icon_until hidden || fail "a click on the icon left the main window in front"
sleep 1 # a second click at once would be a double click
click_icon_until shown || fail "a second click on the icon did not bring the main window back"
echo "PASS: the tray menu played 快速选台二 ($opened) and remembered it; the icon hid and brought back the windows"
