#!/usr/bin/env bash
# Runs each loop of bench/scripts through the engine and through CPython 3,
# both timed inside their own process, alternating, RUNS times each (5 by
# default), and prints the best time of each and their ratio (engine time /
# Python time; below 1 means the engine is faster).
#   [RUNS=N] bench/eval_vs_python.sh [BUILD_DIR]      (default build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
timer="$build/bench/morvane_script_timer"
[ -x "$timer" ] || { echo "build $timer first (cmake --build $build)" >&2; exit 3; }
python="$(command -v python3)"
runs="${RUNS:-5}"
printf '%-12s %12s %12s %8s\n' loop engine_s python_s ratio
for script in "$root"/bench/scripts/*.mvs; do
  name="$(basename "$script" .mvs)"
  engine=""; python_s=""
  for _ in $(seq "$runs"); do
    e=$("$timer" "$script" 2>/dev/null)
    p=$("$python" - "$root/bench/scripts/$name.py" <<'PY'
import sys, time, io, contextlib
source = open(sys.argv[1]).read()
start = time.perf_counter()
with contextlib.redirect_stdout(io.StringIO()):
    exec(compile(source, sys.argv[1], "exec"), {"__name__": "__main__"})
print("%.6f" % (time.perf_counter() - start))
PY
)
    engine=$(awk -v a="$e" -v b="$engine" 'BEGIN { print (b == "" || a < b) ? a : b }')
    python_s=$(awk -v a="$p" -v b="$python_s" 'BEGIN { print (b == "" || a < b) ? a : b }')
  done
  ratio=$(awk -v a="$engine" -v b="$python_s" 'BEGIN { printf "%.2f", a / b }')
  printf '%-12s %12s %12s %8s\n' "$name" "$engine" "$python_s" "$ratio"
done
