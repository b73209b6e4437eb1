#!/usr/bin/env bash
# End to end in a Wayland session, headless: the program runs through XWayland under COMPOSITOR (mutter, as
# GNOME runs it, or kwin, as KDE does), which moves and stacks its windows. Both panels open flush against the
# main window and are docked again after the compositor moved it: under mutter dragged by its title with the
# compositor's own pointer, under kwin on a request to the compositor. While another program's window is active
# the program's windows stay on the screen above it, until the on-top toggle lets it above.
# Where the compositor cannot start on this machine the test says why and is skipped (exit 77).
#   wayland.sh COMPOSITOR PROGRAM SEED_CATALOGUE SETTINGS PROJECT_ROOT
set -euo pipefail

compositor=$1 program=$2 catalogue=$3 settings=$4 root=$5
# Everything runs on one private session bus, which the compositor offers its services on.
if [ -z "${VIMARO_SESSION_BUS:-}" ]; then
    command -v dbus-run-session >/dev/null || { echo "SKIP: no session bus (apt-get install dbus-x11)"; exit 77; }
    VIMARO_SESSION_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
# shellcheck source=tests/e2e/common.sh
source "$root/tests/e2e/common.sh"

# The windows' outer sizes in pixels: their client areas in twips inside a one-pixel border.
main_size="$((2175 / 15 + 2))x$((3390 / 15 + 2))"
panel_size="$((5175 / 15 + 2))x$((3390 / 15 + 2))"

# "X Y WIDTHxHEIGHT" of the window on the screen.
place_of() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$X $Y ${WIDTH}x$HEIGHT"
}

# The program's windows that are on the screen, one "X Y WIDTHxHEIGHT" a line, in order.
program_windows() {
    local window
    for window in $(xdotool search --onlyvisible --pid "$desktop_app"); do
        place_of "$window"
    done | sort
}

# Waits until both panels are on the screen flush against the main window, at most five seconds; says where the
# windows are when they never get there.
expect_docked() {
    local expected
    for _ in $(seq 50); do
        read -r DESKTOP_MAIN_X DESKTOP_MAIN_Y _ <<<"$(place_of "$desktop_main")"
        expected=$(printf '%s\n' "$((DESKTOP_MAIN_X - 5175 / 15 - 2)) $DESKTOP_MAIN_Y $panel_size" \
            "$DESKTOP_MAIN_X $DESKTOP_MAIN_Y $main_size" "$((DESKTOP_MAIN_X + 2175 / 15 + 2)) $DESKTOP_MAIN_Y $panel_size" |
            sort)
        [ "$(program_windows)" = "$expected" ] && return 0
        sleep 0.1
    done
    fail "$1: expected the windows at
$expected
but they are at
$(program_windows)"
}

# Waits until the main window stands at X Y, at most five seconds.
await_main_at() {
    for _ in $(seq 50); do
        [ "$(place_of "$desktop_main")" = "$1 $2 $main_size" ] && return 0
        sleep 0.1
    done
    fail "the main window is at $(place_of "$desktop_main"), not at $1,$2"
}

# The compositor's own pointer, through mutter's remote desktop session: `pointer ACTION` sends one action of
# remote_pointer.py and waits until the compositor has it.
start_remote_pointer() {
    coproc remote_pointer { /usr/bin/python3 "$root/tests/e2e/remote_pointer.py" 2>"$DESKTOP_WORK/pointer.log"; }
    pointer_done "the start"
}

pointer() {
    echo "$*" >&"${remote_pointer[1]}"
    pointer_done "$*"
}

pointer_done() {
    local answer
    read -r -t 30 answer <&"${remote_pointer[0]}" && [ "$answer" = ok ] ||
        fail "the remote pointer failed at $1: $(cat "$DESKTOP_WORK/pointer.log")"
}

# Drags the main window by its title with the compositor's pointer, DX DY pixels. The program hands the drag to
# the compositor once it sees the press; until the compositor has taken it the pointer moves alone, so it moves
# a pixel at a time until the window follows, then the rest of the way.
drag_main_by() {
    local x y from="$DESKTOP_MAIN_X $DESKTOP_MAIN_Y $main_size"
    read -r x y <<<"$(desktop_spot main 1087 165)"
    start_remote_pointer
    pointer move "$x" "$y"
    pointer press
    for step in $(seq 100); do
        pointer move $((x + step)) $((y + step))
        [ "$(place_of "$desktop_main")" != "$from" ] && break
        sleep 0.1
    done
    pointer move $((x + $1)) $((y + $2))
    pointer release
    await_main_at $((DESKTOP_MAIN_X + $1)) $((DESKTOP_MAIN_Y + $2))
}

# The window's place in the compositor's stacking order, counted from the bottom.
stacking_of() {
    xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*' | grep -nx "$(printf '0x%x' "$1")" | cut -d: -f1
}

# Whether every window of the program on the screen is stacked above WINDOW.
program_above() {
    local other window
    other=$(stacking_of "$1")
    for window in $(xdotool search --onlyvisible --pid "$desktop_app"); do
        [ "$(stacking_of "$window")" -gt "$other" ] || return 1
    done
}

if ! desktop_start_compositor "$compositor" 2>"$DESKTOP_WORK/why"; then
    echo "SKIP: $(cat "$DESKTOP_WORK/why")"
    exit 77
fi
desktop_start_program "$program" "$catalogue" "$settings" || fail "the program did not start under $compositor"

desktop_click main 367 607  # TV toggle
desktop_click main 1807 607 # radio toggle
expect_docked "at start"

if [ "$compositor" = mutter ]; then
    drag_main_by 200 150
else
    # kwin's pointer is out of this test's reach; the compositor moves the window on a request instead.
    xdotool windowmove "$desktop_main" $((DESKTOP_MAIN_X + 200)) $((DESKTOP_MAIN_Y + 150))
    await_main_at $((DESKTOP_MAIN_X + 200)) $((DESKTOP_MAIN_Y + 150))
fi
expect_docked "after the compositor moved the main window"

# Another program's window over the main window, made active as a click on it would.
xmessage -title "another program" -geometry "+$((DESKTOP_MAIN_X - 20))+$((DESKTOP_MAIN_Y + 20))" "another program" &
other=$(timeout 10 xdotool search --sync --onlyvisible --name '^another program$' | head -n 1) ||
    fail "the other program's window never appeared"
xdotool windowactivate --sync "$other"
# kwin hides the tool windows of a program that is not active a fifth of a second after the activation changed.
sleep 1
expect_docked "while another program is active"
program_above "$other" || fail "the other program's window is stacked above the program's:
$(xprop -root _NET_CLIENT_LIST_STACKING)"

# With the on-top toggle off the active window rises above the program's.
desktop_click main 727 607
xdotool windowactivate --sync "$other"
for _ in $(seq 50); do
    program_above "$other" || break
    sleep 0.1
done
program_above "$other" && fail "the program's windows stay above the active window with the on-top toggle off"

kill -0 "$desktop_app" 2>/dev/null || fail "the program ended"
echo "PASS: under $compositor both panels docked at start and after the move, above another program's window"
