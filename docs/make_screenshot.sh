#!/usr/bin/env bash
# Takes docs/screenshot.png: the main window on the demo bank under Xvfb with a window manager, after
# typing a search fragment and clicking the third row of the list.
#   docs/make_screenshot.sh [build folder]      (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tools/tessarin-bank" new "$work/data.mdb" >/dev/null
"$build/tools/tessarin-bank" import "$work/data.mdb" "$here/demo/questions.txt" >/dev/null
mkdir -m 0700 "$work/xdg"
export XDG_RUNTIME_DIR="$work/xdg" HERE="$here" BUILD="$build" WORK="$work"
xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash -c '
  openbox >/dev/null 2>&1 &
  sleep 1
  cd "$WORK" && "$BUILD/src/app/tessarin" &
  app=$!
  for _ in $(seq 50); do
    id=$(xdotool search --pid "$app" --onlyvisible --name Tessarin 2>/dev/null | head -1) && [[ -n $id ]] && break
    sleep 0.2
  done
  sleep 1
  xdotool type --delay 80 "朝"
  sleep 0.5
  import -window "$id" -frame "$HERE/docs/screenshot.png" 2>/dev/null || import -window "$id" "$HERE/docs/screenshot.png"
  kill "$app"
'
echo "docs/screenshot.png written"
