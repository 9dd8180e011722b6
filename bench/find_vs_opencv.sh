#!/usr/bin/env bash
# Sets the template search and the region search against OpenCV on the same
# data in one run, both single-threaded:
#   Find.Correlate of a 32 x 32 grey patch (cut from a photo, with a little
#   noise so that no placement is an exact hit and the whole frame is
#   searched) in a 640 x 480 grey frame, against cv2.matchTemplate
#   (TM_SQDIFF) and its minimum;
#   Find.Region on a 1920 x 1080 thresholded photo, radius 1 and 1.5,
#   against cv2.connectedComponentsWithStats (4- and 8-connectivity).
# The engine runs scripts through the host API (morvane_script_timer); a
# call's time is (time of the script with N calls - time of the script that
# only reads the pictures) / N, medians of several runs. Prints each time
# and the ratio engine/OpenCV.
#
# Usage: bench/find_vs_opencv.sh [build-directory]   (default: build)
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="$(realpath -m "${1:-$root/build}")"

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# The python3 first on the PATH may not be the system's, and only the
# system's sees the distribution's OpenCV and scikit-image.
python=""
for candidate in python3 /usr/bin/python3; do
    if "$candidate" -c 'import cv2, skimage' 2>/dev/null; then
        python="$candidate"
        break
    fi
done
if [ -z "$python" ]; then
    echo "OpenCV or scikit-image for python is missing: installing them" >&2
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq python3-opencv \
        python3-skimage >/dev/null
    python=/usr/bin/python3
fi

cmake -S "$root" -B "$build" -DMORVANE_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target morvane_script_timer >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$python" "$here/find_vs_opencv.py" "$build/bench/morvane_script_timer" "$work"
