#!/usr/bin/env bash
# End to end on a real X server: the TV toggle, a category, a station and a quick-select button, clicked with
# the mouse, and the key 3 on the main window, must hand exactly those stations' addresses to the desktop's default
# handler. A recording xdg-open stands first on the PATH in place of the user's browser.
#   play_stations.sh PROGRAM SEED_CATALOGUE SETTINGS PROJECT_ROOT
set -euo pipefail

program=$1 catalogue=$2 settings=$3 root=$4
# shellcheck source=tests/e2e/common.sh
source "$root/tests/e2e/common.sh"

address_of() {
    sqlite3 "$catalogue" "SELECT 网址 FROM radio WHERE 类别 = '$1' ORDER BY rowid LIMIT 1"
}

record_shell_handoffs

desktop_start_display || fail "the virtual X server could not start"
desktop_start_program "$program" "$catalogue" "$settings" || fail "the program did not start"

desktop_click main 367 607   # TV toggle
desktop_click tv 4380 690    # 国内电视
desktop_click tv 600 250     # first station of the list
desktop_click main 1170 1170 # quick-select button 2
xdotool windowfocus --sync "$desktop_main" key 3 # quick-select slot 3

expected=$(printf '%s\n' "$(address_of 国内电视)" "$(address_of 快速选台二)" "$(address_of 快速选台三)")
opened=$(handed_off 3)
[ "$opened" = "$expected" ] || fail "expected the shell to open
$expected
but it opened
$opened"
kill -0 "$desktop_app" 2>/dev/null || fail "the program ended"
echo "PASS: the shell opened
$opened"
