# shellcheck shell=bash
# Drives the built program on a virtual X server, or under a Wayland compositor through XWayland; sourced by
# tools/screenshot and the end-to-end tests.
#   desktop_start_display                         start Xvfb and point DISPLAY at it (fails loudly when it cannot)
#   desktop_start_compositor mutter|kwin          start that Wayland compositor headless with XWayland and point
#                                                 DISPLAY at its X server; says why and returns 1 where it cannot
#   desktop_start_program PROGRAM CATALOGUE INI   run a copy of the program in a throw-away program directory
#   desktop_restart_program                       end the program and start it again on the same program directory
#   desktop_run COMMAND...                        run the program as COMMAND starts it and wait for its window
#   desktop_click WINDOW X Y                      click at (X, Y) twips in the client area of main, tv, radio, setup
#                                                 or presets (the preset editor, docked left like the TV panel)
#   desktop_colour WINDOW X Y                     the colour on the screen there, as #RRGGBB
#   desktop_type TEXT                             type TEXT, Chinese included, where the keyboard focus is
#   desktop_clipboard                             print the text on the clipboard
# The caller sets DESKTOP_WORK to a scratch directory and calls desktop_stop when done (trap it on EXIT).

# Safe to call again: what has ended already is left alone.
desktop_stop() {
    local running
    for running in "${desktop_app:-}" "${desktop_xvfb:-}"; do
        if [ -n "$running" ]; then kill "$running" 2>/dev/null || true; fi
    done
    # The compositor takes its X server down with it.
    if [ -n "${desktop_compositor:-}" ] && kill "$desktop_compositor" 2>/dev/null; then
        wait "$desktop_compositor" || true
    fi
    desktop_app="" desktop_xvfb="" desktop_compositor=""
}

desktop_start_display() {
    command -v Xvfb >/dev/null || { echo "Xvfb is not installed (apt-get install xvfb)" >&2; return 1; }
    command -v xdotool >/dev/null || { echo "xdotool is not installed (apt-get install xdotool)" >&2; return 1; }
    # Xvfb picks a free display itself and writes its number to descriptor 3.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$DESKTOP_WORK/display" 2>"$DESKTOP_WORK/xvfb.log" &
    desktop_xvfb=$!
    desktop_await_display "$desktop_xvfb" "the virtual X server" "$DESKTOP_WORK/xvfb.log" 10 || return 1
    DISPLAY=":$(head -n 1 "$DESKTOP_WORK/display")"
    export DISPLAY
}

# A desktop session as GNOME or KDE runs it on Wayland, headless: the compositor starts XWayland, the program is
# an X client of it, and the compositor, not the X server, moves windows and stacks them. The caller runs inside
# dbus-run-session, as a session's programs do: the compositor offers its services on that bus.
desktop_start_compositor() {
    local binary package log="$DESKTOP_WORK/compositor.log"
    case "$1" in
    mutter) binary=mutter package=mutter ;;
    kwin) binary=kwin_wayland package=kwin-wayland ;;
    *) echo "no compositor $1" >&2; return 1 ;;
    esac
    binary=$(command -v "$binary") || { echo "$1 is not installed (apt-get install $package)" >&2; return 1; }
    command -v Xwayland >/dev/null || { echo "XWayland is not installed (apt-get install xwayland)" >&2; return 1; }
    export XDG_RUNTIME_DIR="$DESKTOP_WORK/runtime"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    # Both compositors run a session command once XWayland is up and hand it the X display and its key; this one
    # passes them on and lives as long as the caller, as mutter ends with its session command.
    # shellcheck disable=SC2016 # the session script expands its own variables
    printf '#!/bin/sh\nprintf "%%s\\n" "${DISPLAY#:}" "$XAUTHORITY" >%s\nexec tail --pid=%s -f /dev/null\n' \
        "$DESKTOP_WORK/display" $$ >"$DESKTOP_WORK/session"
    chmod +x "$DESKTOP_WORK/session"
    case "$1" in
    mutter)
        "$binary" --wayland --headless --virtual-monitor 1280x1024 -- "$DESKTOP_WORK/session" >"$log" 2>&1 &
        ;;
    kwin)
        # Debian's kwin_wayland carries a file capability that a container refuses to execute; a copy has none.
        cp "$binary" "$DESKTOP_WORK/kwin_wayland"
        "$DESKTOP_WORK/kwin_wayland" --virtual --xwayland --width 1280 --height 1024 --no-lockscreen \
            --no-global-shortcuts "$DESKTOP_WORK/session" >"$log" 2>&1 &
        ;;
    esac
    desktop_compositor=$!
    desktop_await_display "$desktop_compositor" "$1" "$log" 30 || return 1
    DISPLAY=":$(head -n 1 "$DESKTOP_WORK/display")"
    XAUTHORITY=$(sed -n 2p "$DESKTOP_WORK/display")
    export DISPLAY XAUTHORITY
}

# Waits for the display number in $DESKTOP_WORK/display from the X server or compositor PID, at most SECONDS;
# says why with the end of its LOG when it never comes.
desktop_await_display() {
    local pid=$1 name=$2 log=$3 seconds=$4
    for _ in $(seq $((seconds * 10))); do
        [ -s "$DESKTOP_WORK/display" ] && return 0
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "$name did not start:" >&2
    tail -n 20 "$log" >&2
    return 1
}

