#!/usr/bin/env bash
# The layer check itself: on a small tree of its own it fails on each way of reaching Qt Widgets below the windows
# (a header of Qt Widgets, a use of the form runtime, a link to Qt6::Widgets) and passes the same uses in a window.
#   tests/check_layers_fails.sh SOURCE_DIR
set -euo pipefail
check=$(realpath "$1/tests/check_layers.sh")
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
cd "$tree"
git init -q
mkdir -p src/sqlite src/cli src/runtime src/windows/forms src/profile
touch CMakeGraphVizOptions.cmake
printf '#include <QWidget>\n' >src/windows/forms/Window.cpp
printf '#include "runtime/MsgBox.h"\n' >src/windows/forms/Box.cpp
cat >CMakeLists.txt <<'CMAKE'
cmake_minimum_required(VERSION 3.16)
project(layers CXX)
find_package(Qt6 REQUIRED COMPONENTS Widgets)
add_subdirectory(src/profile)
CMAKE
printf 'add_library(profile STATIC IMPORTED)\n' >src/profile/CMakeLists.txt
git add -A

expect() { # OUTCOME WHAT
    local said
    if said=$(bash "$check" . 2>&1); then
        [ "$1" = passes ] || { echo "the check passed $2"; exit 1; }
    else
        if [ "$1" != fails ] || [[ $said != *"only the windows may"* ]]; then
            echo "the check failed $2: $said"
            exit 1
        fi
    fi
}

expect passes "Qt Widgets in a window"
printf '#include <QtWidgets/QDialog>\n' >src/sqlite/Dialog.cpp
git add -A
expect fails "with a header of Qt Widgets in sqlite"
git rm -qf src/sqlite/Dialog.cpp
printf '#include "runtime/MsgBox.h"\n' >src/cli/Box.cpp
git add -A
expect fails "with the form runtime in cli"
git rm -qf src/cli/Box.cpp
printf 'add_library(profile STATIC Profile.cpp)\ntarget_link_libraries(profile PUBLIC Qt6::Widgets)\n' \
    >src/profile/CMakeLists.txt
touch src/profile/Profile.cpp
git add -A
expect fails "with profile linking Qt6::Widgets"
