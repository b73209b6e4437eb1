#!/usr/bin/env bash
# End to end through the desktop's accessibility bus, on a virtual X server and a session bus of its own: a reader of
# the bus (screen_reader.py, with Debian's python3-pyatspi) finds the main window's buttons and links named for what
# they do, presses a quick-select button, which plays its station (a recording xdg-open first on the PATH), and opens
# the TV panel with its key.
#   screen_reader.sh PROGRAM SEED_CATALOGUE SETTINGS PROJECT_ROOT
set -euo pipefail

program=$1 catalogue=$2 settings=$3 root=$4
# A session bus of its own, which the accessibility bus starts on and goes with.
if [ "${SCREEN_READER_BUS:-}" != own ]; then
    SCREEN_READER_BUS=own exec dbus-run-session -- bash "$0" "$@"
fi
# shellcheck source=tests/e2e/common.sh
source "$root/tests/e2e/common.sh"
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || fail "pyatspi is not installed (apt-get install python3-pyatspi)"

slot() {
    sqlite3 "$catalogue" "SELECT $2 FROM radio WHERE 类别 = '$1' ORDER BY rowid LIMIT 1"
}

record_shell_handoffs
desktop_start_display || fail "the virtual X server could not start"
# Qt speaks to the bus only where a screen reader has asked for it; here the reader is the test.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
desktop_start_program "$program" "$catalogue" "$settings" || fail "the program did not start"
xdotool windowfocus --sync "$desktop_main"

/usr/bin/python3 "$root/tests/e2e/screen_reader.py" "$(slot 快速选台三 名称)" || fail "a screen reader finds it wanting"
opened=$(handed_off)
[ "$opened" = "$(slot 快速选台二 网址)" ] || fail "pressing 快速选台二 through the bus opened \"$opened\""
echo "PASS: a screen reader hears every button named, pressed 快速选台二 ($opened) and opened the TV panel with T"
