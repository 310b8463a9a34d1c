#!/usr/bin/env python3
"""Draws the tile behind the copier's window.

Run from this folder; writes sfondo.png. Only the standard library is used.
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


if __name__ == "__main__":
    write_png("sfondo.png", 128, 128, tile())
