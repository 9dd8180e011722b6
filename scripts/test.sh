#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite.
#   scripts/test.sh              the normal build, in build/
#   scripts/test.sh --sanitize   address and undefined-behaviour sanitizers, in build-sanitize/
#   scripts/test.sh --tsan       thread sanitizer, in build-tsan/
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$root/build"
args=()
case "${1:-}" in
  "") ;;
  --sanitize) dir="$root/build-sanitize"; args+=(-DMORVANE_SANITIZE=ON -DMORVANE_BUILD_BENCH=OFF) ;;
  --tsan) dir="$root/build-tsan"; args+=(-DMORVANE_TSAN=ON -DMORVANE_BUILD_BENCH=OFF) ;;
  *) echo "usage: $0 [--sanitize|--tsan]" >&2; exit 3 ;;
esac
"$root/scripts/build.sh" "$dir" "${args[@]}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1}"
cd "$dir"
ctest --output-on-failure -j"$(nproc)" < /dev/null
