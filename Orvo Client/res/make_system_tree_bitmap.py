#!/usr/bin/env python3
"""Writes the system tree's images (a 24-bit bitmap of four 16 x 16 images
side by side, 0xC0C0C0 transparent) with the standard library only:

    make_system_tree_bitmap.py FOLDER

system_tree.bmp: 0 the server, 1 the amplifier state, 2 an amplifier,
3 a channel.
"""
import struct
import sys
from pathlib import Path

SIZE = 16
BACK = (0xC0, 0xC0, 0xC0)
EDGE = (0x20, 0x30, 0x50)


def server(x, y):
    """A tower with two drive bays."""
    if 3 <= x <= 12 and 1 <= y <= 14:
        if x in (3, 12) or y in (1, 14):
            return EDGE
        if 5 <= x <= 10 and y in (4, 7):
            return (0x30, 0xD0, 0x40)
        return (0xE0, 0xE0, 0xE8)
    return None


def state(x, y):
    """Three stacked cards."""
    for d in (0, 3, 6):
        if 1 + d <= x <= 9 + d and 7 - d <= y <= 14 - d - 3:
            if x in (1 + d, 9 + d) or y in (7 - d, 14 - d - 3):
                return EDGE
            return (0x20, 0x60, 0xC0)
    return None


def amplifier(x, y):
    """A box with a triangle (the amplifier symbol)."""
    if 1 <= x <= 14 and 3 <= y <= 12:
        if x in (1, 14) or y in (3, 12):
            return EDGE
        if 4 <= x <= 11 and abs(y - 7.5) <= (11 - x) / 2.0:
            return (0xF0, 0xA0, 0x20)
        return (0xFF, 0xFF, 0xFF)
    return None


def channel(x, y):
    """A wave across a small disc."""
    d = ((x - 7.5) ** 2 + (y - 7.5) ** 2) ** 0.5
    if d <= 7:
        wave = 7.5 + 3 * (1 if (x // 4) % 2 else -1)
        if abs(y - wave) < 1 and 2 <= x <= 13:
            return (0x10, 0x30, 0x70)
        return EDGE if d > 6 else (0x90, 0xD0, 0xF0)
    return None


def bitmap(images):
    width = SIZE * len(images)
    stride = (width * 3 + 3) // 4 * 4
    rows = []
    for y in range(SIZE - 1, -1, -1):  # bottom row first
        row = bytearray()
        for draw in images:
            for x in range(SIZE):
                r, g, b = draw(x, y) or BACK
                row += bytes((b, g, r))
        rows.append(bytes(row) + bytes(stride - len(row)))
    pixels = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, SIZE, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


if __name__ == "__main__":
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent)
    (folder / "system_tree.bmp").write_bytes(bitmap([server, state, amplifier, channel]))
