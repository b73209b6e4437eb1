#!/usr/bin/env bash
# End to end on a real X server: in the channel editor a station is added into quick-select slot 3, found by part
# of its name, chosen and changed; the slot's button on the main window then plays the changed address. A
# recording xdg-open stands first on the PATH in place of the user's player.
#   editor.sh PROGRAM SEED_CATALOGUE SETTINGS PROJECT_ROOT
set -euo pipefail

program=$1 seed=$2 settings=$3 root=$4
# shellcheck source=tests/e2e/common.sh
source "$root/tests/e2e/common.sh"

# The slot starts empty, so that its button plays the station added here and no other.
catalogue="$DESKTOP_WORK/tv.mdb"
cp "$seed" "$catalogue"
chmod u+w "$catalogue"
sqlite3 "$catalogue" "DELETE FROM radio WHERE 类别 = '快速选台三'"

record_shell_handoffs

slot_station() {
    sqlite3 "$DESKTOP_WORK/program/tv.mdb" "SELECT 名称 || ' ' || 网址 FROM radio WHERE 类别 = '快速选台三'"
}

# The message box of the last action goes with Enter, as a user closes it.
close_box() {
    sleep 0.5
    xdotool key Return
    sleep 0.4
}

desktop_start_display || fail "the virtual X server could not start"
desktop_start_program "$program" "$catalogue" "$settings" || fail "the program did not start"

desktop_click main 1300 2900 # 频道设置
editor=$(desktop_editor_window) || fail "the channel editor did not come up"

desktop_click_editor 4300 630 # Combo1
desktop_type_over 快速选台三
desktop_click_editor 1900 630 # Text1
desktop_type_over 端到端测试台
desktop_click_editor 2800 1110 # Text2
desktop_type_over http://e2e.example/before
desktop_click_editor 1980 1500 # Image1: 添加
close_box
[ "$(slot_station)" = "端到端测试台 http://e2e.example/before" ] || fail "the slot holds '$(slot_station)' after the add"

desktop_click_editor 3000 2190 # Text3
desktop_type_over 到端测
desktop_click_editor 4440 2220 # Image3: 搜索
caption=$(xdotool getwindowname "$editor")
[ "$caption" = "总共找到1 记录" ] || fail "the editor's caption reads '$caption' after the search"

desktop_click_editor 900 2380 # the first line of List1
desktop_click_editor 3600 3030 # Text4
desktop_type_over 端到端已改台
desktop_click_editor 3600 3390 # Text5
desktop_type_over http://e2e.example/after
desktop_click_editor 2700 3900 # Image4: 修改
close_box
[ "$(slot_station)" = "端到端已改台 http://e2e.example/after" ] || fail "the slot holds '$(slot_station)' after the change"

desktop_click main 1650 1170 # quick-select button 3
opened=$(handed_off)
[ "$opened" = "http://e2e.example/after" ] || fail "the slot's button opened '$opened'"
kill -0 "$desktop_app" 2>/dev/null || fail "the program ended"
echo "PASS: added, found and changed in the channel editor; the slot plays $opened"
