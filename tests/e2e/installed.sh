#!/usr/bin/env bash
# End to end on a virtual X server, the program as a desktop starts it once installed: from its menu entry, with
# its data in the user's home folder. A second start hands over to the running copy and ends; a data folder that
# cannot be made is said in a box, and the program ends with a failure.
#   installed.sh PROJECT_ROOT BUILD_DIR        installs the build into a throw-away prefix first
#   installed.sh PROJECT_ROOT --prefix PREFIX  the program installed under PREFIX (tools/package --try: /usr)
set -euo pipefail

root=$1
# shellcheck source=tests/e2e/common.sh
source "$root/tests/e2e/common.sh"

if [ "$2" = --prefix ]; then
    prefix=$3
else
    prefix="$DESKTOP_WORK/usr"
    cmake --install "$2" --prefix "$prefix" >/dev/null
fi
entry="$prefix/share/applications/org.example.vimaro.desktop"
command=$(sed -n 's/^Exec=//p' "$entry")
[ -n "$command" ] || fail "no Exec line in $entry"

# A user of the desktop: a home folder of their own, the program on the PATH, no data folder chosen.
export HOME="$DESKTOP_WORK/home" PATH="$prefix/bin:$PATH" XDG_RUNTIME_DIR="$DESKTOP_WORK/runtime"
unset XDG_DATA_HOME
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

desktop_start_display || fail "the virtual X server could not start"
# shellcheck disable=SC2086 # the Exec line is a command with its arguments
desktop_run $command || fail "the program did not start from its menu entry"
data="$HOME/.local/share/vimaro"
for file in tv.mdb tvset.ini; do
    cmp -s "$prefix/share/vimaro/$file" "$data/$file" || fail "$data/$file is not the installed copy"
done

# shellcheck disable=SC2086
timeout 10 $command || fail "a second start did not hand over to the running copy and end (exit $?)"
kill -0 "$desktop_app" 2>/dev/null || fail "the running copy ended"
desktop_stop
desktop_start_display || fail "the virtual X server could not start again"

# A file where the data folder's parent should be: the folder cannot be made.
export HOME="$DESKTOP_WORK/blocked"
mkdir -p "$HOME"
: >"$HOME/.local"
# shellcheck disable=SC2086
$command >"$DESKTOP_WORK/program.log" 2>&1 &
program=$!
box=$(timeout 15 xdotool search --sync --onlyvisible --name '^Vimaro2.0$' | head -n 1)
[ -n "$box" ] || fail "no message box about the data folder"
xdotool windowfocus --sync "$box" key Return
status=0
wait "$program" || status=$?
[ "$status" -eq 1 ] || fail "a start without a data folder ended with $status, not 1"
grep -q "cannot create the data folder $HOME/.local/share/vimaro" "$DESKTOP_WORK/program.log" ||
    fail "the terminal was not told which data folder could not be made"
echo "PASS: started from its menu entry with its data in $data; a second start handed over; a blocked data folder was reported"
