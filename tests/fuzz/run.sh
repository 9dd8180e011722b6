#!/usr/bin/env bash
# Builds a fuzzer with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer and runs it. Not part of the test suite.
#   tests/fuzz/run.sh [TARGET] [SECONDS]
# TARGET is session (scripts given to a session; the default) or value_file
# (bytes loaded as a value file); SECONDS defaults to 600. The corpus of a
# target is tests/fuzz/corpus (session) or tests/fuzz/corpus_TARGET; new
# inputs the fuzzer finds stay in build-fuzz/TARGET/corpus.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
target=session
if [[ $# -gt 0 && ! "$1" =~ ^[0-9]+$ ]]; then
  target="$1"
  shift
fi
seconds="${1:-600}"
case "$target" in
  session) seeds="$root/tests/fuzz/corpus" ;;
  value_file) seeds="$root/tests/fuzz/corpus_value_file" ;;
  *) echo "unknown fuzz target: $target" >&2; exit 2 ;;
esac

# clang and its runtime libraries (libFuzzer, the sanitizers).
if ! command -v clang++ > /dev/null || ! dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null |
     grep -q "install ok installed"; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq < /dev/null
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    clang libclang-rt-14-dev < /dev/null
fi

out="$root/build-fuzz/$target"
mkdir -p "$out/work" "$out/corpus"
sources=$(find "$root/engine" -name '*.cpp' | sort)
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -DMORVANE_BUILDING_LIBRARY -I"$root/include" -I"$root/engine" \
  $sources "$root/tests/fuzz/${target}_fuzz.cpp" -o "$out/${target}_fuzz" -pthread -ldl
cp -n "$seeds"/* "$out/corpus/" 2>/dev/null || true
# Run inside an empty folder so include directives find nothing to read and
# the files a target writes stay there.
cd "$out/work"
ASAN_OPTIONS=detect_leaks=1 "$out/${target}_fuzz" -max_total_time="$seconds" -timeout=10 \
  -rss_limit_mb=2048 -max_len=4096 "$out/corpus" 2>&1 | tail -n 20
