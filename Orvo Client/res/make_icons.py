#!/usr/bin/env python3
"""Writes the client's icons (16 and 32 pixels, 32-bit with alpha) with the
standard library only:

    make_icons.py FOLDER

orvo.ico (program and tray), orvo_blink.ico (tray, blinking), data.ico
(status pane, data received), idle.ico (status pane, idle), and the
command bar's images of commands without a toolbar button: exit.ico,
restore.ico, repair.ico and user_options.ico.
"""
import struct
import sys
from pathlib import Path


def disc(size, fill, ring, mark=None):
    """Rows (bottom first) of BGRA pixels: a ring-edged disc, an optional
    mark (a bar across the middle)."""
    rows = []
    c = (size - 1) / 2.0
    r = size / 2.0 - 0.5
    for y in range(size - 1, -1, -1):
        row = bytearray()
        for x in range(size):
            d = ((x - c) ** 2 + (y - c) ** 2) ** 0.5
            if d > r:
                row += bytes((0, 0, 0, 0))
            elif d > r - max(1.0, size / 10.0):
                row += bytes((ring[2], ring[1], ring[0], 255))
            elif mark and abs(y - c) <= size / 8.0 and abs(x - c) <= r * 0.6:
                row += bytes((mark[2], mark[1], mark[0], 255))
            else:
                row += bytes((fill[2], fill[1], fill[0], 255))
        rows.append(bytes(row))
    return rows


def image(size, rows):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    mask_stride = ((size + 31) // 32) * 4
    return header + b"".join(rows) + bytes(mask_stride * size)


def icon(colours):
    images = [image(s, disc(s, *colours)) for s in (16, 32)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip((16, 32), images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


ICONS = {
    "orvo.ico": ((0x20, 0x60, 0xC0), (0x10, 0x30, 0x70), (0xFF, 0xFF, 0xFF)),
    "orvo_blink.ico": ((0xF0, 0xA0, 0x20), (0x90, 0x50, 0x00), (0xFF, 0xFF, 0xFF)),
    "data.ico": ((0x30, 0xD0, 0x40), (0x10, 0x70, 0x20)),
    "idle.ico": ((0xB0, 0xB0, 0xB0), (0x60, 0x60, 0x60)),
    "exit.ico": ((0xD0, 0x30, 0x30), (0x70, 0x10, 0x10), (0xFF, 0xFF, 0xFF)),
    "restore.ico": ((0x30, 0xA0, 0xD0), (0x10, 0x50, 0x70), (0xFF, 0xFF, 0xFF)),
    "repair.ico": ((0xE0, 0xC0, 0x30), (0x80, 0x60, 0x10), (0x40, 0x40, 0x40)),
    "user_options.ico": ((0x70, 0x50, 0xC0), (0x30, 0x20, 0x60)),
}

if __name__ == "__main__":
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    for name, colours in ICONS.items():
        (folder / name).write_bytes(icon(colours))
