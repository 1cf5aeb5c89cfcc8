#!/usr/bin/env python3
"""Draws the credits picture (578 x 845): a night-blue field, a gold open
book under a rising sun, and the program's initial P. Writes a PNG."""
import math, struct, sys, zlib

W, H = 578, 845

def pixel(x, y):
    # background: vertical gradient, deep blue to teal
    t = y / H
    r, g, b = int(10 + 20 * t), int(30 + 80 * t), int(90 + 60 * t)
    cx, cy = W / 2, 300
    d = math.hypot(x - cx, y - cy)
    # sun with rays
    if d < 110:
        return (250, 200, 60)
    ang = math.atan2(y - cy, x - cx)
    if d < 220 and y < cy and math.cos(ang * 16) > 0.85:
        return (240, 180, 50)
    # open book: two pages below the sun
    if 420 <= y <= 600:
        left = cx - 230 <= x <= cx - 8
        right = cx + 8 <= x <= cx + 230
        sag = 18 * math.sin(math.pi * (abs(x - cx) / 230))
        if (left or right) and y >= 420 + sag:
            if (int(y - sag) - 440) % 26 in (0, 1) and abs(x - cx) > 30 and abs(x - cx) < 210:
                return (150, 120, 60)
            return (245, 235, 205)
    # letter P below the book
    px, py = cx - 60, 650
    if py <= y <= py + 150:
        if px <= x <= px + 28:
            return (250, 200, 60)
        bowl = math.hypot(x - (px + 40), y - (py + 45))
        if x >= px + 28 and 27 <= bowl <= 47:
            return (250, 200, 60)
    # frame
    if x < 8 or y < 8 or x >= W - 8 or y >= H - 8:
        return (250, 200, 60)
    return (r, g, b)

raw = bytearray()
for y in range(H):
    raw.append(0)
    for x in range(W):
        raw.extend(pixel(x, y))

def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 2, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
open(sys.argv[1] if len(sys.argv) > 1 else "credits.png", "wb").write(png)
