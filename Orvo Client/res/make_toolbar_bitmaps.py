#!/usr/bin/env python3
"""Writes the main window's toolbar strips (24-bit bitmaps, 16 x 16 images
side by side on the mask colour 0xC0C0C0) with the standard library only:

    make_toolbar_bitmaps.py FOLDER

toolbar.bmp (the images, in the order of the toolbar's buttons) and
toolbar_hot.bmp (the same images, brighter, for the button under the mouse).
"""
import struct
import sys
from pathlib import Path

SIZE = 16
MASK = (0xC0, 0xC0, 0xC0)


def inside(shape, x, y):
    """Whether pixel (x, y) (top row 0) belongs to the shape."""
    c = (SIZE - 1) / 2.0
    if shape == "disc":
        return (x - c) ** 2 + (y - c) ** 2 <= 42
    if shape == "ring":
        d = (x - c) ** 2 + (y - c) ** 2
        return 20 <= d <= 46 and not (x > c and y < c - 2)
    if shape == "page":
        return 3 <= x <= 12 and 1 <= y <= 14 and not (x >= 10 and y <= 3)
    if shape == "page_plus":
        return inside("page", x, y) and not (6 <= y <= 9 and 5 <= x <= 10 and (x == 7 or y == 7))
    if shape == "left":
        return 2 <= x <= 13 and abs(y - c) <= (x - 1) * 0.55 if x <= 8 else 2 <= x <= 13 and abs(y - c) <= 1.5
    if shape == "right":
        return inside("left", SIZE - 1 - x, y)
    if shape == "lines":
        return 2 <= x <= 13 and y in (3, 4, 7, 8, 11, 12)
    if shape == "blocks":
        return (2 <= x <= 6 or 9 <= x <= 13) and (2 <= y <= 6 or 9 <= y <= 13)
    if shape == "clip":
        return 3 <= x <= 12 and 3 <= y <= 14 or 6 <= x <= 9 and 1 <= y <= 3
    if shape == "tree":
        return x in (3, 4) and 2 <= y <= 13 or y in (4, 5, 9, 10, 13) and 3 <= x <= 12
    if shape == "split_h":
        return 1 <= x <= 14 and (2 <= y <= 6 or 9 <= y <= 13)
    if shape == "split_v":
        return 1 <= y <= 14 and (1 <= x <= 5 or 8 <= x <= 14)
    if shape == "sliders":
        return x in (4, 5, 10, 11) and 1 <= y <= 14 or (3 <= x <= 6 and 9 <= y <= 11) or (9 <= x <= 12 and 4 <= y <= 6)
    if shape == "bolt":
        return abs(x - (12 - y * 0.6)) <= 2.0 and 1 <= y <= 14
    if shape == "omega":
        d = (x - c) ** 2 + (y - c + 1) ** 2
        return (16 <= d <= 36 and y <= 10) or (y in (12, 13) and (2 <= x <= 5 or 10 <= x <= 13))
    if shape == "globe":
        d = (x - c) ** 2 + (y - c) ** 2
        return 36 <= d <= 50 or d < 50 and (abs(x - c) < 1 or abs(y - c) < 1)
    if shape == "envelope":
        edge = 3 <= y <= 12 and 1 <= x <= 14
        flap = abs((y - 3) - min(x - 1, 14 - x) * 0.6) < 1
        return edge and (y in (3, 12) or x in (1, 14) or flap)
    if shape == "question":
        d = (x - c) ** 2 + (y - 5) ** 2
        return (9 <= d <= 20 and not (x < c and y > 5)) or (x in (7, 8) and 8 <= y <= 10) or (x in (7, 8) and y >= 12)
    if shape == "info":
        return x in (7, 8) and (y in (2, 3) or 6 <= y <= 13) or (y == 13 and 5 <= x <= 10)
    raise ValueError(shape)


# The images in the order of the toolbar's buttons: Reset; Save Protocol,
# Save Protocol As; Undo, Redo; Copy as Text, Copy as State, Paste;
# Overview, Secondary View, Protocol Manager; Display Options; Global
# Deblock, Impedance Check; web, e-mail; Help Topics; About.
IMAGES = [
    ("ring", (0xC0, 0x20, 0x20)),
    ("page", (0x20, 0x40, 0xA0)),
    ("page_plus", (0x20, 0x40, 0xA0)),
    ("left", (0x20, 0x80, 0x20)),
    ("right", (0x20, 0x80, 0x20)),
    ("lines", (0x30, 0x30, 0x30)),
    ("blocks", (0x60, 0x20, 0x90)),
    ("clip", (0x90, 0x60, 0x20)),
    ("tree", (0x20, 0x60, 0x60)),
    ("split_h", (0x20, 0x60, 0x90)),
    ("split_v", (0x60, 0x40, 0x20)),
    ("sliders", (0x40, 0x40, 0x80)),
    ("bolt", (0xD0, 0x90, 0x00)),
    ("omega", (0x00, 0x70, 0x90)),
    ("globe", (0x10, 0x50, 0xC0)),
    ("envelope", (0x80, 0x50, 0x10)),
    ("question", (0x10, 0x40, 0x90)),
    ("info", (0x10, 0x40, 0x90)),
]


def brighter(colour):
    return tuple(min(255, v + (255 - v) // 2) for v in colour)


def strip(hot):
    """Rows of BGR pixels, bottom row first, of all images side by side."""
    width = SIZE * len(IMAGES)
    rows = []
    for y in range(SIZE - 1, -1, -1):
        row = bytearray()
        for shape, colour in IMAGES:
            rgb = brighter(colour) if hot else colour
            for x in range(SIZE):
                r, g, b = rgb if inside(shape, x, y) else MASK
                row += bytes((b, g, r))
        row += bytes((-len(row)) % 4)
        rows.append(bytes(row))
    return width, rows


def bitmap(hot):
    width, rows = strip(hot)
    pixels = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, SIZE, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


if __name__ == "__main__":
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    (folder / "toolbar.bmp").write_bytes(bitmap(False))
    (folder / "toolbar_hot.bmp").write_bytes(bitmap(True))
