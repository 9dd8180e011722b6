#!/usr/bin/env bash
# Sets the vector benchmarks against the same operations in numpy on the
# same machine in one run: a + b of two 1,000,000-element vectors (a fresh
# result, and a result written into an existing array) and the sample
# standard deviation of one. Prints each time and the ratio engine/numpy.
#
# Usage: bench/vector_vs_numpy.sh [build-directory]   (default: build)
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build}"

source "$(dirname "$0")/../scripts/python-with.sh"
python="$(python_with 'numpy' python3-numpy)"

# Configure first: a build directory made before the benchmark existed has
# no rule for it yet.
cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target morvane_vector_bench >/dev/null
results="$(mktemp)"
trap 'rm -f "$results"' EXIT
"$build/bench/morvane_vector_bench" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_format=json >"$results"

"$python" - "$results" <<'PY'
import json
import sys
import timeit

import numpy as np

UNIT = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}

def engine_medians(path):
    with open(path) as f:
        report = json.load(f)
    medians = {}
    for b in report["benchmarks"]:
        if b.get("aggregate_name") == "median":
            medians[b["run_name"]] = b["real_time"] * UNIT[b["time_unit"]]
    return medians

def numpy_median(statement, names):
    timer = timeit.Timer(statement, globals=names)
    loops, _ = timer.autorange()
    runs = sorted(t / loops for t in timer.repeat(repeat=5, number=loops))
    return runs[len(runs) // 2]

n = 1_000_000
i = np.arange(n)
a = 1.0 + (i % 1000) * 0.001
b = 2.0 + (i % 1000) * 0.001
out = np.empty(n)
names = {"np": np, "a": a, "b": b, "out": out}

pairs = [
    ("a + b, fresh result", "BM_VectorAddFreshResult", "a + b"),
    ("a + b, into existing", "BM_VectorAddReusedResult", "np.add(a, b, out=out)"),
    ("sample sdev", "BM_VectorSdev", "np.std(a, ddof=1)"),
]
engine = engine_medians(sys.argv[1])
print(f"numpy {np.__version__}, {n} elements, medians of 5 runs")
print(f"{'operation':24} {'engine ms':>10} {'numpy ms':>10} {'ratio':>7}")
for label, bench, statement in pairs:
    mine = engine[bench]
    theirs = numpy_median(statement, names)
    print(f"{label:24} {mine * 1e3:10.3f} {theirs * 1e3:10.3f} {mine / theirs:7.2f}")
PY
