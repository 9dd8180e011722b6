#!/usr/bin/env bash
# Builds a fuzz target with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer and runs it. Not part of the test suite.
#   tests/fuzz/run.sh [TARGET] [SECONDS]
# TARGET: session (creation, colouring and syntax check; the default), run
# (runs scripts with the built-ins, each within a time budget) or value_file
# (bytes loaded as a value file, saved and loaded again). SECONDS
# defaults to 600. Findings go to build-fuzz/TARGET/findings; the corpus in
# the repository is only read (add an input to it by hand when it is worth
# keeping).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
target="${1:-session}"
seconds="${2:-600}"
case "$target" in
  session) source="session_fuzz.cpp"; seeds="corpus"; options=(-timeout=10) ;;
  run) source="script_run_fuzz.cpp"; seeds="run-corpus"
       # In fork mode a finding is saved and the fuzzing goes on; an input
       # that exhausts memory (a known limit of the engine) is noted too.
       options=(-timeout=20 -malloc_limit_mb=1024 -fork=1 -ignore_crashes=1 -ignore_ooms=1
                -ignore_timeouts=1) ;;
  value_file) source="value_file_fuzz.cpp"; seeds="corpus_value_file"; options=(-timeout=10) ;;
  *) echo "unknown target $target (session, run or value_file)" >&2; exit 3 ;;
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
mkdir -p "$out/work" "$out/corpus" "$out/findings"
# The engine's files are compiled two at a time, then linked with the target.
flags=(-std=c++17 -O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
       -DMORVANE_BUILDING_LIBRARY -I"$root/include" -I"$root/engine"
       $(pkg-config --cflags libhwy freetype2))
mkdir -p "$out/objects"
export out root
export flags_text="${flags[*]}"
find "$root/engine" -name '*.cpp' | sort | xargs -P 2 -I{} bash -c '
  object="$out/objects/$(echo "{}" | sed "s|$root/||; s|/|_|g").o"
  clang++ $flags_text -c "{}" -o "$object"'
clang++ "${flags[@]/fuzzer-no-link/fuzzer}" "$out"/objects/*.o "$root/tests/fuzz/$source" \
  -o "$out/fuzz" $(pkg-config --libs libhwy freetype2) -pthread -ldl
cp -n "$root/tests/fuzz/$seeds"/* "$out/corpus/" 2>/dev/null || true
# Run inside an empty folder so include directives find nothing to read.
cd "$out/work"
ASAN_OPTIONS=detect_leaks=1 "$out/fuzz" -max_total_time="$seconds" "${options[@]}" \
  -rss_limit_mb=2048 -max_len=4096 -artifact_prefix="$out/findings/" "$out/corpus" 2>&1 |
  tail -n 30
