#!/usr/bin/env bash
# Runs one end-to-end scenario against the built program in a real X display of its own: Xvfb, the
# openbox window manager and a session bus, then the scenario (tests/e2e/scenarios.py) as a user would.
# usage: run_scenario.sh TESSARIN TESSARIN_BANK SCENARIO OUTPUT_FOLDER
set -euo pipefail
tessarin=$(realpath "$1") bank_tool=$(realpath "$2") scenario=$3 out=$(realpath -m "$4")
here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb openbox xdotool xmodmap import dbus-run-session; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is not installed"; exit 77; }

mkdir -p "$out"
export XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
work=$(mktemp -d)
cleanup() {
  [[ -n ${wm:-} ]] && kill "$wm" 2>/dev/null || true
  [[ -n ${xvfb:-} ]] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work" "$XDG_RUNTIME_DIR"
}
trap cleanup EXIT

# A display number of our own, told by Xvfb itself once it is ready. Its process id is the one we started
# (other scenarios may run their own Xvfb at the same time: never look it up by name).
Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset -nolisten tcp 3>"$work/display" 2>"$out/xvfb.log" &
xvfb=$!
for _ in $(seq 200); do [[ -s $work/display ]] && break; sleep 0.05; done
read -r display <"$work/display" || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$display
openbox >/dev/null 2>&1 &
wm=$!
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 && break; sleep 0.05; done

cd "$work"
dbus-run-session -- /usr/bin/python3 "$here/scenarios.py" --tessarin "$tessarin" --bank-tool "$bank_tool" \
  --scenario "$scenario" --out "$out" --work "$work" 2> >(grep -v -E 'dbus-daemon|SpiRegistry' >&2)
