#!/usr/bin/env bash
# Every C++ file follows the project's .clang-format.
set -euo pipefail
cd "$1"
find app appearance bench editor forms panels platform presets resources stores tests -name '*.cpp' -o -name '*.h' |
    xargs clang-format --dry-run -Werror
