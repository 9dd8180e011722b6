"""The paired timing run of find_vs_opencv.sh: find_vs_opencv.py TIMER WORKDIR"""
import os
import statistics
import struct
import subprocess
import sys
import timeit

import cv2
import numpy as np
import skimage.data

TIMER, WORK = sys.argv[1], sys.argv[2]
FRAME_MONO = 12
RUNS = 7


def write_frame_mono(name, pixels):
    height, width = pixels.shape
    with open(os.path.join(WORK, name), "wb") as f:
        f.write(b"\xaa\xaa\xaa\xaa" + struct.pack("<iii", FRAME_MONO, width, height))
        f.write(np.ascontiguousarray(pixels).tobytes())


def script_seconds(name, text):
    path = os.path.join(WORK, name + ".mvs")
    with open(path, "w") as f:
        f.write(text)
    times = []
    for _ in range(RUNS):
        done = subprocess.run([TIMER, path], cwd=WORK, capture_output=True, text=True,
                              check=True)
        times.append(float(done.stdout))
    return statistics.median(times)


def engine_call_seconds(name, setup, call, count):
    base = script_seconds(name + "_setup", setup)
    loop = f"repeat {count} times begin set r to {call}; end\n"
    return (script_seconds(name, setup + loop) - base) / count


def opencv_seconds(function):
    timer = timeit.Timer(function)
    loops, _ = timer.autorange()
    runs = sorted(t / loops for t in timer.repeat(repeat=RUNS, number=loops))
    return runs[len(runs) // 2]


def row(label, mine, theirs):
    print(f"{label:44} {mine * 1e3:9.2f} {theirs * 1e3:10.2f} {mine / theirs:7.2f}")


def main():
    cv2.setNumThreads(1)
    random = np.random.default_rng(7)
    frame = cv2.resize(skimage.data.camera(), (640, 480), interpolation=cv2.INTER_AREA)
    patch = frame[200:232, 300:332].astype(np.float64) + random.normal(0, 3, (32, 32))
    patch = np.clip(patch, 0, 255).astype(np.uint8)
    write_frame_mono("frame.val", frame)
    write_frame_mono("patch.val", patch)
    grey = cv2.cvtColor(skimage.data.astronaut(), cv2.COLOR_RGB2GRAY)
    binary = np.where(cv2.resize(grey, (1920, 1080)) > 128, 255, 0).astype(np.uint8)
    write_frame_mono("binary.val", binary)

    print(f"OpenCV {cv2.__version__}, one thread each, medians of {RUNS} runs")
    print(f"{'operation':44} {'engine ms':>9} {'OpenCV ms':>10} {'ratio':>7}")
    theirs = opencv_seconds(lambda: cv2.minMaxLoc(cv2.matchTemplate(frame, patch,
                                                                     cv2.TM_SQDIFF)))
    setup = 'set src to file "frame.val";\nset m to file "patch.val";\n'
    full = engine_call_seconds("correlate", setup + "set quality of src to 1;\n",
                               "Find.Correlate(src, m)", 20)
    row("Find.Correlate 32x32 in 640x480, step 1", full, theirs)
    generic = engine_call_seconds(
        "correlate_generic", setup + "set quality of src to 1;\n",
        'Find.Correlate(src, m, internal_test_choose_core -> "generic")', 5)
    row("  the same on the generic core", generic, theirs)
    coarse = engine_call_seconds("correlate_default", setup, "Find.Correlate(src, m)", 20)
    row("  the same at the default quality (step 1.41)", coarse, theirs)

    setup = 'set b to file "binary.val";\n'
    for radius, connectivity in ((1, 4), (1.5, 8)):
        theirs = opencv_seconds(
            lambda: cv2.connectedComponentsWithStats(binary, connectivity=connectivity))
        mine = engine_call_seconds(f"region_{connectivity}", setup,
                                   f"Find.Region(b, value -> 1, radius -> {radius})", 10)
        row(f"Find.Region 1920x1080, radius {radius} ({connectivity}-conn.)", mine, theirs)


main()
