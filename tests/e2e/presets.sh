#!/usr/bin/env bash
# End to end on a real X server: a quick-select slot chosen from the preset editor's list shows its station in
# the two boxes, a new name and web address saved say "频道数据已更新！", and the slot's button on the main window
# then hands the new address to the desktop's default handler, a recording xdg-open first on the PATH. The boxes
# and the message are read back through the clipboard.
#   presets.sh PROGRAM SEED_CATALOGUE SETTINGS PROJECT_ROOT
set -euo pipefail

program=$1 catalogue=$2 settings=$3 root=$4
# shellcheck source=tests/e2e/common.sh
source "$root/tests/e2e/common.sh"

slot2() {
    sqlite3 "$1" "SELECT $2 FROM radio WHERE 类别 = '快速选台二' ORDER BY rowid LIMIT 1"
}

# Copies the text of the box under (X, Y) twips of the preset editor.
box_text() {
    desktop_click presets "$1" "$2"
    xdotool key ctrl+a ctrl+c
    sleep 0.2
    desktop_clipboard
}

# Types TEXT into the box under (X, Y) twips of the preset editor, in place of what it holds.
rewrite_box() {
    desktop_click presets "$1" "$2"
    xdotool key ctrl+a BackSpace
    desktop_type "$3"
}

record_shell_handoffs

desktop_start_display || fail "the virtual X server could not start"
desktop_start_program "$program" "$catalogue" "$settings" || fail "the program did not start"

desktop_click main 540 2535       # 预置电台
desktop_click presets 1850 1350   # the chooser's arrow opens its list
xdotool key Down Return           # the second line, 快速选台二
sleep 0.4

name=$(box_text 1000 1935)
address=$(box_text 1000 2535)
[[ $name == "$(slot2 "$catalogue" 名称)" && $address == "$(slot2 "$catalogue" 网址)" ]] ||
    fail "choosing 快速选台二 showed \"$name\" and \"$address\""

new_name="端到端 测试台"
new_address="http://e2e.example/preset?slot=2"
rewrite_box 1000 1935 "$new_name"
rewrite_box 1000 2535 "$new_address"
desktop_click presets 1080 2920   # 保存修改

box=$(timeout 10 xdotool search --sync --onlyvisible --name '^Vimaro2\.0$' | head -n 1)
[ -n "$box" ] || fail "saving showed no message box"
xdotool windowfocus --sync "$box" key ctrl+c
sleep 0.2
desktop_clipboard | grep -qx '频道数据已更新！' || fail "the box after saving said: $(desktop_clipboard)"
xdotool key Return
sleep 0.4

stored="$DESKTOP_WORK/program/tv.mdb"
[[ $(slot2 "$stored" 名称) == "$new_name" && $(slot2 "$stored" 网址) == "$new_address" ]] ||
    fail "the catalogue holds \"$(slot2 "$stored" 名称)\" and \"$(slot2 "$stored" 网址)\" for 快速选台二"

desktop_click main 1170 1170      # quick-select button 2
opened=$(handed_off)
[ "$opened" = "$new_address" ] || fail "quick-select button 2 opened \"$opened\" instead of $new_address"
kill -0 "$desktop_app" 2>/dev/null || fail "the program ended"
echo "PASS: 快速选台二 showed \"$name\", now plays $opened"
