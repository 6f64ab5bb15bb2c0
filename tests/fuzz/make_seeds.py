#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets (corpus/<target>/<name>), each seed laid out as
its target reads its bytes. The reproducers of faults found once are seeds too, so every brief
run of the fuzzers replays them. Run again after changing a target's layout."""
import os
import struct
import sys

here = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(here, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def words(*args):
    return b"\0".join(a.encode() for a in args)


# The simulator's command line.
for name, args in {
    "defaults": [],
    "help": ["--help"],
    "full": ["--size", "1920x1080", "--seed", "7", "--frames", "250", "--dump-every", "50", "--preview",
             "--set", "NumBalls=100", "--set", "Game=6", "--png", "out"],
    "bad-size": ["--size", "65537x10"],
    "bad-set": ["--set", "Bogus=1"],
    "line-break": ["--set", "NumBalls=1\n2"],
    "missing-value": ["--frames"],
    "huge-png": ["--size", "65536x65536", "--png", "out"],
}.items():
    write("fuzz_sim_options", name, words(*args))

# The run-mode decision.
for name, args in {
    "none": [], "run": ["/s"], "configure": ["/c:1234"], "preview": ["/p", "1234"], "uninstall": ["-UNINSTALL"],
    "upper-s": ["/S"], "empty": [""], "lone-s": ["s"], "double-slash-p": ["//p"], "save": ["/save"],
}.items():
    write("fuzz_run_mode", name, words(*args))

# A world: ten stored values in table order (NumBalls, Velocity, BallSize, Colors, Gravity,
# ScenarioCounter, RefreshRate, BallSizeSel, Game, Sparks), the area's width and height, the
# preview flag, the generator's seed, frames - 100, the frame of a new setup (0: none), and the
# second area.
DEFAULTS = [20, 10, 30, 2, 0, 20, 1, 0, 0, 0]


def world(values=None, area=(1024, 768), preview=0, seed=1, frames=200, new_scene_at=0, second=(1024, 768)):
    stored = list(DEFAULTS)
    for key, value in (values or {}).items():
        stored[["NumBalls", "Velocity", "BallSize", "Colors", "Gravity", "ScenarioCounter", "RefreshRate",
                "BallSizeSel", "Game", "Sparks"].index(key)] = value
    return (struct.pack("<10i", *[v if v < 2**31 else v - 2**32 for v in stored]) +
            struct.pack("<iiBIBBii", area[0], area[1], preview, seed, frames - 100, new_scene_at, *second))


for name, data in {
    "defaults": world(),
    "preview": world(area=(152, 112), preview=1),
    "every-scenario-sparks-gravity": world({"Game": 6, "Sparks": 1, "Gravity": 100, "BallSizeSel": 2, "NumBalls": 100}),
    "thousand-balls-of-radius-1000": world({"NumBalls": 1000, "BallSize": 1000}, area=(3840, 2160)),
    "hundred-balls-of-radius-1000": world({"NumBalls": 100, "BallSize": 1000}, area=(3840, 2160)),
    "scene-length-0": world({"ScenarioCounter": 0}),
    "scene-length-wraps-to-0": world({"ScenarioCounter": 0x20000000}),
    "gravity-all-ones": world({"Gravity": 0xFFFFFFFF}),
    "tiny-balls-huge-area": world({"BallSize": 1, "NumBalls": 1000}, area=(65536, 65536)),
    "one-pixel": world(area=(1, 1)),
    "thin-tall": world({"BallSize": 1}, area=(3, 65536)),
    "thin-wide": world({"BallSize": 1}, area=(65536, 3)),
    "fast-and-many": world({"NumBalls": 1000, "BallSize": 1, "Velocity": 1000, "Gravity": 100, "Sparks": 1}),
    "window-grows": world({"Sparks": 1, "Game": 2}, area=(640, 480), new_scene_at=50, second=(1920, 1080)),
    "window-shrinks": world({"NumBalls": 100}, area=(1920, 1080), new_scene_at=20, second=(61, 61)),
}.items():
    write("fuzz_world", name, data)

# The renderer: canvas width and height (each 0..200, 8 bytes), a clip flag and clip, the creation
# mask, the seed, the scenario, balls (x, y, radius doubles, colour, bounds, previous bounds),
# bursts (per spark x, y, previous x, previous y, step x, step y, life), then lines (x0, y0, x1,
# y1, pen width).
def q(v):
    return struct.pack("<Q", v)


def ball(x, y, radius, color, bounds, prev):
    return struct.pack("<dddI4i4i", x, y, radius, color, *bounds, *prev)


def spark(x, y, px, py, sx, sy, life):
    return struct.pack("<4i", x, y, px, py) + q(sx + 8) + q(sy + 8) + q(life - 1)


def line(x0, y0, x1, y1, width):
    return struct.pack("<4i", x0, y0, x1, y1) + q(width - 1)


def render(width=160, height=120, clip=None, mask=0, seed=3, game=1, balls=(), bursts=(), lines=()):
    data = q(width) + q(height) + bytes([1 if clip else 0])
    if clip:
        data += struct.pack("<4i", *clip)
    data += struct.pack("<QI", mask, seed) + q(game) + q(len(balls))
    for b in balls:
        data += ball(*b)
    data += q(len(bursts))
    for burst in bursts:
        for s in burst:
            data += spark(*s)
    for l in lines:
        data += line(*l)
    return data


A_BALL = (50.0, 40.0, 20.0, 0x2080F0, (30, 20, 70, 60), (28, 18, 68, 58))
A_BURST = [(60, 50, 58, 48, 3, -2, 5)] * 4
for name, data in {
    "a-frame": render(balls=[A_BALL, (90.0, 60.0, 15.0, 0x00FF00, (75, 45, 105, 75), (75, 45, 105, 75))],
                      bursts=[A_BURST], lines=[(0, 0, 159, 119, 2), (-5, 60, 300, 61, 1)]),
    "part-of-the-window": render(clip=(40, 30, 100, 90), balls=[A_BALL], bursts=[A_BURST]),
    "no-buffer": render(mask=0xFFFFFFFFFFFFFFFE, balls=[A_BALL], bursts=[A_BURST]),
    "no-pen-for-the-second-ball": render(mask=0xFFFFFFFFFFFFFFF7, balls=[A_BALL, A_BALL]),
    "huge-clip": render(clip=(-2**31, -2**31, 2**31 - 1, 2**31 - 1), balls=[A_BALL]),
    "balls-at-the-limits": render(balls=[(1e300, -1e300, 1e300, 0xFFFFFF, (-2**31, -2**31, 2**31 - 1, 2**31 - 1),
                                          (2**31 - 1, 2**31 - 1, -2**31, -2**31)),
                                         (float("nan"), 5.0, float("inf"), 0x123456, (0, 0, 0, 0), (0, 0, 0, 0))]),
    "sparks-at-the-limits": render(bursts=[[(2**31 - 1, -2**31, 2**31 - 2, -2**31 + 1, 8, -8, 7)] * 4]),
    "lines-across-a-billion": render(lines=[(-10**9, -10**9, 10**9, 10**9, 2), (-2**31, 5, 2**31 - 1, 6, 1),
                                            (7, -2**31, 8, 2**31 - 1, 3), (-10**9, 7, 10**9, 7, 4)]),
}.items():
    write("fuzz_render", name, data)

# The installer's version-text parse: the text itself (its first 20 bytes are also read as four
# numbers and the notations they are written in).
for name, text in {
    "file-version": "1, 2, 0, 0", "dotted": "1.2.0.0", "notations": "0x1, 010, -1, 255", "empty": "",
    "two-fields": "3, 7", "trailing-comma": "1,", "no-number": " ,2", "big": "4294967295.65536.256.-256",
}.items():
    write("fuzz_version_text", name, text.encode())

# The uninstall batch: a module path as started.
for name, path in {
    "short-path": "C:\\WINDOWS\\VELLOR~1.SCR", "percent": "C:\\100%\\A%B%\\X.SCR",
    "batch-characters": "C:\\PROGRA~1\\A&B|C<D>^E!.SCR", "empty": "",
    "found-line-break": "C:\\X.SCR\r\nDEL C:\\BOOT.INI", "quote": "C:\\X\".SCR",
}.items():
    write("fuzz_uninstall_batch", name, path.encode())

print("seeds written under", os.path.join(here, "corpus"), file=sys.stderr)
