"""Find.Correlate and Find.Region against OpenCV on photos that come with
Debian packages (ImageMagick's built-in rose: and logo:, scikit-image's
data images).

Image files cannot be read by scripts yet, so the photos reach the engine
as value files (the engine's binary image format, written here) that a
generated script reads with `file "..."`.

Usage: find_peers.py HOST WORKDIR
"""
import os
import struct
import subprocess
import sys

import cv2
import numpy as np
import skimage.data

HOST, WORK = sys.argv[1], sys.argv[2]
FRAME_MONO, FRAME = 12, 13
failures = []


def write_value_file(path, pixels):
    """frame_mono for 2-D uint8, frame (blue, green, red, alpha) for BGR."""
    if pixels.ndim == 2:
        kind, body = FRAME_MONO, pixels
    else:
        alpha = np.full(pixels.shape[:2] + (1,), 255, np.uint8)
        kind, body = FRAME, np.concatenate([pixels, alpha], axis=2)
    height, width = pixels.shape[:2]
    with open(path, "wb") as f:
        f.write(b"\xaa\xaa\xaa\xaa" + struct.pack("<iii", kind, width, height))
        f.write(np.ascontiguousarray(body).tobytes())


def run_script(name, text):
    path = os.path.join(WORK, name + ".mvs")
    with open(path, "w") as f:
        f.write(text)
    done = subprocess.run([HOST, "run", path], cwd=WORK, capture_output=True, text=True,
                          timeout=600)
    if done.returncode != 0:
        raise SystemExit(f"{name}: the host failed:\n{done.stdout}\n{done.stderr}")
    return [float(v) for v in done.stdout.split()]


def imagemagick_photo(name):
    path = os.path.join(WORK, name + ".png")
    subprocess.run(["convert", name + ":", path], check=True)
    return cv2.imread(path, cv2.IMREAD_COLOR)


def photos():
    yield "rose", imagemagick_photo("rose")
    yield "logo", imagemagick_photo("logo")
    yield "camera", skimage.data.camera()
    yield "coins", skimage.data.coins()
    yield "astronaut", cv2.cvtColor(skimage.data.astronaut(), cv2.COLOR_RGB2BGR)
    yield "coffee", cv2.cvtColor(skimage.data.coffee(), cv2.COLOR_RGB2BGR)


def check(label, ours, theirs):
    if ours == theirs:
        shown = ours if not isinstance(ours, list) else f"{len(ours)} equal"
        print(f"{label}: {shown} ok")
    else:
        print(f"{label}: engine {ours}, OpenCV {theirs} DIFFERS")
        failures.append(label)


def patches(photo, random):
    """Textured patches: exact cut-outs, and cut-outs with a little noise."""
    height, width = photo.shape[:2]
    for size in (s for s in (8, 16, 31, 48) if s < min(width, height)):
        for _ in range(40):
            x = int(random.integers(0, width - size + 1))
            y = int(random.integers(0, height - size + 1))
            patch = photo[y:y + size, x:x + size]
            if patch.std() > 20:
                break
        for noisy in (False, True):
            if noisy:
                noise = random.normal(0, 2, patch.shape)
                patch = np.clip(patch.astype(np.float64) + noise, 0, 255).astype(np.uint8)
            yield size, noisy, (x, y), patch.copy()


def correlate(name, photo, random):
    write_value_file(os.path.join(WORK, "source.val"), photo)
    script = ['set src to file "source.val";', "set quality of src to 1;"]
    expected = []
    for i, (size, noisy, place, patch) in enumerate(patches(photo, random)):
        write_value_file(os.path.join(WORK, f"patch{i}.val"), patch)
        script.append(f'print Find.Correlate(src, file "patch{i}.val");')
        scores = cv2.matchTemplate(photo, patch, cv2.TM_SQDIFF)
        expected.append((size, noisy, cv2.minMaxLoc(scores)[2]))
    found = run_script("correlate_" + name, "\n".join(script) + "\n")
    for i, (size, noisy, theirs) in enumerate(expected):
        ours = (int(found[3 * i]), int(found[3 * i + 1]))
        check(f"{name} {size}x{size}{' noisy' if noisy else ''} patch", ours, tuple(theirs))


def regions(name, photo):
    grey = photo if photo.ndim == 2 else cv2.cvtColor(photo, cv2.COLOR_BGR2GRAY)
    binary = np.where(grey > 128, 255, 0).astype(np.uint8)
    write_value_file(os.path.join(WORK, "binary.val"), binary)
    for radius, connectivity in ((1, 4), (1.5, 8)):
        # The fill that keeps point lists goes pixel by pixel; the plain one
        # by runs: both must give the same figures.
        script = f"""set b to file "binary.val";
set found to Find.Region(b, value -> 1, radius -> {radius});
set listed to Find.Region(b, value -> 1, radius -> {radius}, list_points -> true);
set differing to 0;
print length of found;
set k to 0;
repeat length of found times increment k begin
  set r to found[k];
  set l to listed[k];
  if r[0] != l[0] or r[1] != l[1] or r[2] != l[2] or length of l[3] != r[2] then
    set differing to differing + 1;
  print r[0];
  print r[1];
  print r[2];
end
print length of listed - length of found + differing;
"""
        numbers = run_script(f"region_{name}_{connectivity}", script)
        count = int(numbers[0])
        check(f"{name} {connectivity}-connected: fills by runs and by pixels differ in",
              int(numbers[-1]), 0)
        ours = sorted((round(numbers[1 + 3 * i + 2]), round(numbers[1 + 3 * i], 2),
                       round(numbers[2 + 3 * i], 2)) for i in range(count))
        n, _, stats, centroids = cv2.connectedComponentsWithStats(binary,
                                                                  connectivity=connectivity)
        theirs = sorted((int(stats[i, cv2.CC_STAT_AREA]), round(float(centroids[i, 0]), 2),
                         round(float(centroids[i, 1]), 2)) for i in range(1, n))
        label = f"{name} thresholded, {connectivity}-connected"
        check(label + ": regions", count, n - 1)
        check(label + ": areas", [r[0] for r in ours], [r[0] for r in theirs])
        close = len(ours) == len(theirs) and all(
            a[0] == b[0] and abs(a[1] - b[1]) <= 0.011 and abs(a[2] - b[2]) <= 0.011
            for a, b in zip(ours, theirs))
        check(label + ": centres", close, True)


def main():
    cv2.setNumThreads(1)
    random = np.random.default_rng(2026)
    for name, photo in photos():
        correlate(name, photo, random)
        regions(name, photo)
    if failures:
        raise SystemExit(f"{len(failures)} differences: {failures}")
    print("all agree")


main()
