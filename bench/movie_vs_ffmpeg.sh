#!/usr/bin/env bash
# Sets movie work against the ffmpeg tool in one run, both on one thread, on
# a 1920 x 1080 H.264 clip of 300 frames (key frame every 30):
#   1. decoding every frame into frame values, against
#      ffmpeg -threads 1 -i clip -f null -
#   2. reading 100 frames at random indexes (the mean time per read);
#   3. appending 300 frames of 1080p and saving as H.264, against ffmpeg
#      encoding the same frames with libx264 at the same settings.
# Times are processor time (user and system) of each process, so that a
# loaded machine slows neither side. Prints each time and the ratio.
#
# Usage: bench/movie_vs_ffmpeg.sh [build-directory]   (default: build)
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="$(cd "${1:-$root/build}" && pwd)"   # the run below leaves the current folder
host="$build/tools/morvane/morvane"
[ -x "$host" ] || { echo "build the host first: $host" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

# Processor seconds of a command (user + system).
cpu() {
    /usr/bin/time -f "%U %S" -o t.txt "$@" > /dev/null 2> /dev/null
    awk '{ printf "%.2f", $1 + $2 }' t.txt
}

ffmpeg -nostdin -v error -f lavfi -i testsrc2=size=1920x1080:rate=30 -frames:v 300 \
    -c:v libx264 -preset veryfast -g 30 -bf 0 -pix_fmt yuv420p clip.mp4

cat > decode.mvs <<'SCRIPT'
set m to file "clip.mp4";
set i to 0;
repeat length of m times begin set f to m[i]; add 1 to i; end
SCRIPT
engine=$(cpu "$host" run decode.mvs)
tool=$(cpu ffmpeg -nostdin -threads 1 -i clip.mp4 -f null -)
echo "decode 300 frames: engine ${engine} s, ffmpeg ${tool} s, throughput ratio $(awk "BEGIN{printf \"%.2f\", $tool/$engine}")x (goal >= 0.8x)"

{
    echo 'set m to file "clip.mp4";'
    echo 'set f to m[0];'
    RANDOM=7
    for _ in $(seq 100); do echo "set f to m[$((RANDOM % 300))];"; done
} > random.mvs
echo 'set m to file "clip.mp4"; set f to m[0];' > open.mvs
opened=$(cpu "$host" run open.mvs)
random=$(cpu "$host" run random.mvs)
echo "100 random reads: $(awk "BEGIN{printf \"%.1f\", ($random-$opened)*10}") ms per read (key frame every 30 frames)"

cat > encode.mvs <<'SCRIPT'
set m to file "clip.mp4";
set n to movie;
set compression of n to "H.264";
set frame_rate of n to 30;
set i to 0;
repeat length of m times begin append m[i] to n; add 1 to i; end
set file "out.mp4" to n;
SCRIPT
engine=$(cpu "$host" run encode.mvs)
# The same settings as the engine's H.264 at quality 0.5: veryfast, crf 17.85.
tool=$(cpu ffmpeg -nostdin -y -threads 1 -i clip.mp4 -c:v libx264 -threads 1 -preset veryfast \
    -crf 17.85 -g 24 -bf 0 out-ffmpeg.mp4)
echo "append 300 frames and save as H.264: engine ${engine} s (decode included), ffmpeg ${tool} s," \
     "time ratio $(awk "BEGIN{printf \"%.2f\", $engine/$tool}")x (goal <= 1.2x)"
