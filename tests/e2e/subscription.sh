#!/usr/bin/env bash
# End to end on a real X server and a web server on 127.0.0.1: a playlist is subscribed to, its station is changed
# in the channel editor as a user changes it, the list changes the same station's address, and the update keeps the
# user's name and address and says so.
#   subscription.sh PROGRAM SEED_CATALOGUE SETTINGS PROJECT_ROOT SERVE_STATIONS
set -euo pipefail

program=$1 seed=$2 settings=$3 root=$4 serve=$5
# shellcheck source=tests/e2e/common.sh
source "$root/tests/e2e/common.sh"

mkdir "$DESKTOP_WORK/lists"
list() {
    printf '#EXTM3U\n#EXTINF:-1 tvg-id="sub" group-title="海外电视",订阅测试台\n%s\n' "$1" >"$DESKTOP_WORK/lists/news.m3u"
}
list http://list.example/1
# The server ends by itself after a minute, and with the test when it ends sooner.
serve_folder "$serve" "$DESKTOP_WORK/lists" 60
address="${served_at}news.m3u"

station() {
    sqlite3 "$DESKTOP_WORK/program/tv.mdb" "SELECT 名称 || ' ' || 网址 FROM radio WHERE 类别 = '海外电视' AND rowid =
        (SELECT max(rowid) FROM radio)"
}

desktop_start_display || fail "the virtual X server could not start"
desktop_start_program "$program" "$seed" "$settings" || fail "the program did not start"
vimaro="$DESKTOP_WORK/program/vimaro"
# The commands speak the locale's language; what they say is read here in English.
export LC_ALL=C.UTF-8
"$vimaro" subscribe "$address" >"$DESKTOP_WORK/subscribed" || fail "subscribe failed: $(cat "$DESKTOP_WORK/subscribed")"
[ "$(station)" = "订阅测试台 http://list.example/1" ] || fail "the subscription brought '$(station)'"

desktop_click main 1300 2900 # 频道设置
desktop_editor_window >/dev/null || fail "the channel editor did not come up"
desktop_click_editor 3000 2190 # Text3
desktop_type_over 订阅测试
desktop_click_editor 4440 2220 # Image3: 搜索
desktop_click_editor 900 2380  # the first line of List1
desktop_click_editor 3600 3030 # Text4
desktop_type_over 我的订阅台
desktop_click_editor 3600 3390 # Text5
desktop_type_over http://mine.example/
desktop_click_editor 2700 3900 # Image4: 修改
sleep 0.5
xdotool key Return
sleep 0.4
[ "$(station)" = "我的订阅台 http://mine.example/" ] || fail "the editor left '$(station)'"

list http://list.example/2
"$vimaro" update >"$DESKTOP_WORK/updated" || fail "update failed: $(cat "$DESKTOP_WORK/updated")"
[ "$(station)" = "我的订阅台 http://mine.example/" ] || fail "the update made it '$(station)'"
grep -q '^Your edits kept: *1' "$DESKTOP_WORK/updated" || fail "the update did not say the edit was kept: $(cat "$DESKTOP_WORK/updated")"
echo "PASS: subscribed, changed in the channel editor, updated: the change stays, and the update says so"
