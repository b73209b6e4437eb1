#!/usr/bin/env bash
# End to end under openbox, a classic X11 window manager, which minimises and stacks the windows by their hints: a
# preset editor opened after the on-top TV panel stays below it, and minimising with all five side windows open
# takes only the browser panels along, which come back on restoring.
#   openbox.sh PROGRAM SEED_CATALOGUE SETTINGS PROJECT_ROOT
set -euo pipefail

program=$1 catalogue=$2 settings=$3 root=$4
# shellcheck source=tests/e2e/common.sh
source "$root/tests/e2e/common.sh"
# shellcheck source=tests/e2e/side_windows.sh
source "$root/tests/e2e/side_windows.sh"

click_main() {
    desktop_click main "$1" "$2"
}

desktop_start_openbox || fail "openbox could not start"
desktop_start_program "$program" "$catalogue" "$settings" || fail "the program did not start under openbox"

click_main 367 607 # TV toggle
expect_presets_below_tv_panel
click_main 1807 607 # radio toggle
click_main 1500 2520 # 外观设置
click_main 1500 2900 # 频道设置
expect_minimise_keeps_side_windows

kill -0 "$desktop_app" 2>/dev/null || fail "the program ended"
echo "PASS: under openbox the preset editor stays below the on-top TV panel; minimising keeps the three other side windows"
