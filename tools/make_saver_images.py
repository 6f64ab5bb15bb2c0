#!/usr/bin/env python3
"""Writes the saver module's icon (16-colour, 32x32 and 16x16), its fully transparent pointer and
the link's pointing hand into saver/resources/ (the installer shows the same icon and hand), and the
installer's program icon into installer/resources/. The outputs are committed; run this again only
to change them."""

import os
import struct

# The 16-colour system palette, index -> (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_RED, DARK_GREEN, WHITE = 0, 1, 2, 15
RED, GREEN, YELLOW, BLUE, DARK_BLUE, DARK_YELLOW = 9, 10, 11, 12, 4, 3

# Balls in the unit square: centre x, centre y, radius, fill, rim.
BALLS = [
    (0.33, 0.64, 0.23, RED, DARK_RED),
    (0.70, 0.70, 0.17, GREEN, DARK_GREEN),
    (0.62, 0.30, 0.15, BLUE, DARK_BLUE),
    (0.25, 0.24, 0.09, YELLOW, DARK_YELLOW),
]
# White sparks thrown where the red and the green ball meet: from, to, in the unit square.
SPARKS = [((0.53, 0.50), (0.60, 0.38)), ((0.55, 0.58), (0.74, 0.50)), ((0.50, 0.57), (0.46, 0.88))]


def draw_balls(size):
    """The saver's motif. Index rows top to bottom, and the transparency mask (True = transparent)."""
    pixels = [[BLACK] * size for _ in range(size)]
    transparent = [[False] * size for _ in range(size)]
    corner = size // 6  # rounded corners of the black screen
    for y in range(size):
        for x in range(size):
            dx = max(corner - x, x - (size - 1 - corner), 0)
            dy = max(corner - y, y - (size - 1 - corner), 0)
            if dx * dx + dy * dy > corner * corner:
                transparent[y][x] = True
    for cx, cy, r, fill, rim in BALLS:
        for y in range(size):
            for x in range(size):
                px, py = (x + 0.5) / size, (y + 0.5) / size
                d2 = (px - cx) ** 2 + (py - cy) ** 2
                if d2 <= r * r:
                    inner = r - 1.2 / size
                    pixels[y][x] = fill if d2 <= inner * inner else rim
        # A highlight up and to the left of the centre.
        hx, hy = int((cx - r * 0.4) * size), int((cy - r * 0.4) * size)
        pixels[hy][hx] = WHITE
    for (x0, y0), (x1, y1) in SPARKS:
        steps = size
        for i in range(steps + 1):
            t = i / steps
            x = int((x0 + (x1 - x0) * t) * size)
            y = int((y0 + (y1 - y0) * t) * size)
            if 0 <= x < size and 0 <= y < size:
                pixels[y][x] = WHITE
    return pixels, transparent


def pad4(data):
    return data + b"\0" * (-len(data) % 4)


# The installer's program icon: a computer with a blue screen beside a box. Rectangles in the unit
# square, drawn in order: left, top, right, bottom, colour.
LIGHT_GREY, DARK_GREY = 7, 8
COMPUTER_AND_BOX = [
    (0.03, 0.10, 0.66, 0.62, DARK_GREY),   # the monitor's case
    (0.06, 0.13, 0.63, 0.58, LIGHT_GREY),
    (0.12, 0.19, 0.57, 0.52, DARK_BLUE),   # the screen
    (0.15, 0.22, 0.54, 0.49, BLUE),
    (0.28, 0.62, 0.41, 0.70, DARK_GREY),   # the stand
    (0.13, 0.70, 0.56, 0.78, DARK_GREY),   # its foot
    (0.56, 0.50, 0.97, 0.94, DARK_YELLOW), # the box
    (0.60, 0.54, 0.93, 0.90, YELLOW),
    (0.60, 0.62, 0.93, 0.66, DARK_YELLOW), # its lid's edge
    (0.74, 0.54, 0.79, 0.62, DARK_RED),    # the tape
]


