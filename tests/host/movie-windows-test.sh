#!/usr/bin/env bash
# --windows DIR with a movie in a window: its first frame as a picture, the
# frame count written under it, the window as tall as both.
#   movie-windows-test.sh HOST ROOT
source "$(dirname "$0")/lib.sh" "$1" "$2"
cd "$work"

svg_size() { grep -o '<svg [^>]*>' "$1" | grep -o 'width="[0-9]*" height="[0-9]*"'; }

cat > film.mvs <<'SCRIPT'
set m to movie;
set f to frame with size to {20, 12};
set f to f + 0.5;
append f to m; append f to m; append f to m;
set window "Film" to m;
set window "One" to m[0, 1];
SCRIPT
"$host" run --windows pics film.mvs > out.txt 2> err.txt
expect_eq "film status" 0 $?
expect_file "film error output" "" err.txt
expect_eq "film size" 'width="20" height="32"' "$(svg_size pics/Film.svg)"
grep -q '>3 frames</text>' pics/Film.svg || fail "the film window shows 3 frames"
grep -q '>1 frame</text>' pics/One.svg || fail "the one-frame window shows 1 frame"
expect_eq "film pictures" 1 "$(grep -c 'data:image/png;base64' pics/Film.svg)"
ls MvTemp_* > /dev/null 2>&1 && fail "temporary movie files are left"
finish
