#!/usr/bin/env bash
# Runs a script under a virtual X display with a window manager: with_display.sh SCRIPT ARGS...
set -euo pipefail
for tool in xvfb-run openbox xdotool wmctrl; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
runtime=$(mktemp -d)
chmod 700 "$runtime"
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime
unset QT_QPA_PLATFORM
exec xvfb-run -a -s '-screen 0 1280x1024x24 -noreset' bash -c '
  openbox >/dev/null 2>&1 &
  wm=$!
  for _ in $(seq 50); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done
  bash "$@"; status=$?
  kill $wm 2>/dev/null
  exit $status' with_display "$@"
