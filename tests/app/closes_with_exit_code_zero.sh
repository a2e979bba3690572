#!/usr/bin/env bash
# The program starts in a folder holding data.mdb, shows its window with the caption of its description,
# and ends with exit code 0 when the window is closed.
set -uo pipefail
tessarin=$1 banktool=$2
. "$(dirname "$0")/window_helpers.sh"
folder=$(mktemp -d); trap 'rm -rf "$folder"' EXIT
cd "$folder"
printf 'first question\nsecond question\nthird question\n' > questions.txt
"$banktool" new data.mdb >/dev/null && "$banktool" import data.mdb questions.txt >/dev/null || fail "cannot make the bank"

caption='Tessarinv0.1 powerby Halvorne 20191217 '
"$tessarin" 2> stderr.txt &
pid=$!
window=$(wait_for_window "$caption") || fail "the main window did not appear"
[[ $(xdotool getwindowname "$window") == "$caption" ]] || fail "caption is '$(xdotool getwindowname "$window")'"
# The client area is 658 x 434 and cannot be resized.
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
[[ $geometry == 658x434 ]] || fail "window size is $geometry"
wmctrl -c "$caption"
wait_for_exit "$pid"; status=$?
[[ $status == 0 ]] || { cat stderr.txt >&2; fail "exit code $status after closing the window"; }
echo "closed with exit code 0"