def draw_computer_and_box(size):
    pixels = [[BLACK] * size for _ in range(size)]
    transparent = [[True] * size for _ in range(size)]
    for left, top, right, bottom, colour in COMPUTER_AND_BOX:
        for y in range(int(top * size), max(int(bottom * size), int(top * size) + 1)):
            for x in range(int(left * size), max(int(right * size), int(left * size) + 1)):
                pixels[y][x] = colour
                transparent[y][x] = False
    return pixels, transparent


def icon_image(size, draw):
    pixels, transparent = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    xor_rows, and_rows = [], []
    for y in reversed(range(size)):  # bitmaps are stored bottom-up
        row = pixels[y]
        xor = bytes((row[x] << 4) | row[x + 1] for x in range(0, size, 2))
        xor_rows.append(pad4(xor))
        mask = bytearray(size // 8 or 1)
        for x in range(size):
            if transparent[y][x]:
                mask[x // 8] |= 0x80 >> (x % 8)
        and_rows.append(pad4(bytes(mask)))
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    for y in range(size):  # transparent pixels hold black so that the AND/XOR pair leaves the screen alone
        for x in range(size):
            if transparent[y][x]:
                assert pixels[y][x] == BLACK
    return image


def write_icon(path, sizes, draw):
    images = [icon_image(s, draw) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


def write_transparent_cursor(path):
    """32x32 monochrome, hot spot (0, 0): AND mask all ones, XOR mask all zeros."""
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack("BBBB", 0, 0, 0, 0) + struct.pack("BBBB", 255, 255, 255, 0)
    image = header + palette + b"\0" * (4 * 32) + b"\xff" * (4 * 32)
    out = struct.pack("<HHH", 0, 2, 1)
    out += struct.pack("<BBBBHHII", 32, 32, 2, 0, 0, 0, len(image), 6 + 16)
    out += image
    with open(path, "wb") as f:
        f.write(out)


# The pointing hand over the link: X black, . white, blank transparent. The tip of the index finger
# is the hot spot, at (5, 0).
HAND = [
    "     XX",
    "    X..X",
    "    X..X",
    "    X..X",
    "    X..X",
    "    X..XXX",
    "    X..X..XXX",
    "    X..X..X..XX",
    "    X..X..X..X.X",
    " XX X..X..X..X..X",
    "X..XX..X..X..X..X",
    "X...X...........X",
    " X..............X",
    "  X.............X",
    "  X............X",
    "   X...........X",
    "   X..........X",
    "    X.........X",
    "    X.........X",
    "     X.......X",
    "     X.......X",
    "     XXXXXXXXX",
]
HAND_HOT_SPOT = (5, 0)


def write_mono_cursor(path, art, hot_spot):
    """32x32 monochrome from rows of art. AND 1 and XOR 0 leave the screen; AND 0 draws the XOR
    bit's colour (0 black, 1 white)."""
    xor_rows, and_rows = [], []
    for y in reversed(range(32)):  # bottom-up
        line = art[y] if y < len(art) else ""
        xor, mask = bytearray(4), bytearray(4)
        for x in range(32):
            c = line[x] if x < len(line) else " "
            bit = 0x80 >> (x % 8)
            if c == " ":
                mask[x // 8] |= bit
            elif c == ".":
                xor[x // 8] |= bit
        xor_rows.append(bytes(xor))
        and_rows.append(bytes(mask))
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack("BBBB", 0, 0, 0, 0) + struct.pack("BBBB", 255, 255, 255, 0)
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    out = struct.pack("<HHH", 0, 2, 1)
    out += struct.pack("<BBBBHHII", 32, 32, 2, 0, hot_spot[0], hot_spot[1], len(image), 6 + 16)
    out += image
    with open(path, "wb") as f:
        f.write(out)


def main():
    top = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    root = os.path.join(top, "saver", "resources")
    write_icon(os.path.join(root, "VelloraSaver.ico"), [32, 16], draw_balls)
    write_transparent_cursor(os.path.join(root, "transparent.cur"))
    write_mono_cursor(os.path.join(root, "hand.cur"), HAND, HAND_HOT_SPOT)
    write_icon(os.path.join(top, "installer", "resources", "VelloraSetup.ico"), [32, 16], draw_computer_and_box)


if __name__ == "__main__":
    main()
