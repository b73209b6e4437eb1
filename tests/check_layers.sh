#!/usr/bin/env bash
# No part of the program uses a part above it or beside it, in the layers of the README's Layout:
#   app -> cli, windows -> playing -> internet -> playlists, health, guide, jet -> catalogue, profile -> desktop, sqlite -> runtime
# Looked at twice: every #include "folder/..." of a file under src/, and every link between the program's targets in
# CMake's own graph (cmake --graphviz). The pictures of resources/ stand beside runtime, the windows under windows/
# count as one part.
#   tests/check_layers.sh SOURCE_DIR
set -euo pipefail
cd "$1"

declare -A layer=([app]=0 [cli]=1 [windows]=1 [playing]=2 [internet]=3 [playlists]=4 [health]=4 [guide]=4 [jet]=4
    [catalogue]=5 [profile]=5 [desktop]=6 [sqlite]=6 [runtime]=7 [resources]=7)
wrong=0

# The part a file belongs to: src/windows/editor/ChannelEditor.cpp is windows, resources/Pictures.h resources.
part() {
    local path=${1#src/}
    echo "${path%%/*}"
}

check() { # USER USED WHERE
    if [ "$1" = "$2" ]; then
        return
    fi
    if [ -z "${layer[$1]:-}" ] || [ -z "${layer[$2]:-}" ]; then
        echo "$3: $1 uses $2, and the layers know only ${!layer[*]}"
        wrong=1
    elif ((layer[$2] <= layer[$1])); then
        echo "$3: $1 uses $2, which is not below it"
        wrong=1
    fi
}

while IFS= read -r found; do
    file=${found%%:*}
    included=${found#*#include \"}
    # An include without a folder is a file beside the includer.
    if [[ $included == */* ]]; then
        check "$(part "$file")" "${included%%/*}" "${found%%:#*}"
    fi
done < <(git grep -n '#include "' -- src)

# Each target by the folder whose CMakeLists.txt makes it.
declare -A target_part
while IFS= read -r found; do
    target=${found#*add_*(}
    target_part[${target%%[ )]*}]=$(part "${found%%:*}")
done < <(git grep -E '^(add_library|add_executable)\(' -- 'src/*CMakeLists.txt' resources/CMakeLists.txt)

graph=$(mktemp -d)
trap 'rm -rf "$graph"' EXIT
cmake -S . -B "$graph" -G Ninja --graphviz="$graph/deps.dot" >/dev/null
# Edges read: "node3" -> "node2"  // forms -> runtime
while read -r user used; do
    if [ -n "${target_part[$user]:-}" ] && [ -n "${target_part[$used]:-}" ]; then
        check "${target_part[$user]}" "${target_part[$used]}" "target $user links $used"
    fi
done < <(sed -n 's|.*// \([^ ]*\) -> \([^ ]*\)$|\1 \2|p' "$graph/deps.dot")

exit $wrong
