#!/usr/bin/env bash
# Configures and builds Morvane into a build directory.
#   scripts/build.sh BUILD_DIR [extra cmake arguments]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$1"; shift
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > /dev/null
cmake --build "$dir" -j"$(nproc)"
