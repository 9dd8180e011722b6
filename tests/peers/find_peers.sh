#!/usr/bin/env bash
# Runs find_peers.py with a python3 that has OpenCV and scikit-image
# (installing Debian's python3-opencv and python3-skimage when none has).
#   find_peers.sh HOST
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
host="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"

source "$(dirname "$0")/../../scripts/python-with.sh"
python="$(python_with 'cv2, skimage' python3-opencv python3-skimage imagemagick)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$python" "$here/find_peers.py" "$host" "$work"
