#!/usr/bin/env bash
# Installs what is missing, builds, and runs the bundled example.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh" "$root/build"
"$root/build/examples/morvane-values"
