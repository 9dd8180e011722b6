#!/usr/bin/env bash
# --windows DIR: one SVG picture per script window, named after its title,
# sized and drawn from the window's command list.
#   windows-test.sh HOST ROOT
source "$(dirname "$0")/lib.sh" "$1" "$2"
cd "$work"

# The attributes of the root element of an SVG file.
svg_size() { grep -o '<svg [^>]*>' "$1" | grep -o 'width="[0-9]*" height="[0-9]*"'; }

# The tour: its three windows, the folder relative to the current directory
# (not to the script's folder).
"$host" run --windows out/ "$root/examples/tour.mvs" > tour.out 2> tour.err
expect_eq "tour status" 0 $?
expect_file "tour error output" "" tour.err
expect_eq "tour windows" "Counter.svg Picture.svg Series.svg Shopping_list.svg" "$(cd out && ls | tr '\n' ' ' | sed 's/ $//')"
expect_eq "tour series size" 'width="360" height="280"' "$(svg_size out/Series.svg)"
expect_eq "tour counter size" 'width="160" height="120"' "$(svg_size out/Counter.svg)"
grep -q '>14</text>' out/Counter.svg || fail "the counter window shows 14"

# Hand-drawn expectations for the line graph of {0, 1, ..., 9}: axes, the
# polyline (x = 20 + 32 i, y = 20 + 240 (1 - i / 9) truncated) and the labels
# (count, minimum, maximum).
cat > pictures.mvs <<'MVS'
set window "Ramp" to {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
set window "Short" to {1, 2, 3};
set window "Number" to 5;
set window "Eleven text" to "abcdefghijk";
set window "Forty text" to "0123456789012345678901234567890123456789";
set window "a/b <c>" to "odd title";
set n to 1;
set window "Live" to reference n;
repeat 3 times begin add 1 to n; end
set v to {1, 2, 3};
set window "Vec" to reference v;
set v[0] to 7;
set l to {"a", "b"};
set window "Lst" to reference l;
append "c" to l;
MVS
"$host" run --windows pics pictures.mvs > out.txt 2> err.txt
expect_eq "pictures status" 0 $?
expect_file "pictures error output" "" err.txt
expect_eq "pictures files" \
  "Eleven_text.svg Forty_text.svg Live.svg Lst.svg Number.svg Ramp.svg Short.svg Vec.svg a_b__c_.svg" \
  "$(cd pics && ls | tr '\n' ' ' | sed 's/ $//')"

expect_eq "ramp size" 'width="360" height="280"' "$(svg_size pics/Ramp.svg)"
grep -q '<path d="M 20 20 L 20 260 L 340 260 M 20 260 L 52 233 L 84 206 L 116 180 L 148 153 L 180 126 L 212 100 L 244 73 L 276 46 L 308 20"' pics/Ramp.svg \
  || fail "ramp: axes and polyline"
expect_eq "ramp labels" \
  '<text x="320" y="278"|10 <text x="2" y="278"|0 <text x="2" y="20"|9' \
  "$(grep -o '<text x="[0-9]*" y="[0-9]*"[^>]*>[^<]*' pics/Ramp.svg | sed 's/ font-family.*>/|/' | tr '\n' ' ' | sed 's/ $//')"
expect_eq "short vector size" 'width="160" height="120"' "$(svg_size pics/Short.svg)"
grep -q '<text x="20" y="20"[^>]*>1	2	3</text>' pics/Short.svg || fail "short vector: one text"
grep -q '<path' pics/Short.svg && fail "short vector: no line graph"
expect_eq "number size" 'width="160" height="120"' "$(svg_size pics/Number.svg)"
expect_eq "11-byte text width" 'width="165" height="120"' "$(svg_size pics/Eleven_text.svg)"
expect_eq "40-byte text width" 'width="500" height="120"' "$(svg_size pics/Forty_text.svg)"
grep -q '>odd title</text>' pics/a_b__c_.svg || fail "odd title: the picture"
# A window showing a reference is redrawn when its target changes; the
# file ends with the last picture.
grep -q '>4</text>' pics/Live.svg || fail "live window shows the final value 4"
# Changes made in place (an element, an appended item) redraw the windows
# that show the variable; a list shows one line per element.
grep -q '>7	2	3</text>' pics/Vec.svg || fail "vector window shows the changed element"
grep -q '<tspan x="20" y="20">a</tspan><tspan x="20" y="34">b</tspan><tspan x="20" y="48">c</tspan>' pics/Lst.svg \
  || fail "list window shows the appended element"
# Image windows: the pixels are embedded as a PNG picture of the image's
# size at the command's position, which decodes to the image's pixels (a
# frame made from grey levels 0, 0.5 and 1; a grey image of 0.25). A frame
# plus a text draws the text in white inside its 20-pixel margins.
cat > images.mvs <<'MVS'
set window "Frame" to {{0, 0.5, 1}, {1, 0.5, 0}} as frame;
set window "Image" to {{0.25, 0.25}, {0.25, 0.25}, {0.25, 0.25}};
set f to {{0, 0.5, 1}, {1, 0.5, 0}} as frame;
set f[{0, 0}, {120, 60}] to 0;
set window "Text" to f + "Hello";
MVS
"$host" run --windows images images.mvs > out.txt 2> err.txt
expect_eq "images status" 0 $?
expect_file "images error output" "" err.txt
expect_eq "frame window size" 'width="3" height="2"' "$(svg_size images/Frame.svg)"
expect_eq "frame picture" "0 0 3 2 0000007f7f7fffffff/ffffff7f7f7f000000" \
  "$(python3 "$root/tests/host/svg_image.py" images/Frame.svg)"
expect_eq "image picture" "0 0 2 3 3f3f3f3f3f3f/3f3f3f3f3f3f/3f3f3f3f3f3f" \
  "$(python3 "$root/tests/host/svg_image.py" images/Image.svg)"
python3 - "$root/tests/host" images/Text.svg <<'PY' || fail "text: white ink inside the margins only"
import subprocess, sys
line = subprocess.run([sys.executable, sys.argv[1] + "/svg_image.py", sys.argv[2]],
                      check=True, capture_output=True, text=True).stdout.split()
assert line[:4] == ["0", "0", "120", "60"], line[:4]
rows = [bytes.fromhex(row) for row in line[4].split("/")]
inked = [(x, y) for y, row in enumerate(rows) for x in range(120) if row[3 * x:3 * x + 3] != b"\0\0\0"]
assert len(inked) > 40, len(inked)
assert all(20 <= x < 100 and 20 <= y < 40 for x, y in inked), inked
assert any(rows[y][3 * x:3 * x + 3] == b"\xff\xff\xff" for x, y in inked), "no solid white"
PY

# Without its font, text drawing warns and leaves the pixels as they were.
MORVANE_FONT=/nonexistent/font.ttf "$host" run --windows nofont images.mvs > out.txt 2> err.txt
expect_eq "missing font status" 0 $?
expect_file "missing font warning" "Text drawing is unavailable, nothing was drawn: the font file '/nonexistent/font.ttf' could not be loaded (cannot open resource).
" err.txt
python3 "$root/tests/host/svg_image.py" nofont/Text.svg | grep -Eq '^0 0 120 60 (0+/?)+$' \
  || fail "missing font: the frame stays black"

for f in pics/*.svg; do
  head -c 5 "$f" | grep -q '<?xml' || fail "$f is an XML document"
done
if command -v xmllint > /dev/null; then
  for f in pics/*.svg out/*.svg images/*.svg; do
    xmllint --noout "$f" || fail "$f is well-formed"
  done
fi

# An unwritable folder is a usage error.
touch blocker
"$host" run --windows blocker/sub pictures.mvs > /dev/null 2> err.txt
expect_eq "windows folder that cannot be made" 3 $?

finish
