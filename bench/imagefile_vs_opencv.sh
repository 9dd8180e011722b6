#!/usr/bin/env bash
# Sets reading and writing image files against OpenCV's cv2.imread and
# cv2.imwrite on the same machine in one run, both single-threaded, at
# 1920 x 1080: reading a PNG, writing it as PNG (zlib level 1 on both
# sides), writing it as JPEG (libjpeg quality 95 and 4:2:0 on both sides:
# the engine's quality 0.95) and reading one JPEG (written by ImageMagick at
# quality 95). The picture is ImageMagick's plasma fractal,
# which compresses like a photo.
# Times are processor time of the process (user and system), so that a
# machine loaded by other work slows neither side's figures. Prints each
# median time and the ratio engine/OpenCV.
#
# Usage: bench/imagefile_vs_opencv.sh [build-directory]   (default: build)
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build}"

source "$(dirname "$0")/../scripts/python-with.sh"
python="$(python_with 'cv2' python3-opencv)"
if ! command -v convert >/dev/null; then
    echo "ImageMagick is missing: installing imagemagick" >&2
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq imagemagick >/dev/null
fi

cmake -S "$root" -B "$build" -DMORVANE_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target morvane_imagefile_timer >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
convert -seed 7 -size 1920x1080 plasma:fractal -depth 8 "$work/picture.png"
convert "$work/picture.png" -quality 95 -sampling-factor 2x2 "$work/picture.jpg"

# Quality 0.12 is zlib level trunc(0.12 x 1024 x 9 / 1024) = 1; quality
# 0.95 is trunc(0.95 x 1024) = 972, libjpeg's round(972 x 100 / 1024) = 95.
"$build/bench/morvane_imagefile_timer" "$work/picture.png" "$work/picture.jpg" "$work" 0.12 0.95 \
    >"$work/engine.txt"

"$python" - "$work" <<'PY'
import os
import sys
import time
import timeit

import cv2

cv2.setNumThreads(1)
work = sys.argv[1]

def engine_times(path):
    times = {}
    with open(path) as f:
        for line in f:
            name, ms = line.split()
            times[name] = float(ms) * 1e-3
    return times

def median_time(statement, names):
    timer = timeit.Timer(statement, timer=time.process_time, globals=names)
    loops, _ = timer.autorange()
    runs = sorted(t / loops for t in timer.repeat(repeat=9, number=loops))
    return runs[len(runs) // 2]

picture = os.path.join(work, "picture.png")
photo = os.path.join(work, "picture.jpg")
png = os.path.join(work, "opencv.png")
jpeg = os.path.join(work, "opencv.jpg")
image = cv2.imread(picture, cv2.IMREAD_UNCHANGED)
names = {"cv2": cv2, "picture": picture, "photo": photo, "png": png, "jpeg": jpeg,
         "image": image}

pairs = [
    ("read PNG", "read_png", "cv2.imread(picture, cv2.IMREAD_UNCHANGED)"),
    ("write PNG", "write_png", "cv2.imwrite(png, image, [cv2.IMWRITE_PNG_COMPRESSION, 1])"),
    ("write JPEG", "write_jpeg", "cv2.imwrite(jpeg, image, [cv2.IMWRITE_JPEG_QUALITY, 95])"),
    ("read JPEG", "read_jpeg", "cv2.imread(photo, cv2.IMREAD_UNCHANGED)"),
]
engine = engine_times(os.path.join(work, "engine.txt"))
print(f"OpenCV {cv2.__version__}, 1920 x 1080, one thread each, medians; "
      "PNG at zlib level 1, JPEG at libjpeg quality 95 and 4:2:0 on both sides")
print(f"{'operation':12} {'engine ms':>10} {'OpenCV ms':>10} {'ratio':>7}")
for label, key, statement in pairs:
    mine = engine[key]
    theirs = median_time(statement, names)
    print(f"{label:12} {mine * 1e3:10.3f} {theirs * 1e3:10.3f} {mine / theirs:7.2f}")
sizes = {name: os.path.getsize(os.path.join(work, name))
         for name in ("engine.png", "opencv.png", "engine.jpg", "opencv.jpg")}
print("file sizes: " + ", ".join(f"{name} {size}" for name, size in sizes.items()))
PY
