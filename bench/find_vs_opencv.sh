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

source "$(dirname "$0")/../scripts/python-with.sh"
python="$(python_with 'cv2, skimage' python3-opencv python3-skimage)"

cmake -S "$root" -B "$build" -DMORVANE_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target morvane_script_timer >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$python" "$here/find_vs_opencv.py" "$build/bench/morvane_script_timer" "$work"
