#!/usr/bin/env bash
# End to end on a private session bus with a tray host that reads the tray menu over D-Bus as Xfce's panel does,
# with GetLayout and no AboutToShow (tray_menu_layout): the menu it reads holds every entry, the slots named after
# their stations, 最近播放, 播放器 with the desktop's default checked, 频道设置 and 退出.
#   tray_dbus.sh PROGRAM SEED_CATALOGUE SETTINGS PROJECT_ROOT LAYOUT_READER
set -euo pipefail

if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] || [ "${TRAY_DBUS_PRIVATE:-}" != 1 ]; then
    exec env TRAY_DBUS_PRIVATE=1 dbus-run-session -- bash "$0" "$@"
fi
program=$1 catalogue=$2 settings=$3 root=$4 reader=$5
# shellcheck source=tests/e2e/common.sh
source "$root/tests/e2e/common.sh"

"$reader" >"$DESKTOP_WORK/layout" 2>"$DESKTOP_WORK/reader.log" &
reader_pid=$!
sleep 0.5 # the watcher's name on the bus before the program looks for it
desktop_start_display || fail "the virtual X server could not start"
desktop_start_program "$program" "$catalogue" "$settings" || fail "the program did not start"
wait "$reader_pid" || fail "no tray menu was read over D-Bus: $(cat "$DESKTOP_WORK/reader.log")"

layout=$(cat "$DESKTOP_WORK/layout")
slot=$(sqlite3 "$catalogue" "SELECT 名称 FROM radio WHERE 类别 = '快速选台一' ORDER BY rowid LIMIT 1")
for entry in "快速选台一：$slot" 最近播放 播放器 "  桌面默认" 频道设置 退出; do
    grep -q "^$entry" <<<"$layout" || fail "the menu read over D-Bus has no entry \"$entry\":
$layout"
done
echo "PASS: the tray menu read with GetLayout and no AboutToShow holds all of its $(wc -l <<<"$layout") entries"
