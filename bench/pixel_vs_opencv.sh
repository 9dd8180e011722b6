#!/usr/bin/env bash
# Sets the pixel kernels against the same operations in OpenCV on the same
# machine in one run, both single-threaded, at 1920 x 1080: frame + frame
# (cv2.add of two 8-bit BGRA frames), frame x number (cv2.multiply of an
# 8-bit BGRA frame by a number, scale 1) and image / image (cv2.divide of
# two float ARGB images). Prints each median time and the ratio
# engine/OpenCV.
#
# Usage: bench/pixel_vs_opencv.sh [build-directory]   (default: build)
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build}"

source "$(dirname "$0")/../scripts/python-with.sh"
python="$(python_with 'cv2' python3-opencv)"

cmake -S "$root" -B "$build" -DMORVANE_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target morvane_pixel_timer >/dev/null
results="$(mktemp)"
trap 'rm -f "$results"' EXIT
"$build/bench/morvane_pixel_timer" >"$results"

"$python" - "$results" <<'PY'
import sys
import timeit

import cv2
import numpy as np

cv2.setNumThreads(1)
W, H = 1920, 1080

def engine_times(path):
    times = {}
    with open(path) as f:
        for line in f:
            name, ms = line.split()
            times[name] = float(ms) * 1e-3
    return times

def median_time(statement, names):
    timer = timeit.Timer(statement, globals=names)
    loops, _ = timer.autorange()
    runs = sorted(t / loops for t in timer.repeat(repeat=9, number=loops))
    return runs[len(runs) // 2]

# The patterns the engine side builds: (x + 3 y + shift + channel) mod 256.
y, x = np.mgrid[0:H, 0:W]
def frame(shift):
    v = x + 3 * y + shift
    return np.dstack([v % 256, (v + 1) % 256, (v + 2) % 256,
                      np.full_like(v, 255)]).astype(np.uint8)

def image(offset):
    v = ((x + 3 * y) % 256).astype(np.float32) / np.float32(255) + np.float32(offset)
    return np.dstack([np.ones_like(v), v, v + 0.25, v + 0.5]).astype(np.float32)

a, b = frame(0), frame(7)
p, q = image(0.0), image(0.125)
names = {"cv2": cv2, "a": a, "b": b, "p": p, "q": q,
         "frame_out": np.empty_like(a), "image_out": np.empty_like(p)}

pairs = [
    ("frame + frame", "frame_plus_frame", "cv2.add(a, b, dst=frame_out)"),
    ("frame * number", "frame_times_number",
     "cv2.multiply(a, (0.5, 0.5, 0.5, 1.0), dst=frame_out, scale=1)"),
    ("image / image", "image_over_image", "cv2.divide(p, q, dst=image_out)"),
]
engine = engine_times(sys.argv[1])
print(f"OpenCV {cv2.__version__}, {W} x {H}, one thread each, medians")
print(f"{'operation':16} {'engine ms':>10} {'OpenCV ms':>10} {'ratio':>7}")
for label, key, statement in pairs:
    mine = engine[key]
    theirs = median_time(statement, names)
    print(f"{label:16} {mine * 1e3:10.3f} {theirs * 1e3:10.3f} {mine / theirs:7.2f}")
PY
