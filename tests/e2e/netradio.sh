#!/usr/bin/env bash
# End to end on a real X server against a web server on 127.0.0.1 that stands in for the radio directory and serves
# a playlist: 网络电台 opened by its key searches the directory, two results chosen go into 海外广播 and play from
# the radio panel; a list subscribed from the window changes and the daily update (every 3 s here) brings the change
# and its report; a category checked from the window finds the dead station, which the window then marks.
#   netradio.sh PROGRAM SEED_CATALOGUE SETTINGS PROJECT_ROOT SERVE_STATIONS [SCREENSHOT]
set -euo pipefail

program=$1 seed=$2 settings=$3 root=$4 serve=$5 picture=${6:-}
# shellcheck source=tests/e2e/common.sh
source "$root/tests/e2e/common.sh"

served="$DESKTOP_WORK/served"
mkdir "$served"
cat >"$served/search.json" <<'JSON'
[{"stationuuid":"a1","name":"Swiss Jazz Test","url":"http://jazz.example/1","url_resolved":"http://jazz.example/1","homepage":"","tags":"jazz","country":"Switzerland","countrycode":"CH","language":"german","codec":"MP3","bitrate":128,"votes":10853},
 {"stationuuid":"a2","name":"Jazz Radio Test","url":"http://jazz.example/2","url_resolved":"","homepage":"","tags":"jazz","country":"France","countrycode":"FR","language":"french","codec":"MP3","bitrate":128,"votes":3188},
 {"stationuuid":"a3","name":"KCSM Jazz Test","url":"http://jazz.example/3","url_resolved":"","homepage":"","tags":"jazz","country":"USA","countrycode":"US","language":"english","codec":"AAC+","bitrate":64,"votes":1420}]
JSON
list() { # the list's one station's address
    printf '#EXTM3U\n#EXTINF:-1 tvg-id="n1" group-title="个性电视",订阅新闻台\n%s\n' "$1" >"$served/news.m3u"
}
list http://127.0.0.1:1/first
serve_folder "$serve" "$served" 90
address=$served_at
export VIMARO_DIRECTORY_SERVER=$address VIMARO_SUBSCRIPTION_INTERVAL=3
db() { sqlite3 "$DESKTOP_WORK/program/tv.mdb" "$1"; }
wait_for() { # SQL EXPECTED: up to 10 s for the query to give EXPECTED
    for _ in $(seq 100); do
        [ "$(db "$1" 2>/dev/null)" = "$2" ] && return 0
        sleep 0.1
    done
    return 1
}

record_shell_handoffs
desktop_start_display || fail "the virtual X server could not start"
desktop_start_program "$program" "$seed" "$settings" || fail "the program did not start"
xdotool windowfocus --sync "$desktop_main" key n
window=$(desktop_window_sized "WIDTH == 6600 / 15 + 2 && HEIGHT == 5160 / 15 + 2") || fail "N did not open 网络电台 (订阅 folded)"
# Clicks at (X, Y) twips in 网络电台's client area, wherever the screen let it open.
click_net() {
    # shellcheck disable=SC2034 # set by xdotool's --shell output
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + 1 + $1 / 15)) $((Y + 1 + $2 / 15)) click 1
    sleep 0.4
}

# 搜索电台: the search box has the keyboard; two results of three chosen go into 海外广播.
desktop_type jazz
xdotool key Return
sleep 1
click_net 1500 1680 # the first result (the list begins at 1560 twips, a line is 16 pixels)
xdotool keydown ctrl
click_net 1500 2160 # ... and the third
xdotool keyup ctrl
xdotool key alt+a
wait_for "SELECT group_concat(名称, '|') FROM radio WHERE 类别 = '海外广播' AND 名称 LIKE '%Test'" \
    "Swiss Jazz Test|KCSM Jazz Test" || fail "the two results are not in 海外广播: $(db "SELECT 名称 FROM radio WHERE 名称 LIKE '%Test'")"
sleep 0.5
xdotool key Return # the report's box
sleep 0.3

# In the radio panel: 海外广播 listed, its last line plays the last station added.
desktop_click main 1800 600  # the radio toggle
desktop_click radio 400 1400 # 海外广播
desktop_click radio 1500 250 # its first station, then the last
xdotool key End
for _ in $(seq 50); do
    grep -q '^http://jazz.example/3$' "$RECORD" && break
    sleep 0.1
done
[ "$(tail -n 1 "$RECORD")" = "http://jazz.example/3" ] || fail "the radio panel played '$(cat "$RECORD")'"

# 订阅: subscribed from the window; the list changes; the daily update brings the change and says so.
xdotool windowfocus --sync "$desktop_main" key n
sleep 0.3
xdotool key alt+o # unfolds 订阅
sleep 0.3
click_net 2000 6150 # the address box
desktop_type_over "${address}news.m3u"
xdotool key alt+d
wait_for "SELECT 网址 FROM radio WHERE 名称 = '订阅新闻台'" "http://127.0.0.1:1/first" || fail "the subscription brought nothing"
list http://127.0.0.1:1/second
wait_for "SELECT 网址 FROM radio WHERE 名称 = '订阅新闻台'" "http://127.0.0.1:1/second" ||
    fail "the daily update did not follow the list: $(db "SELECT outcome FROM subscription_attempt")"
wait_for "SELECT outcome FROM subscription_attempt" "新增 0 个，变更 1 个" ||
    fail "the update's report: $(db "SELECT outcome FROM subscription_attempt")"

# A check of 个性电视 from the window finds the subscribed station dead; the window marks it.
click_net 4800 6150 # the category box
desktop_type_over 个性电视
xdotool key alt+k
wait_for "SELECT result FROM station_health h JOIN radio r ON r.rowid = h.station WHERE r.名称 = '订阅新闻台'" refused ||
    fail "the check found no dead station: $(db "SELECT * FROM station_health")"
sleep 1
if [ -n "$picture" ]; then
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + 1 + 1200 / 15)) $((Y + 1 + 6800 / 15)) # the dead station, for its tooltip
    sleep 1.5
    /usr/bin/import -window root -crop "$(desktop_program_bounds)" "$picture"
fi
echo "PASS: searched, added two into 海外广播 and played one from the radio panel; subscribed, updated by itself with its report; a dead station found"
