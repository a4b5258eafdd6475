#!/usr/bin/env python3
"""Writes the surface map images under resources/surfaces/.

Each map is a 512 x 512 grey relief (stored as opaque RGBA8 PNG): white is a high point of the
ground, black a low one. Canvases are woven threads (two crossing sine profiles with per-thread
jitter); papers are fractal value noise, smoother for hot-pressed papers and rougher for cold-pressed
and rough ones. The output is deterministic (fixed seeds), so running this again gives the same files.
"""
import math
import random
import struct
import zlib
from pathlib import Path

SIZE = 512
OUT = Path(__file__).resolve().parent.parent / "resources" / "surfaces"


def write_png(path, grey):
    raw = bytearray()
    for y in range(SIZE):
        raw.append(0)  # no filter
        for x in range(SIZE):
            v = grey[y * SIZE + x]
            raw += bytes((v, v, v, 255))

    def chunk(kind, data):
        c = struct.pack(">I", len(data)) + kind + data
        return c + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    path.write_bytes(png)


def value_noise(seed, cell):
    rnd = random.Random(seed)
    n = SIZE // cell
    lattice = [[rnd.random() for _ in range(n)] for _ in range(n)]

    def smooth(t):
        return t * t * (3 - 2 * t)

    def at(x, y):
        gx, gy = x / cell, y / cell
        x0, y0 = int(gx) % n, int(gy) % n
        x1, y1 = (x0 + 1) % n, (y0 + 1) % n
        tx, ty = smooth(gx - int(gx)), smooth(gy - int(gy))
        a = lattice[y0][x0] * (1 - tx) + lattice[y0][x1] * tx
        b = lattice[y1][x0] * (1 - tx) + lattice[y1][x1] * tx
        return a * (1 - ty) + b * ty

    return at


def normalise(values):
    lo, hi = min(values), max(values)
    span = (hi - lo) or 1.0
    return [int(round(255 * (v - lo) / span)) for v in values]


def canvas(seed, period, jitter, fuzz):
    rnd = random.Random(seed)
    threads = SIZE // period
    offsets = [rnd.uniform(-jitter, jitter) for _ in range(threads)]
    noise = value_noise(seed + 1, 8)
    values = []
    for y in range(SIZE):
        ty = y // period
        for x in range(SIZE):
            tx = x // period
            warp = math.sin(2 * math.pi * (x + offsets[ty % threads]) / period)
            weft = math.sin(2 * math.pi * (y + offsets[tx % threads]) / period)
            over = 1.0 if (tx + ty) % 2 == 0 else -1.0
            v = 0.5 + 0.25 * (warp * over + weft * -over) + fuzz * (noise(x, y) - 0.5)
            values.append(v)
    return normalise(values)


def paper(seed, octaves, roughness):
    layers = [value_noise(seed + i, max(1, 16 >> i)) for i in range(octaves)]
    values = []
    for y in range(SIZE):
        for x in range(SIZE):
            v, amp = 0.0, 1.0
            for layer in layers:
                v += amp * layer(x, y)
                amp *= roughness
            values.append(v)
    return normalise(values)


MAPS = {
    "canvas_armyduck_512x512": lambda: canvas(1, 8, 1.5, 0.25),
    "Weave512": lambda: canvas(2, 16, 0.5, 0.1),
    "canvas15oz_512x512": lambda: canvas(3, 6, 1.0, 0.3),
    "canvas12oz_512x512": lambda: canvas(4, 5, 1.0, 0.3),
    "canvas_tripleprimed_512x512": lambda: canvas(5, 6, 0.5, 0.6),
    "canvaspaper_tripleprimed_512x512": lambda: canvas(6, 4, 0.5, 0.8),
    "Essential Canvas": lambda: canvas(7, 8, 2.0, 0.4),
    "Smooth Canvas": lambda: canvas(8, 4, 0.3, 0.15),
    "paper_hotpress300lb_512x512": lambda: paper(9, 3, 0.35),
    "paper_hotpress90lb_512x512": lambda: paper(10, 3, 0.3),
    "paper_coldpress300lb_512x512": lambda: paper(11, 5, 0.55),
    "paper_indiarough_512x512": lambda: paper(12, 6, 0.7),
    "paper_rough90lb_512x512": lambda: paper(13, 6, 0.65),
}

if __name__ == "__main__":
    OUT.mkdir(parents=True, exist_ok=True)
    for name, make in MAPS.items():
        write_png(OUT / f"{name}.png", make())
        print("wrote", name)
