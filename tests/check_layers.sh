#!/usr/bin/env bash
# No part of the program uses a part above it or beside it, in the layers of the README's Layout:
#   app -> cli, windows -> runtime -> playing -> internet -> playlists, health, guide, jet -> catalogue, profile
#       -> desktop, sqlite -> core
# and only the windows' side (app, windows and their form runtime) uses Qt Widgets: no other part includes a header of
# Qt Widgets, links Qt6::Widgets or uses a part that does, so that the commands and the stores run without a screen.
# Looked at twice: every #include of a file under src/, and every link between the program's targets in CMake's own
# graph (cmake --graphviz). The pictures of resources/ stand beside core, the windows under windows/ count as one part.
#   tests/check_layers.sh SOURCE_DIR
set -euo pipefail
cd "$1"

declare -A layer=([app]=0 [cli]=1 [windows]=1 [runtime]=2 [playing]=3 [internet]=4 [playlists]=5 [health]=5 [guide]=5
    [jet]=5 [catalogue]=6 [profile]=6 [desktop]=7 [sqlite]=7 [core]=8 [resources]=8)
declare -A onWidgets=([app]=1 [windows]=1 [runtime]=1 [Qt6::Widgets]=1)
widgetHeaders=$(qtpaths6 --query QT_INSTALL_HEADERS)/QtWidgets
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
    if [ -n "${onWidgets[$2]:-}" ] && [ -z "${onWidgets[$1]:-}" ]; then
        echo "$3: $1 uses $2, which is on Qt Widgets: only the windows may"
        wrong=1
        return
    fi
    if [ "$2" = Qt6::Widgets ]; then
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

# A Qt header by its class name or its module: <QWidget>, <QtWidgets/QWidget>, <QtWidgets>.
while IFS= read -r found; do
    file=${found%%:*}
    included=${found#*#include <}
    included=${included%%>*}
    if [[ $included == QtWidgets* ]] || [ -e "$widgetHeaders/$included" ]; then
        check "$(part "$file")" Qt6::Widgets "${found%%:#*}"
    fi
done < <(git grep -n '#include <Q' -- src)

# Each target by the folder whose CMakeLists.txt makes it.
declare -A target_part
while IFS= read -r found; do
    target=${found#*add_*(}
    target_part[${target%%[ )]*}]=$(part "${found%%:*}")
done < <(git grep -E '^(add_library|add_executable)\(' -- 'src/*CMakeLists.txt' resources/CMakeLists.txt)

graph=$(mktemp -d)
trap 'rm -rf "$graph"' EXIT
# The project's own picture of the graph, with the libraries it links from outside, Qt6::Widgets among them.
printf 'include(%s/CMakeGraphVizOptions.cmake)\nset(GRAPHVIZ_EXTERNAL_LIBS TRUE)\n' "$PWD" >"$graph/CMakeGraphVizOptions.cmake"
cmake -S . -B "$graph" -G Ninja --graphviz="$graph/deps.dot" >/dev/null
# Edges read: "node3" -> "node2"  // forms -> runtime
target_part[Qt6::Widgets]=Qt6::Widgets
while read -r user used; do
    if [ -n "${target_part[$user]:-}" ] && [ -n "${target_part[$used]:-}" ]; then
        check "${target_part[$user]}" "${target_part[$used]}" "target $user links $used"
    fi
done < <(sed -n 's|.*// \([^ ]*\) -> \([^ ]*\)$|\1 \2|p' "$graph/deps.dot")

exit $wrong
