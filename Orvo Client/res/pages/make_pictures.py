#!/usr/bin/env python3
"""Draws the pictures of the splash and About pages (standard library only).

Run it in this folder to write BANNER.PNG, CE.PNG, ORVO_T.PNG and LOADER.GIF.
"""
import struct
import zlib


def png(path, width, height, pixel):
    rows = b"".join(b"\x00" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


def lzw(indices, min_size):
    clear, end = 1 << min_size, (1 << min_size) + 1
    out, bits, nbits = bytearray(), 0, 0
    size = min_size + 1

    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    table = {bytes([i]): i for i in range(clear)}
    nxt = end + 1
    emit(clear)
    w = b""
    for i in indices:
        wc = w + bytes([i])
        if wc in table:
            w = wc
            continue
        emit(table[w])
        if nxt < 4096:
            table[wc] = nxt
            nxt += 1
            if nxt > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear)
            table = {bytes([k]): k for k in range(clear)}
            nxt, size = end + 1, min_size + 1
        w = bytes([i])
    if w:
        emit(table[w])
    emit(end)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def gif(path, width, height, palette, frames, delay):
    data = b"GIF89a" + struct.pack("<HHBBB", width, height, 0xF1, 0, 0)  # 4-colour global table
    data += b"".join(bytes(c) for c in palette)
    data += b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop forever
    for frame in frames:
        data += b"\x21\xf9\x04\x00" + struct.pack("<H", delay) + b"\x00\x00"
        data += b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0)
        packed = lzw(frame, 2)
        data += b"\x02"
        for i in range(0, len(packed), 255):
            block = packed[i:i + 255]
            data += bytes([len(block)]) + block
        data += b"\x00"
    with open(path, "wb") as f:
        f.write(data + b"\x3b")


def banner(x, y):
    t = x / 419
    if 30 <= y <= 50 and (x // 12) % 2 == 0 and x < 200:
        return (255, 255, 255)
    return (int(20 + 40 * t), int(60 + 80 * t), int(120 + 100 * t))


def ce_mark(x, y):
    cx1, cx2, cy, r = 12, 30, 15, 10
    ring = lambda cx: r - 3 <= ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5 <= r and x <= cx
    bar = 24 <= x <= 32 and 14 <= y <= 16
    return (0, 0, 0) if ring(cx1) or ring(cx2) or bar else (255, 255, 255)


def product(x, y):
    if 20 <= x <= 139 and 30 <= y <= 100:
        if 30 <= y <= 36 or (y - 40) % 12 < 4 and 30 <= x <= 129:
            return (40, 40, 48)
        return (200, 204, 210)
    return (255, 255, 255)


def loader_frames(width, height, count):
    frames = []
    for n in range(count):
        pixels = []
        for y in range(height):
            for x in range(width):
                seg = x * count // width
                pixels.append(3 if seg == n else (2 if 4 <= y < 12 else 0))
        frames.append(pixels)
    return frames


if __name__ == "__main__":
    png("BANNER.PNG", 420, 80, banner)
    png("CE.PNG", 44, 30, ce_mark)
    png("ORVO_T.PNG", 160, 130, product)
    gif("LOADER.GIF", 64, 16, [(255, 255, 255), (0, 0, 0), (190, 200, 215), (30, 80, 170)],
        loader_frames(64, 16, 8), 12)
