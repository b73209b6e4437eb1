# shellcheck shell=bash
# What every end-to-end script starts with: a throw-away folder, the virtual desktop's helpers and `fail`.
# Sourced after the script has set $root, the project root.
: "${root:?the project root, set by the script that sources this file}"
DESKTOP_WORK=$(mktemp -d)
source "$root/tools/lib/desktop.sh"
trap 'desktop_stop; rm -rf "$DESKTOP_WORK"' EXIT

# Says what failed, with what the program printed when it printed anything, and ends the test.
fail() {
    echo "FAIL: $*" >&2
    [ -f "$DESKTOP_WORK/program.log" ] && cat "$DESKTOP_WORK/program.log" >&2
    exit 1
}

# Puts a recording xdg-open first on the PATH in place of the user's player: every address the program hands to
# the shell becomes one line of the file $RECORD.
record_shell_handoffs() {
    mkdir -p "$DESKTOP_WORK/handler"
    export RECORD="$DESKTOP_WORK/opened"
    : >"$RECORD"
    cat >"$DESKTOP_WORK/handler/xdg-open" <<'SCRIPT'
#!/bin/sh
printf '%s\n' "$*" >>"$RECORD"
SCRIPT
    chmod +x "$DESKTOP_WORK/handler/xdg-open"
    export PATH="$DESKTOP_WORK/handler:$PATH"
    unset BROWSER DEFAULT_BROWSER
    # No media player of the machine's: a stream goes to xdg-open too, unless the script installs players here.
    mkdir -p "$DESKTOP_WORK/data/applications"
    export XDG_DATA_HOME="$DESKTOP_WORK/data" XDG_DATA_DIRS="$DESKTOP_WORK/data"
}

# Prints what the shell was asked to open, once it holds LINES addresses (1 by default) or five seconds have passed.
handed_off() {
    for _ in $(seq 50); do
        [ "$(wc -l <"$RECORD")" -ge "${1:-1}" ] && break
        sleep 0.1
    done
    cat "$RECORD"
}

# Starts SERVE_STATIONS on the folder DIR for SECONDS, stopped with the test too, and sets $served_at to its address.
serve_folder() {
    "$1" "$2" "$3" >"$DESKTOP_WORK/server" &
    local server=$!
    # shellcheck disable=SC2064 # the server's id is fixed now
    trap "kill $server 2>/dev/null; desktop_stop; rm -rf \"$DESKTOP_WORK\"" EXIT
    for _ in $(seq 50); do
        [ -s "$DESKTOP_WORK/server" ] && break
        sleep 0.1
    done
    # shellcheck disable=SC2034 # read by the script that sources this file
    served_at=$(head -n 1 "$DESKTOP_WORK/server")
}
