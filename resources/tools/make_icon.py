#!/usr/bin/env python3
"""Writes the program icon: one 32 x 32 image at 24 bits per pixel, no transparent pixel."""
import math
import struct
import sys

SIZE = 32
YELLOW = (0xF5, 0xF0, 0x32)
BLACK = (0, 0, 0)


def coverage(x, y):
    """Fraction of the pixel at x, y covered by the dark shape, by 4 x 4 supersampling."""
    inside = 0
    for sy in range(4):
        for sx in range(4):
            px = x + (sx + 0.5) / 4 - SIZE / 2
            py = y + (sy + 0.5) / 4 - SIZE / 2
            if math.hypot(px, py) < 7:
                inside += 1
    return inside / 16


def pixels():
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
    xor = b"".join(bytes(v for p in reversed_row for v in (p[2], p[1], p[0]))
                   for reversed_row in reversed(rows))
    and_mask = bytes(4 * SIZE)  # every pixel opaque
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 24, 0, stride * SIZE + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 24, len(image), 22)
    return directory + image


def main():
    with open(sys.argv[1], "wb") as out:
        out.write(ico_bytes(pixels()))


if __name__ == "__main__":
    main()
