#!/usr/bin/env bash
# Builds Tessarin and runs every test through ctest.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/build.sh"
cd "$here/build"
ctest --output-on-failure -j "$(nproc)" --timeout 1200
