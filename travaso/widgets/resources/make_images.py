#!/usr/bin/env python3
"""Draws the copier's own pictures: the tile behind its window and its icon.

Run from this folder; writes sfondo.png and travaso.png. Only the standard library is used.
The tile is seamless (every wave has a whole number of periods across it) and dark enough that
yellow captions keep a contrast of at least 4.5:1 against each of its pixels.
"""
import math
import struct
import zlib


def write_png(path, width, height, pixels):
    """pixels: rows of (r, g, b, a) tuples."""
    raw = b"".join(b"\x00" + b"".join(struct.pack("BBBB", *p) for p in row) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def tile(size=128):
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            u, v = 2 * math.pi * x / size, 2 * math.pi * y / size
            # Ripples of poured water: a few waves whose periods divide the tile.
            w = (math.sin(2 * u + math.sin(v)) + math.sin(3 * v + 2 * math.cos(u)) + 0.5 * math.sin(5 * (u + v))) / 2.5
            k = (w + 1) / 2  # 0..1
            row.append((int(8 + 18 * k), int(36 + 34 * k), int(64 + 48 * k), 255))
        rows.append(row)
    return rows


def icon(size=32):
    rows = [[(0, 0, 0, 0) for _ in range(size)] for _ in range(size)]

    def box(x0, y0, x1, y1, fill):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                rows[y][x] = (0, 0, 0, 255) if edge else fill

    box(2, 4, 20, 17, (255, 200, 0, 255))
    box(11, 15, 29, 28, (0, 160, 160, 255))
    for t in range(0, 41):
        x, y = 14 + 8 * t / 40, 8 + 12 * t / 40
        for dx in (0, 1):
            rows[int(y)][int(x) + dx] = (255, 0, 0, 255)
    return rows


if __name__ == "__main__":
    write_png("sfondo.png", 128, 128, tile())
    write_png("travaso.png", 32, 32, icon())
