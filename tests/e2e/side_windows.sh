# shellcheck shell=bash
# What a window manager does with the side windows, read from its own hints: which of the program's windows it shows
# and how it stacks them. Sourced after common.sh by the scripts that run the program under a window manager; the
# caller defines `click_main X Y`, a click at (X, Y) twips in the main window.
# shellcheck disable=SC2154 # desktop_app and desktop_main are the program's, set by tools/lib/desktop.sh

# The windows' outer sizes in pixels: their client areas in twips inside a one-pixel border.
main_width=$((2175 / 15 + 2))
panel_width=$((5175 / 15 + 2))
main_size="${main_width}x$((3390 / 15 + 2))"
panel_size="${panel_width}x$((3390 / 15 + 2))"
editor_size="${panel_width}x$((4305 / 15 + 2))"

# "X Y WIDTHxHEIGHT" of the window on the screen.
place_of() {
    # xdotool --shell sets SCREEN and WINDOW too; they stay local.
    # shellcheck disable=SC2034
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$X $Y ${WIDTH}x$HEIGHT"
}

# Runs COMMAND... until it succeeds, at most five seconds; returns 1 when it never does.
eventually() {
    for _ in $(seq 50); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

not() {
    ! "$@"
}

# Whether WINDOW is stacked above OTHER in the window manager's stacking order.
stacked_above() {
    local stack
    stack=$(xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*')
    [ "$(grep -nx "$(printf '0x%x' "$1")" <<<"$stack" | cut -d: -f1)" -gt \
        "$(grep -nx "$(printf '0x%x' "$2")" <<<"$stack" | cut -d: -f1)" ]
}

# The name of the program's window at PLACE ("X Y WIDTHxHEIGHT"): the channel editor by its size, the others by
# their places beside the main window at (DESKTOP_MAIN_X, DESKTOP_MAIN_Y); nothing for any other window (a tooltip).
window_name() {
    local x y size
    read -r x y size <<<"$1"
    if [ "$size" = "$editor_size" ]; then
        echo editor
    elif [ "$y" = "$DESKTOP_MAIN_Y" ]; then
        case "$((x - DESKTOP_MAIN_X)) $size" in
        "0 $main_size") echo main ;;
        "-$panel_width $panel_size") echo tv ;;
        "-$main_width $main_size") echo presets ;;
        "$main_width $panel_size") echo radio ;;
        "$main_width $main_size") echo setup ;;
        esac
    fi
}

# The program's windows on the screen, one id a line: mapped, and not minimised (mutter keeps a minimised window
# mapped and marks it hidden).
shown_ids() {
    local window
    for window in $(xdotool search --onlyvisible --pid "$desktop_app"); do
        xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN || echo "$window"
    done
}

# The names of the program's windows on the screen, in alphabetical order on one line.
shown_windows() {
    local window
    for window in $(shown_ids); do
        window_name "$(place_of "$window")"
    done | sort | xargs
}

shown_are() {
    [ "$(shown_windows)" = "$1" ]
}

# Waits until exactly the windows NAMES (as shown_windows prints them) are on the screen; fails saying WHEN.
expect_shown() {
    eventually shown_are "$1" || fail "$2: expected \"$1\" on the screen, but it shows \"$(shown_windows)\""
}

# The id of the program's window called NAME on the screen.
window_called() {
    local window
    for window in $(shown_ids); do
        if [ "$(window_name "$(place_of "$window")")" = "$1" ]; then
            echo "$window"
            return 0
        fi
    done
    return 1
}

# With staying on top on and the TV panel open, the preset editor opened at the same docking place stays below it:
# only the main window and the browser panels stay on top.
expect_presets_below_tv_panel() {
    click_main 600 2520 # 预置电台
    eventually window_called presets >/dev/null || fail "the preset editor did not open: \"$(shown_windows)\""
    eventually stacked_above "$(window_called tv)" "$(window_called presets)" ||
        fail "the preset editor came up over the on-top TV panel: $(xprop -root _NET_CLIENT_LIST_STACKING)"
}

# With all five side windows open, minimising takes the TV and radio panels along with the main window and leaves
# the preset editor, the appearance panel and the channel editor on the screen; restoring the main window as a task
# bar does brings the panels back.
expect_minimise_keeps_side_windows() {
    local all="editor main presets radio setup tv"
    expect_shown "$all" "before minimising"
    click_main 1087 607 # the yellow button
    expect_shown "editor presets setup" "minimised"
    xdotool windowactivate "$desktop_main"
    expect_shown "$all" "restored"
}
