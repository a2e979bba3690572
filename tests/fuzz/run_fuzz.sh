#!/usr/bin/env bash
# Builds every libFuzzer target (tests/fuzz/*_fuzz.cpp) in a separate clang build with address and
# undefined-behaviour checks, then runs each for a bounded time on a seed corpus: the real Access
# files, and banks made by this project when a folder of them is named in TESSARIN_CREATED_BANKS.
# An input that makes a fuzzer fail is copied to tests/fuzz/regressions/<fuzzer>/ and the run fails.
#   run_fuzz.sh SOURCE_DIR BUILD_DIR      (TESSARIN_FUZZ_SECONDS, default 60, per fuzzer)
set -euo pipefail
source_dir=$(cd "${1:?source folder}" && pwd)
build_dir=${2:?build folder}
seconds=${TESSARIN_FUZZ_SECONDS:-60}
fixtures=${TESSARIN_FIXTURES:-$source_dir/../shared/fixtures}
clangxx=$(command -v clang++ || command -v clang++-14)
clangc=$(command -v clang || command -v clang-14)

sanitize="-fsanitize=address,undefined -fsanitize=fuzzer-no-link -fno-omit-frame-pointer"
cmake -S "$source_dir" -B "$build_dir" -G Ninja -DTESSARIN_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER="$clangxx" -DCMAKE_C_COMPILER="$clangc" \
  -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_C_FLAGS="$sanitize" >/dev/null

targets=()
for src in "$source_dir"/tests/fuzz/*_fuzz.cpp; do
  [ -e "$src" ] || continue
  targets+=("$(basename "$src" .cpp)")
done
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets"; exit 0; }
cmake --build "$build_dir" --target "${targets[@]}" -j2

status=0
for target in "${targets[@]}"; do
  name=${target%_fuzz}
  corpus="$build_dir/corpus/$name"
  artifacts="$build_dir/artifacts/$name"
  mkdir -p "$corpus" "$artifacts"
  # Seeds: the real Access files (not the largest, which slows every run) and any created banks.
  if [ -d "$fixtures" ]; then
    find "$fixtures" -maxdepth 1 -name '*.mdb' -size -400k -exec cp -n {} "$corpus/" \;
  fi
  if [ -n "${TESSARIN_CREATED_BANKS:-}" ] && [ -d "$TESSARIN_CREATED_BANKS" ]; then
    find "$TESSARIN_CREATED_BANKS" -maxdepth 1 -name '*.mdb' -size -400k -exec cp -n {} "$corpus/" \;
  fi
  if [ -d "$source_dir/tests/fuzz/seeds/$name" ]; then
    cp -n "$source_dir/tests/fuzz/seeds/$name"/* "$corpus/" 2>/dev/null || true
  fi
  echo "== $target for ${seconds}s"
  if ! "$build_dir/tests/fuzz/$target" "$corpus" -max_total_time="$seconds" -max_len=400000 -timeout=10 \
      -rss_limit_mb=2048 -malloc_limit_mb=1024 -artifact_prefix="$artifacts/" -print_final_stats=1; then
    status=1
  fi
  found=$(find "$artifacts" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | head -20)
  if [ -n "$found" ]; then
    mkdir -p "$source_dir/tests/fuzz/regressions/$name"
    for f in $found; do cp "$f" "$source_dir/tests/fuzz/regressions/$name/"; echo "failing input kept: tests/fuzz/regressions/$name/$(basename "$f")"; done
    status=1
  fi
done
rm -f "${TMPDIR:-/tmp}"/tessarin-jet-fuzz-*.mdb
exit $status
