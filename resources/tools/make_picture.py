#!/usr/bin/env python3
"""Writes the main window's picture: a bitmap of one black pixel at 24 bits per pixel."""
import struct
import sys


def main():
    pixel_row = bytes(4)  # one BGR pixel, padded to four bytes
    info = struct.pack("<IiiHHIIiiII", 40, 1, 1, 1, 24, 0, len(pixel_row), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixel_row), 0, 0, offset)
    with open(sys.argv[1], "wb") as out:
        out.write(header + info + pixel_row)


if __name__ == "__main__":
    main()
