#!/usr/bin/env python3
"""Draws the program's icon, the credits picture's emblem on a square: a
rounded night-blue tile, a gold rising sun over an open book. Writes a PNG
with transparent corners.

    make_icon_png.py SIZE OUT.png
"""
import math, struct, sys, zlib

GOLD = (250, 200, 60)
RAYS = (240, 180, 50)
PAGE = (245, 235, 205)
LINE = (150, 120, 60)


def colour(u, v):
    """Colour at (u, v) in a 1 x 1 square, or None outside the tile."""
    # rounded tile
    r = 0.18
    cu, cv = min(max(u, r), 1 - r), min(max(v, r), 1 - r)
    if math.hypot(u - cu, v - cv) > r:
        return None
    # gold rim
    if math.hypot(u - cu, v - cv) > r - 0.035 or min(u, v, 1 - u, 1 - v) < 0.035:
        return GOLD
    # open book: two pages that sag towards the spine
    if 0.56 <= v <= 0.84:
        off = abs(u - 0.5)
        if 0.015 <= off <= 0.38:
            sag = 0.04 * math.sin(math.pi * off / 0.38)
            if v >= 0.56 + sag:
                if 0.06 < off < 0.33 and int((v - sag - 0.60) / 0.05 * 10) % 10 == 0:
                    return LINE
                return PAGE
    # sun with rays, rising above the book
    sx, sy = 0.5, 0.52
    d = math.hypot(u - sx, v - sy)
    if d < 0.17:
        return GOLD
    ang = math.atan2(v - sy, u - sx)
    if d < 0.34 and v < sy and math.cos(ang * 12) > 0.8:
        return RAYS
    # background: deep blue to teal
    return (int(10 + 20 * v), int(30 + 80 * v), int(90 + 60 * v))


def pixel(x, y, size, samples=4):
    """Averages samples x samples points of the pixel, so edges are smooth."""
    acc = [0, 0, 0, 0]
    for i in range(samples):
        for j in range(samples):
            c = colour((x + (i + 0.5) / samples) / size, (y + (j + 0.5) / samples) / size)
            if c is not None:
                acc[0] += c[0]
                acc[1] += c[1]
                acc[2] += c[2]
                acc[3] += 255
    n = samples * samples
    if acc[3] == 0:
        return (0, 0, 0, 0)
    covered = acc[3] // 255
    return (acc[0] // covered, acc[1] // covered, acc[2] // covered, acc[3] // n)


def png(size):
    rows = bytearray()
    for y in range(size):
        rows.append(0)
        for x in range(size):
            rows.extend(pixel(x, y, size))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: make_icon_png.py SIZE OUT.png")
    with open(sys.argv[2], "wb") as out:
        out.write(png(int(sys.argv[1])))
