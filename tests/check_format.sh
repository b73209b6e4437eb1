#!/usr/bin/env bash
# Every C++ file of the project follows its .clang-format; build trees are not the project's files.
set -euo pipefail
cd "$1"
find . \( -path './build*' -o -path './.git' \) -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run -Werror
