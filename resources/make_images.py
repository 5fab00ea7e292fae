#!/usr/bin/env python3
"""Makes the program's texture bitmap and icon, byte for byte the same on every run.

The texture is a terrain-like map with a faint grid and a big "N" at the top edge and "E" at
the right edge, so a texture shown flipped or mirrored is obvious at a glance. Only integer
arithmetic is used, so the output does not depend on the platform's floating point.

    make_images.py            write bmptest.bmp and tessmere.ico beside this script
    make_images.py --check    exit 1 unless the committed files match what would be written
"""

import struct
import sys
from pathlib import Path

SIDE = 512
HEIGHT_TOP = 1000

# (height, (r, g, b)): water, beach, grass, forest, rock, snow.
RAMP = [
    (0, (18, 38, 104)),
    (240, (52, 112, 172)),
    (290, (206, 194, 136)),
    (330, (116, 172, 84)),
    (560, (42, 112, 52)),
    (740, (122, 102, 80)),
    (880, (150, 148, 146)),
    (950, (244, 244, 250)),
    (HEIGHT_TOP, (255, 255, 255)),
]

# (centre x, centre y, radius, height) of the hills, in pixels from the top left.
HILLS = [
    (150, 160, 150, 520),
    (360, 330, 190, 700),
    (390, 120, 110, 380),
    (110, 400, 120, 300),
    (260, 250, 70, 220),
]


def terrain_height(x, y):
    """Height 0..HEIGHT_TOP of pixel (x, y), counted from the top left."""
    h = 120 + (x + (SIDE - y)) * 80 // (2 * SIDE)
    for cx, cy, r, top in HILLS:
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        if d2 < r * r:
            # Smooth bump: (1 - d^2/r^2)^2 scaled to the hill's height.
            f = r * r - d2
            h += top * f * f // (r ** 4)
    # A little fixed roughness so that flat stretches do not look painted.
    n = (x * 73856093) ^ (y * 19349663)
    n = (n ^ (n >> 13)) * 1274126177 & 0xFFFFFFFF
    h += (n >> 24) % 9 - 4
    return max(0, min(HEIGHT_TOP, h))


