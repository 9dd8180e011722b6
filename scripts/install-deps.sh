#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
set -euo pipefail

packages=(cmake make g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev libhwy-dev
          libfreetype-dev fonts-dejavu-core libpng-dev python3
          libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev libavdevice-dev
          libturbojpeg0-dev
          ffmpeg imagemagick python3-numpy python3-scipy python3-opencv python3-skimage)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq < /dev/null
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" < /dev/null
