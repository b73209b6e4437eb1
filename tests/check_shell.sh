#!/usr/bin/env bash
# Every shell script of the project passes shellcheck (its settings in .shellcheckrc): the tools, the test scripts
# and CI's entry, found by their first line, a shebang or the shell directive of a file that is only sourced.
set -euo pipefail
cd "$1"
mapfile -t scripts < <(git grep -I -n -E '^(#!/usr/bin/env (ba)?sh|#!/bin/(ba)?sh|# shellcheck shell=)' |
    sed -n 's/:1:.*//p')
shellcheck "${scripts[@]}"
