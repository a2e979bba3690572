#!/usr/bin/env bash
# Builds Tessarin, imports the demo questions into build/demo/data.mdb and starts the program there.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/build.sh"
demo="$here/build/demo"
mkdir -p "$demo"
if [[ ! -f $demo/data.mdb ]]; then
  "$here/build/tools/tessarin-bank" new "$demo/data.mdb"
  "$here/build/tools/tessarin-bank" import "$demo/data.mdb" "$here/demo/questions.txt"
fi
cd "$demo"
if [[ -x $here/build/src/app/tessarin ]]; then
  exec "$here/build/src/app/tessarin"
else
  "$here/build/tools/tessarin-bank" count data.mdb tiku
fi
