#!/usr/bin/env python3
"""Writes the program icon: a black trefoil on a yellow ground, one 32 x 32 image at 24 bits
per pixel with every pixel opaque.

The trefoil is the radiation warning sign's: a central disc and three blades, each a 60-degree
sector of a ring, with one blade pointing down and two up to the sides. Edges are smoothed by
supersampling each pixel, so a pixel on an edge is a blend of the two colours and the ground
itself stays exactly YELLOW, the most frequent colour.
"""
import math
import struct
import sys

SIZE = 32
YELLOW = (0xF5, 0xF0, 0x32)
BLACK = (0x00, 0x00, 0x00)
SAMPLES = 8  # per axis and pixel

# Radii in pixels: the sign's proportions (disc R, blades from 1.5 R to 5 R) scaled to fill
# the image with a small yellow margin.
DISC = 2.9
BLADE_INNER = 1.5 * DISC
BLADE_OUTER = 5.0 * DISC
BLADE_HALF_WIDTH = 30.0  # degrees either side of a blade's axis
# Axes of the blades in degrees, counted clockwise from "up" on the screen.
BLADE_AXES = (60.0, 180.0, 300.0)
# The blades reach lower below the disc than above it, so the centre sits a pixel above the
# image's middle to leave equal margins at the top and the bottom.
CENTRE_X = SIZE / 2
CENTRE_Y = SIZE / 2 - 1


def dark(px, py):
    """Whether the point px, py (pixels from the trefoil's centre, y downwards) is in the trefoil."""
    r = math.hypot(px, py)
    if r <= DISC:
        return True
    if not BLADE_INNER <= r <= BLADE_OUTER:
        return False
    bearing = math.degrees(math.atan2(px, -py)) % 360.0
    return any(abs((bearing - axis + 180.0) % 360.0 - 180.0) <= BLADE_HALF_WIDTH for axis in BLADE_AXES)


def coverage(x, y):
    """Fraction of the pixel at column x, row y that the trefoil covers."""
    inside = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            px = x + (sx + 0.5) / SAMPLES - CENTRE_X
            py = y + (sy + 0.5) / SAMPLES - CENTRE_Y
            inside += dark(px, py)
    return inside / (SAMPLES * SAMPLES)


def pixels():
    """Rows of (red, green, blue), top row first."""
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            c = coverage(x, y)
            row.append(tuple(round(YELLOW[i] * (1 - c) + BLACK[i] * c) for i in range(3)))
        rows.append(row)
    return rows


def ico_bytes(rows):
    stride = SIZE * 3  # 96 bytes: already a multiple of four
    # A DIB stores its rows bottom-up and each pixel as blue, green, red.
    xor = b"".join(bytes(v for p in row for v in (p[2], p[1], p[0])) for row in reversed(rows))
    and_mask = bytes(4 * SIZE)  # one bit a pixel, rows of 4 bytes; all clear: every pixel opaque
    # An icon's DIB header gives twice the height: the colour image and then the mask.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 24, 0, stride * SIZE + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 24, len(image), len(directory) + 16)
    return directory + entry + image


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_icon.py OUTPUT.ico")
    with open(sys.argv[1], "wb") as out:
        out.write(ico_bytes(pixels()))


if __name__ == "__main__":
    main()
