#!/usr/bin/env bash
# Builds the session fuzzer with clang's libFuzzer and AddressSanitizer and
# runs it. Not part of the test suite.
#   tests/fuzz/run.sh [SECONDS]      (default 600)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
seconds="${1:-600}"
out="$root/build-fuzz"
mkdir -p "$out/work" "$out/corpus"
sources=$(find "$root/engine" -name '*.cpp' | sort)
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -DMORVANE_BUILDING_LIBRARY -I"$root/include" -I"$root/engine" \
  $sources "$root/tests/fuzz/session_fuzz.cpp" -o "$out/session_fuzz" -pthread -ldl
cp -n "$root"/tests/fuzz/corpus/* "$out/corpus/" 2>/dev/null || true
# Run inside an empty folder so include directives find nothing to read.
cd "$out/work"
ASAN_OPTIONS=detect_leaks=1 "$out/session_fuzz" -max_total_time="$seconds" -timeout=10 \
  -rss_limit_mb=2048 -max_len=4096 "$out/corpus" 2>&1 | tail -n 20
