#!/usr/bin/env bash
# Sets the filters against their peers on the same machine in one run, one
# thread on each side, at 1920 x 1080 on the same data:
#   3 x 3 and 9 x 9 float convolution  against cv2.filter2D with the flipped
#       kernel (filter2D refuses wrap-around borders: it is timed with its
#       default border, and its results are checked on a wrap-padded copy);
#   3 x 3 and 5 x 5 median of a frame_mono (rank N / 2, full mask)
#       against cv2.medianBlur and against scipy.ndimage.rank_filter;
#   a Mandelbrot picture at depth 256 against an escape-time loop
#       vectorised with numpy.
# Prints each median time, the ratios engine / peer, and how the results
# agree.
#
# Usage: bench/filters_vs_opencv.sh [build-directory]   (default: build)
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build}"

source "$(dirname "$0")/../scripts/python-with.sh"
python="$(python_with 'cv2, numpy, scipy.ndimage' python3-opencv python3-numpy python3-scipy)"

cmake -S "$root" -B "$build" -DMORVANE_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target morvane_filter_timer >/dev/null
results="$(mktemp -d)"
trap 'rm -rf "$results"' EXIT
OMP_NUM_THREADS=1 "$build/bench/morvane_filter_timer" "$results" >"$results/times.txt"

OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 "$python" - "$results" <<'PY'
import os
import sys
import timeit

import cv2
import numpy as np
import scipy.ndimage as ndi

cv2.setNumThreads(1)
W, H = 1920, 1080
folder = sys.argv[1]

def engine_times():
    times = {}
    with open(os.path.join(folder, "times.txt")) as f:
        for line in f:
            name, ms = line.split()
            times[name] = float(ms) * 1e-3
    return times

def raw(name, dtype):
    return np.fromfile(os.path.join(folder, name), dtype=dtype).reshape(H, W)

def median_time(statement, names, repeat=7):
    timer = timeit.Timer(statement, globals=names)
    loops, _ = timer.autorange()
    runs = sorted(t / loops for t in timer.repeat(repeat=repeat, number=loops))
    return runs[len(runs) // 2]

# The engine side's patterns.
y, x = np.mgrid[0:H, 0:W]
image = (((7 * x + 13 * y) % 256).astype(np.float32) / np.float32(255)).astype(np.float32)
frame = ((7 * x + 13 * y + (x * y) % 11) % 256).astype(np.uint8)

def kernel(size):
    j, c = np.mgrid[0:size, 0:size]
    return ((((c + 1) * (j + 2)) % 7 - 3).astype(np.float32) / np.float32(20)).astype(np.float32)

engine = engine_times()
rows = []
notes = []

for size in (3, 9):
    k = kernel(size)
    flipped = np.ascontiguousarray(k[::-1, ::-1])
    names = {"cv2": cv2, "src": image, "k": flipped, "out": np.empty_like(image)}
    theirs = median_time("cv2.filter2D(src, -1, k, dst=out)", names)
    mine = engine[f"convolve_{size}"]
    rows.append((f"convolve {size}x{size} float", mine, "cv2.filter2D", theirs))
    h = size // 2
    padded = np.pad(image, h, mode="wrap")
    reference = cv2.filter2D(padded, -1, flipped, borderType=cv2.BORDER_CONSTANT)[h:h + H, h:h + W]
    got = raw(f"convolve_{size}.raw", np.float32)
    notes.append(f"convolve {size}x{size}: largest difference from filter2D on the wrapped copy "
                 f"{np.abs(got - reference).max():.2e}")

for size in (3, 5):
    mine = engine[f"median_{size}"]
    names = {"cv2": cv2, "ndi": ndi, "src": frame, "out": np.empty_like(frame), "size": size}
    blur = median_time("cv2.medianBlur(src, size, dst=out)", names)
    rank = median_time("ndi.rank_filter(src, size * size // 2, size=size, mode='wrap', output=out)",
                       names, repeat=3)
    rows.append((f"median {size}x{size} frame", mine, "cv2.medianBlur", blur))
    rows.append((f"median {size}x{size} frame", mine, "scipy rank_filter", rank))
    got = raw(f"median_{size}.raw", np.uint8)
    wrapped = ndi.rank_filter(frame, size * size // 2, size=size, mode="wrap")
    blurred = cv2.medianBlur(frame, size)
    h = size // 2
    inner = (slice(h, H - h), slice(h, W - h))
    notes.append(f"median {size}x{size}: equal to rank_filter (wrap) "
                 f"{np.array_equal(got, wrapped)}, to medianBlur inside the border "
                 f"{np.array_equal(got[inner], blurred[inner])}")

def mandelbrot(depth=256, cx=-0.7, cy=0.0, scale=2.2):
    step = scale / (H - 1)
    xs = cx - ((W + 1) // 2) * step + np.arange(W) * step
    ys = cy + ((H + 1) // 2) * step - np.arange(H) * step
    c_re = np.broadcast_to(xs[None, :], (H, W)).ravel().copy()
    c_im = np.broadcast_to(ys[:, None], (H, W)).ravel().copy()
    counts = np.full(H * W, -1, dtype=np.int32)
    index = np.arange(H * W)
    zx = np.zeros(H * W)
    zy = np.zeros(H * W)
    for step_number in range(1, depth + 1):
        t = zx * zx
        u = zy * zy
        zy = 2 * zx * zy + c_im
        escaped = t + u > 4
        counts[index[escaped]] = step_number
        keep = ~escaped
        index, zx, zy, c_re, c_im = index[keep], (t - u + c_re)[keep], zy[keep], c_re[keep], c_im[keep]
    return counts.reshape(H, W)

names = {"mandelbrot": mandelbrot}
theirs = median_time("mandelbrot()", names, repeat=3)
rows.append(("mandelbrot depth 256", engine["mandelbrot"], "numpy escape loop", theirs))
agree = np.mean(raw("mandelbrot.raw", np.int32) == mandelbrot())
notes.append(f"mandelbrot: escape counts equal to numpy's at {agree * 100:.3f}% of the pixels")

print(f"OpenCV {cv2.__version__}, numpy {np.__version__}, {W} x {H}, one thread each, medians")
print(f"{'operation':24} {'engine ms':>10} {'peer':>18} {'peer ms':>10} {'engine/peer':>12}")
for label, mine, peer, theirs in rows:
    print(f"{label:24} {mine * 1e3:10.3f} {peer:>18} {theirs * 1e3:10.3f} {mine / theirs:12.3f}")
for note in notes:
    print(note)
PY
