#!/usr/bin/env bash
# Installs the Debian package into a fresh Debian 12 made with debootstrap and
# runs `morvane --version` and a tutorial script there. Needs root, network
# access to a Debian mirror and debootstrap; it is not part of the test suite.
#   scripts/deb-chroot-test.sh [PACKAGE.deb]
# Without a package it builds one with CPack in build/.
# MIRROR (default http://deb.debian.org/debian) chooses the mirror.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
mirror="${MIRROR:-http://deb.debian.org/debian}"

if [ "$(id -u)" -ne 0 ]; then
  echo "$0: run as root (debootstrap and chroot need it)" >&2
  exit 3
fi
command -v debootstrap > /dev/null || { echo "$0: install debootstrap first" >&2; exit 3; }

package="${1:-}"
if [ -z "$package" ]; then
  "$root/scripts/build.sh" "$root/build"
  (cd "$root/build" && cpack -G DEB > /dev/null)
  package="$(ls "$root"/build/morvane_*.deb | head -n 1)"
fi
[ -f "$package" ] || { echo "$0: no package $package" >&2; exit 3; }

target="$(mktemp -d /var/tmp/morvane-chroot.XXXXXX)"
cleanup() {
  umount "$target/proc" 2> /dev/null || true
  umount "$target/dev" 2> /dev/null || true
  rm -rf --one-file-system "$target"
}
trap cleanup EXIT

echo "== debootstrap bookworm into $target"
debootstrap --variant=minbase bookworm "$target" "$mirror" > "$target.log" 2>&1 \
  || { tail -n 20 "$target.log"; exit 1; }
rm -f "$target.log"
mount -t proc proc "$target/proc"
mount --bind /dev "$target/dev"

echo "== installing $(basename "$package") and what it depends on"
cp "$package" "$target/tmp/morvane.deb"
cp "$root/examples/tutorial/03-lists.mvs" "$target/tmp/"
chroot "$target" /usr/bin/env DEBIAN_FRONTEND=noninteractive \
  sh -c 'apt-get update -qq && apt-get install -y -qq --no-install-recommends /tmp/morvane.deb' \
  > /dev/null

echo "== running morvane"
version="$(chroot "$target" morvane --version)"
echo "$version"
[ "$version" = "morvane 3.0a" ] || { echo "FAIL: unexpected version" >&2; exit 1; }
output="$(chroot "$target" sh -c 'cd /tmp && morvane run 03-lists.mvs')"
expected="$(printf '3\nplum\n10\t20\t30\n1.5\t2.5\t3.5\nlargest: 3\nround 0\nround 1\nround 2\n12')"
if [ "$output" != "$expected" ]; then
  echo "FAIL: the tutorial script printed" >&2
  echo "$output" >&2
  exit 1
fi
echo "the package installs on a fresh Debian 12 and runs a script"
