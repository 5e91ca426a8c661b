#!/usr/bin/env python3
"""Writes assets/Mark.ico, the program's window icon, at 16, 32 and 48 pixels.
It draws the same shapes as assets/icons/mark.svg (a blue tile, a yellow clamp jaw and a
white bolt) on a 32-unit canvas, with 4x4 supersampling, into 32-bit BMP icon entries."""
import math
import os
import struct
import sys

BLUE = (0x1E, 0x5A, 0xA8)
YELLOW = (0xFF, 0xD2, 0x3F)
WHITE = (0xFF, 0xFF, 0xFF)
BOLT = [(17.5, 8.5), (12.5, 16.0), (16.0, 16.0), (14.5, 22.5), (20.0, 14.5), (16.5, 14.5)]
JAW_CENTRE, JAW_RADIUS, JAW_HALF_WIDTH = (16.0, 14.0), 9.0, 1.6


def in_tile(x, y):
    # rounded square from 1 to 31 with corner radius 6
    r, lo, hi = 6.0, 1.0, 31.0
    if not (lo <= x <= hi and lo <= y <= hi):
        return False
    cx = min(max(x, lo + r), hi - r)
    cy = min(max(y, lo + r), hi - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def in_jaw(x, y):
    # three quarters of a ring: everything except the top-right quarter, with round ends
    dx, dy = x - JAW_CENTRE[0], y - JAW_CENTRE[1]
    dist = math.hypot(dx, dy)
    if abs(dist - JAW_RADIUS) <= JAW_HALF_WIDTH and not (dx > 0 and dy < 0):
        return True
    for ex, ey in ((JAW_CENTRE[0], JAW_CENTRE[1] - JAW_RADIUS), (JAW_CENTRE[0] + JAW_RADIUS, JAW_CENTRE[1])):
        if math.hypot(x - ex, y - ey) <= JAW_HALF_WIDTH:
            return True
    return False


def in_bolt(x, y):
    inside = False
    n = len(BOLT)
    for i in range(n):
        (x1, y1), (x2, y2) = BOLT[i], BOLT[(i + 1) % n]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            inside = not inside
    return inside


def pixel(px, py, size):
    steps = 4
    acc = [0.0, 0.0, 0.0, 0.0]
    for sy in range(steps):
        for sx in range(steps):
            x = (px + (sx + 0.5) / steps) * 32.0 / size
            y = (py + (sy + 0.5) / steps) * 32.0 / size
            if in_bolt(x, y):
                colour = WHITE
            elif in_jaw(x, y):
                colour = YELLOW
            elif in_tile(x, y):
                colour = BLUE
            else:
                continue
            for i in range(3):
                acc[i] += colour[i]
            acc[3] += 1
    if acc[3] == 0:
        return (0, 0, 0, 0)
    covered = acc[3]
    return (round(acc[0] / covered), round(acc[1] / covered), round(acc[2] / covered),
            round(255 * covered / (steps * steps)))


def bmp_entry(size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for py in reversed(range(size)):  # bottom-up
        row = b""
        for px in range(size):
            r, g, b, a = pixel(px, py, size)
            row += bytes((b, g, r, a))
        rows.append(row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b"\x00" * (mask_stride * size)  # the alpha channel decides; the AND mask lets all through
    return header + b"".join(rows) + mask


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "assets", "Mark.ico")
    sizes = (16, 32, 48)
    images = [bmp_entry(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main()