def ramp_colour(h):
    for (h0, c0), (h1, c1) in zip(RAMP, RAMP[1:]):
        if h <= h1:
            return tuple(a + (b - a) * (h - h0) // (h1 - h0) for a, b in zip(c0, c1))
    return RAMP[-1][1]


def letter_n(x, y, w, h, stroke):
    """Whether (x, y) inside a w by h box lies on an upright "N"."""
    if x < stroke or x >= w - stroke:
        return True
    left = y * (w - stroke) // h
    return left <= x < left + stroke


def letter_e(x, y, w, h, stroke):
    """Whether (x, y) inside a w by h box lies on an upright "E"."""
    if x < stroke or y < stroke or y >= h - stroke:
        return True
    middle = (h - stroke) // 2
    return middle <= y < middle + stroke and x < w * 4 // 5


# (shape, left, top, width, height, stroke, fill colour), in pixels from the top left.
MARKS = [
    (letter_n, 226, 10, 60, 80, 14, (230, 40, 36)),
    (letter_e, 442, 216, 58, 80, 14, (255, 255, 255)),
]
OUTLINE = 3
OUTLINE_COLOUR = (16, 16, 16)


def mark_layers():
    """Maps (x, y) to a fill colour or the outline colour for every pixel of the marks."""
    layers = {}
    for shape, left, top, w, h, stroke, fill in MARKS:
        inside = {
            (left + x, top + y)
            for y in range(h)
            for x in range(w)
            if shape(x, y, w, h, stroke)
        }
        for px, py in inside:
            for dy in range(-OUTLINE, OUTLINE + 1):
                for dx in range(-OUTLINE, OUTLINE + 1):
                    layers.setdefault((px + dx, py + dy), OUTLINE_COLOUR)
        for p in inside:
            layers[p] = fill
    return layers


def texture_pixel(x, y, marks):
    if (x, y) in marks:
        return marks[(x, y)]
    r, g, b = ramp_colour(terrain_height(x, y))
    # Faint grid: every 32 pixels, a little stronger every 128.
    if x % 128 == 0 or y % 128 == 0 or x == SIDE - 1 or y == SIDE - 1:
        return (r * 3 // 4, g * 3 // 4, b * 3 // 4)
    if x % 32 == 0 or y % 32 == 0:
        return (r * 7 // 8, g * 7 // 8, b * 7 // 8)
    return (r, g, b)


def bitmap_file():
    """The texture as a 24-bit, bottom-up, uncompressed Windows bitmap file."""
    marks = mark_layers()
    line = (SIDE * 3 + 3) // 4 * 4
    pixels = bytearray()
    for y in reversed(range(SIDE)):
        row = bytearray()
        for x in range(SIDE):
            r, g, b = texture_pixel(x, y, marks)
            row += bytes((b, g, r))
        row += bytes(line - len(row))
        pixels += row
    info = struct.pack("<IiiHHIIiiII", 40, SIDE, SIDE, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + pixels


# The 16 colours of the standard VGA palette, as (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREEN, GREY, GREEN, BLUE, WHITE = 0, 2, 8, 10, 12, 15

# A snow-capped mountain over a blue mesh, drawn in palette indices; "." is transparent.
ICON_ROWS = [
    "................................",
    "................................",
    "...............00...............",
    "..............0ff0..............",
    ".............0ffff0.............",
    "............0ffffff0............",
    "...........0fff88fff0...........",
    "..........0ff8888fff0...........",
    ".........0f888888888f0..........",
    "........0888888888888f0.........",
    ".......088888a88888888f0........",
    "......0888888aa8888888880.......",
    ".....08888888aaa88888888880.....",
    "....0888888aaaaaa88888888880....",
    "...08888aaaaaaaaaaa8888888880...",
    "..0888aaaaaaaaa2aaaaaa88888880..",
    ".0aaaaaaaaaaa22222aaaaaaa888880.",
    "0aaaaaaaa2222222222aaaaaaaaa8880",
    "0aaaaaa22222222222222aaaaaaaaaa0",
    "0aaa222222222222222222222aaaaaa0",
    "00000000000000000000000000000000",
    "c...c...c...c...c...c...c...c..c",
    ".c..c..c.c..c..c.c..c..c.c..c.c.",
    "..c.c.c...c.c.c...c.c.c...c.cc..",
    "...ccc.....ccc.....ccc.....ccc..",
    "cccccccccccccccccccccccccccccccc",
    "...ccc.....ccc.....ccc.....ccc..",
    "..c.c.c...c.c.c...c.c.c...c.cc..",
    ".c..c..c.c..c..c.c..c..c.c..c.c.",
    "c...c...c...c...c...c...c...c..c",
    "cccccccccccccccccccccccccccccccc",
    "................................",
]


def icon_file():
    """One 32 by 32, 16-colour image as a Windows icon file."""
    size = 32
    colours = bytearray()
    for r, g, b in PALETTE:
        colours += bytes((b, g, r, 0))
    xor = bytearray()
    mask = bytearray()
    for row in reversed(ICON_ROWS):
        indices = [BLACK if c == "." else int(c, 16) for c in row]
        xor += bytes(indices[i] << 4 | indices[i + 1] for i in range(0, size, 2))
        bits = 0
        for c in row:
            bits = bits << 1 | (c == ".")
        mask += bits.to_bytes(size // 8, "big")
    image_size = len(xor) + len(mask)
    info = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, image_size, 0, 0, 0, 0)
    image = info + colours + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main(argv):
    here = Path(__file__).resolve().parent
    outputs = {here / "bmptest.bmp": bitmap_file(), here / "tessmere.ico": icon_file()}
    if argv[1:] == ["--check"]:
        stale = [p.name for p, data in outputs.items() if not p.exists() or p.read_bytes() != data]
        for name in stale:
            print(f"{name} differs from what make_images.py makes; run it and commit the result")
        return 1 if stale else 0
    if argv[1:]:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    for path, data in outputs.items():
        path.write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
