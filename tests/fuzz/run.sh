#!/usr/bin/env bash
# Replays every seed of a fuzz target, then lets libFuzzer search on from them for a fixed time. What it finds on
# the way goes to a throw-away folder, never into the tree; a crash prints its input and fails the test.
#   run.sh FUZZ_TARGET SEED_FOLDER SECONDS [FUZZING OPTIONS...]     (0 seconds: replay only)
set -euo pipefail

target=$1 seeds=$2 seconds=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

shopt -s nullglob
inputs=("$seeds"/*)
[ ${#inputs[@]} -gt 0 ] || { echo "no seeds in $seeds" >&2; exit 1; }
"$target" "${inputs[@]}"
[ "$seconds" -gt 0 ] || exit 0
"$target" -max_total_time="$seconds" -timeout=10 -artifact_prefix="$work/" "$@" "$work" "$seeds"
