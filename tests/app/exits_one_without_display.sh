#!/usr/bin/env bash
# Without a display the window cannot be built: one line on standard error and exit code 1.
set -uo pipefail
tessarin=$1
folder=$(mktemp -d); trap 'rm -rf "$folder"' EXIT
cd "$folder"
mkdir -m 700 runtime
env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$folder/runtime" QT_QPA_PLATFORM=xcb \
  timeout 30 "$tessarin" > stdout.txt 2> stderr.txt
status=$?
[[ $status == 1 ]] || { cat stderr.txt >&2; echo "FAIL: exit code $status, expected 1" >&2; exit 1; }
lines=$(wc -l < stderr.txt)
[[ $lines == 1 ]] || { cat stderr.txt >&2; echo "FAIL: $lines lines on standard error, expected 1" >&2; exit 1; }
grep -q 'cannot be built' stderr.txt || { cat stderr.txt >&2; echo "FAIL: unexpected message" >&2; exit 1; }
[[ ! -s stdout.txt ]] || { echo "FAIL: output on standard output" >&2; exit 1; }
echo "exit code 1: $(cat stderr.txt)"
