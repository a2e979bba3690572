#!/usr/bin/env bash
# Without data.mdb the program shows two error boxes captioned with its title, then its window; closing
# the window ends it with exit code 0. The title follows the executable's name: a copy named LOOKUP.EXE
# captions its boxes "Lookup".
set -uo pipefail
tessarin=$1
. "$(dirname "$0")/window_helpers.sh"
folder=$(mktemp -d); trap 'rm -rf "$folder"' EXIT
cd "$folder"

check_run() {
  local program=$1 title=$2
  "$program" 2> stderr.txt &
  local pid=$!
  local previous=none
  for box in 1 2; do
    local id=
    for _ in $(seq 150); do
      id=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | grep -vx "$previous" | head -1)
      [[ -n $id ]] && break
      sleep 0.1
    done
    [[ -n $id ]] || fail "error box $box captioned '$title' did not appear"
    xdotool windowactivate --sync "$id" >/dev/null 2>&1 || true
    xdotool key Return
    # The box goes before the next one comes.
    for _ in $(seq 50); do xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | grep -qx "$id" || break; sleep 0.1; done
    previous=$id
  done
  wait_for_window 'Tessarinv0.1 powerby Halvorne 20191217 ' >/dev/null || fail "the main window did not appear"
  wmctrl -c 'Tessarinv0.1 powerby Halvorne 20191217 '
  wait_for_exit "$pid"; local status=$?
  [[ $status == 0 ]] || { cat stderr.txt >&2; fail "exit code $status after closing the window"; }
}

check_run "$tessarin" tessarin
cp "$tessarin" ./LOOKUP.EXE
check_run ./LOOKUP.EXE Lookup
echo "two boxes each time, then the window; exit code 0"
