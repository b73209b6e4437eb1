#!/usr/bin/env bash
# End to end on a real X server: choosing 翡翠绿 on the appearance panel and releasing 保存设置 writes the theme to
# tvset.ini byte for byte, paints the main window and a panel opened afterwards, and the theme is there again after
# a restart.
#   themes.sh PROGRAM SEED_CATALOGUE SETTINGS PROJECT_ROOT
set -euo pipefail

program=$1 catalogue=$2 settings=$3 root=$4
# shellcheck source=tests/e2e/common.sh
source "$root/tests/e2e/common.sh"

# A spot of bare window background, left of the frames and the lists, in each window.
expect_colour() {
    local colour
    colour=$(desktop_colour "$1" 60 "$2")
    [ "$colour" = "$3" ] || fail "$4: the window shows $colour, not $3"
}

emerald='#C0FFC0'
desktop_start_display || fail "the virtual X server could not start"
desktop_start_program "$program" "$catalogue" "$settings" || fail "the program did not start"
expect_colour main 1500 '#C0C0FF' "at the first start"

desktop_click main 1500 2520  # 外观设置
desktop_click setup 620 367   # 翡翠绿, the first theme
desktop_click setup 1000 2950 # 保存设置

printf '[setup]\r\ncolor=&HC0FFC0\r\n' | cmp - "$DESKTOP_WORK/program/tvset.ini" ||
    fail "tvset.ini holds $(od -c "$DESKTOP_WORK/program/tvset.ini")"
expect_colour main 1500 "$emerald" "after the save"
expect_colour setup 1500 "$emerald" "the appearance panel after the save"
desktop_click main 1807 607 # the radio panel, hidden while the theme was saved
expect_colour radio 300 "$emerald" "the radio panel opened after the save"

desktop_restart_program || fail "the program did not start again"
expect_colour main 1500 "$emerald" "after a restart"
kill -0 "$desktop_app" 2>/dev/null || fail "the program ended"
echo "PASS: 翡翠绿 saved as color=&HC0FFC0 and shown before and after a restart"
