#!/usr/bin/env bash
# Builds the archive fuzz target with clang (libFuzzer, ASan, UBSan) and runs it
# on the archive fixtures for a number of seconds.
#   tools/fuzz.sh [SECONDS] [BUILD_DIR]        (defaults: 60, build/fuzz)
# Needs clang and libclang-rt-14-dev (the libFuzzer runtime). New inputs that
# the run finds are kept in BUILD_DIR/corpus; crashes land in BUILD_DIR.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
build="${2:-$root/build/fuzz}"
mkdir -p "$build/corpus"

sources=(
  "$root"/src/archive/*.cpp
  "$root"/src/archive/decoders/*.cpp
  "$root"/src/archive/crypto/*.cpp
)
# Portable and POSIX files only.
portable=()
for f in "${sources[@]}"; do
  [[ "$f" == *_win.cpp ]] && continue
  portable+=("$f")
done

clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/src" "${portable[@]}" "$root/fuzz/ArchiveFuzzer.cpp" -lz -lcrypto -o "$build/archive-fuzzer"

cp -n "$root"/tests/data/archive/*.zip "$root"/tests/data/archive/public/*.zip "$build/corpus/" 2>/dev/null || true
# The shrunk, reduced and imploded archives seed the decoders of those methods.
cp -n "$root"/tests/data/legacy/*.zip "$root"/tests/data/legacy/*.ZIP "$build/corpus/" 2>/dev/null || true
cd "$build"
./archive-fuzzer -max_total_time="$seconds" -max_len=200000 -timeout=10 -rss_limit_mb=1024 corpus
