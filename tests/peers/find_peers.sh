#!/usr/bin/env bash
# Runs find_peers.py with a python3 that has OpenCV and scikit-image
# (installing Debian's python3-opencv and python3-skimage when none has).
#   find_peers.sh HOST
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
host="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

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
        python3-skimage imagemagick >/dev/null
    python=/usr/bin/python3
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$python" "$here/find_peers.py" "$host" "$work"
