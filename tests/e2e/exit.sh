#!/usr/bin/env bash
# End to end on a real X server with a clipboard manager (clipboard_manager.py): after the exit button the program
# ends without handing text merely selected in a box to the manager, which would keep it running, windows gone, until
# the manager took it; text copied with Ctrl+C is still handed over, so that it can be pasted after the end.
#   exit.sh PROGRAM SEED_CATALOGUE SETTINGS PROJECT_ROOT
set -euo pipefail

program=$1 catalogue=$2 settings=$3 root=$4
# shellcheck source=tests/e2e/common.sh
source "$root/tests/e2e/common.sh"
/usr/bin/python3 -c 'import Xlib' 2>/dev/null || fail "python3-xlib is not installed (apt-get install python3-xlib)"

# Writes "abc" into the channel editor's name box and selects it, then KEYS, then the exit button; waits for the end.
select_then_exit() {
    desktop_click main 1400 2900 # 频道设置
    desktop_click_editor 1500 600
    xdotool type abc
    xdotool key shift+Home "$@"
    sleep 0.3
    desktop_click main 1440 600 # the exit button
    for _ in $(seq 100); do
        kill -0 "$desktop_app" 2>/dev/null || return 0
        sleep 0.1
    done
    fail "the program did not end after the exit button"
}

desktop_start_display || fail "the virtual X server could not start"
/usr/bin/python3 "$root/tests/e2e/clipboard_manager.py" >"$DESKTOP_WORK/manager.log" 2>&1 &
for _ in $(seq 50); do
    grep -q ready "$DESKTOP_WORK/manager.log" && break
    sleep 0.1
done
desktop_start_program "$program" "$catalogue" "$settings" || fail "the program did not start"

select_then_exit
! grep -q "took over" "$DESKTOP_WORK/manager.log" || fail "selected text was handed to the clipboard manager at the end"
desktop_restart_program || fail "the program did not start again"
select_then_exit ctrl+c
grep -q "took over" "$DESKTOP_WORK/manager.log" || fail "copied text was not handed to the clipboard manager at the end"
echo "PASS: the program ended without handing selected text to the clipboard manager, and handed over copied text"
