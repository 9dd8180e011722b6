#!/usr/bin/env bash
# Installs what is missing, builds, and runs the language tour
# (examples/tour.mvs) through the command-line host.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh" "$root/build"
cd "$root"
build/tools/morvane/morvane run examples/tour.mvs