desktop_start_program() {
    local dir="$DESKTOP_WORK/program"
    mkdir -p "$dir"
    cp "$1" "$dir/vimaro"
    cp "$2" "$dir/tv.mdb"
    cp "$3" "$dir/tvset.ini"
    chmod u+w "$dir/tv.mdb" "$dir/tvset.ini"
    desktop_run "$dir/vimaro"
}

desktop_restart_program() {
    kill "$desktop_app" 2>/dev/null
    wait "$desktop_app" 2>/dev/null
    desktop_run "$DESKTOP_WORK/program/vimaro"
}

desktop_run() {
    "$@" >"$DESKTOP_WORK/program.log" 2>&1 &
    desktop_app=$!
    desktop_main=$(timeout 15 xdotool search --sync --onlyvisible --name '^::::Vimaro::::$' | head -n 1)
    if [ -z "$desktop_main" ]; then
        echo "the main window never appeared:" >&2
        cat "$DESKTOP_WORK/program.log" >&2
        return 1
    fi
    eval "$(xdotool getwindowgeometry --shell "$desktop_main")"
    DESKTOP_MAIN_X=$X
    DESKTOP_MAIN_Y=$Y
    sleep 0.3
}

# Window designs measure in twips, 15 to a pixel; controls count from the client area, one border pixel in.
# The TV panel (5175 twips wide) docks left of the main window, the radio panel and the appearance panel right of
# its 2175 twips, the preset editor (2175 twips wide) left. Prints the screen pixel of (X, Y) twips in WINDOW as
# "X Y".
desktop_spot() {
    local x=$(($2 / 15)) y=$(($3 / 15)) left
    case "$1" in
    main) left=$DESKTOP_MAIN_X ;;
    tv) left=$((DESKTOP_MAIN_X - 5175 / 15 - 2)) ;;
    radio | setup) left=$((DESKTOP_MAIN_X + 2175 / 15 + 2)) ;;
    presets) left=$((DESKTOP_MAIN_X - 2175 / 15 - 2)) ;;
    *) echo "no window $1" >&2; return 1 ;;
    esac
    echo "$((left + 1 + x)) $((DESKTOP_MAIN_Y + 1 + y))"
}

desktop_click() {
    local spot
    spot=$(desktop_spot "$@") || return 1
    xdotool mousemove "${spot% *}" "${spot#* }" click 1
    sleep 0.4
}

desktop_colour() {
    local spot
    spot=$(desktop_spot "$@") || return 1
    /usr/bin/import -window root -crop "1x1+${spot% *}+${spot#* }" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}'
}

desktop_type() {
    xdotool type --delay 30 -- "$1"
    sleep 0.3
}

desktop_clipboard() {
    command -v xclip >/dev/null || { echo "xclip is not installed (apt-get install xclip)" >&2; return 1; }
    xclip -o -selection clipboard
}

# The smallest rectangle round every window the program shows, with a margin, as WIDTHxHEIGHT+X+Y.
desktop_program_bounds() {
    local margin=${1:-10} window X Y WIDTH HEIGHT
    local left=100000 top=100000 right=0 bottom=0
    for window in $(xdotool search --onlyvisible --pid "$desktop_app"); do
        eval "$(xdotool getwindowgeometry --shell "$window")"
        [ "$WIDTH" -le 1 ] && continue
        ((X < left)) && left=$X
        ((Y < top)) && top=$Y
        ((X + WIDTH > right)) && right=$((X + WIDTH))
        ((Y + HEIGHT > bottom)) && bottom=$((Y + HEIGHT))
    done
    echo "$((right - left + 2 * margin))x$((bottom - top + 2 * margin))+$((left - margin))+$((top - margin))"
}

# The id of the program's first window on the screen whose size meets TEST, an arithmetic test of WIDTH and HEIGHT
# in pixels, waiting up to 5 s for one to come.
desktop_window_sized() {
    # xdotool --shell sets SCREEN and WINDOW too; they stay local.
    # shellcheck disable=SC2034
    local window X Y WIDTH HEIGHT SCREEN WINDOW
    for _ in $(seq 50); do
        for window in $(xdotool search --onlyvisible --pid "$desktop_app"); do
            eval "$(xdotool getwindowgeometry --shell "$window")"
            if (($1)); then
                echo "$window"
                return 0
            fi
        done
        sleep 0.1
    done
    return 1
}

# The channel editor (5175 by 4305 twips inside its one-pixel border) once it is on the screen: its window id.
desktop_editor_window() {
    desktop_window_sized "WIDTH == 5175 / 15 + 2 && HEIGHT == 4305 / 15 + 2"
}

# Clicks at (X, Y) twips in the channel editor's client area.
desktop_click_editor() {
    # shellcheck disable=SC2034 # all six are set by xdotool's --shell output; local, so none outlives the click
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$(desktop_editor_window)")"
    xdotool mousemove $((X + 1 + $1 / 15)) $((Y + 1 + $2 / 15)) click 1
    sleep 0.4
}

# Types TEXT, Chinese included, over whatever the box under the focus holds.
desktop_type_over() {
    xdotool key ctrl+a
    xdotool type --delay 60 "$1"
    sleep 0.3
}
