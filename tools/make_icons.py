#!/usr/bin/env python3
"""Draws the program's own icons and writes them as .ico files (32-bit colour with masks).

Run it after changing a picture; the .ico files it writes are kept in res/icons.
"""
import struct
import sys
from pathlib import Path


class Canvas:
    def __init__(self, size):
        self.size = size
        self.px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def put(self, x, y, rgb, a=255):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y][x] = (*rgb, a)

    def rect(self, x0, y0, x1, y1, rgb):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, rgb)

    def disc(self, cx, cy, r, rgb):
        for y in range(self.size):
            for x in range(self.size):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.put(x, y, rgb)

    def frame(self, x0, y0, x1, y1, rgb):
        for x in range(x0, x1):
            self.put(x, y0, rgb)
            self.put(x, y1 - 1, rgb)
        for y in range(y0, y1):
            self.put(x0, y, rgb)
            self.put(x1 - 1, y, rgb)


def ico_image(c):
    n = c.size
    header = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for y in reversed(range(n)):
        for x in range(n):
            r, g, b, a = c.px[y][x]
            xor += bytes((b, g, r, a))
    stride = ((n + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(n)):
        row = bytearray(stride)
        for x in range(n):
            if c.px[y][x][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(xor) + bytes(mask)


def write_ico(path, canvases):
    images = [ico_image(c) for c in canvases]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, data in zip(canvases, images):
        s = c.size if c.size < 256 else 0
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    Path(path).write_bytes(out + b''.join(images))


TEAL = (0, 128, 128)
ORANGE = (255, 140, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
DARK = (64, 64, 64)


def letter_t(c, rgb, scale):
    """A bold 'T' filling the middle of the canvas; scale is the size over 16."""
    n = c.size
    m = round(3 * scale)
    c.rect(m, m, n - m, m + m, rgb)
    stem = round(3 * scale)
    left = n // 2 - stem // 2
    c.rect(left, m, left + stem, n - m, rgb)


def tile(size, back, fore, border):
    c = Canvas(size)
    c.rect(1, 1, size - 1, size - 1, back)
    c.frame(0, 0, size, size, border)
    letter_t(c, fore, size / 16)
    return c


# Drawn for each common scaling (100% to 200%), so that no screen stretches a smaller one.
SMALL_SIZES = (16, 20, 24, 32)
LARGE_SIZES = (16, 20, 24, 32, 40, 48, 64)


def main(out_dir):
    out = Path(out_dir)
    out.mkdir(parents=True, exist_ok=True)
    write_ico(out / 'program.ico', [tile(n, TEAL, WHITE, DARK) for n in LARGE_SIZES])
    write_ico(out / 'tray_on.ico', [tile(n, TEAL, ORANGE, DARK) for n in SMALL_SIZES])
    write_ico(out / 'tray_off.ico', [tile(n, GREY, DARK, DARK) for n in SMALL_SIZES])


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / 'res' / 'icons')
