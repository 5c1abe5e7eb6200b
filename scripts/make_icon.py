#!/usr/bin/env python3
"""Draws the application icon and writes res/TQ2ZULSetup.ico.

The picture: a blue rounded tile with a white "Z" (the host's add-in modules are "ZUL"
modules) and a green "+" badge (this tool adds them). Shapes are signed distance
functions, so every size is drawn from the same geometry with smooth edges and no
image library is needed. Output is byte-for-byte reproducible.

Images: 32-bit at 16, 20, 24, 32, 40, 48, 64, 96, 128 and 256 pixels (the 256 one as
PNG, as Windows expects), 8-bit palette at 16, 32 and 48 pixels: 13 in all.

Usage: python3 scripts/make_icon.py [output.ico]
"""
import math
import os
import struct
import sys
import zlib

TRUE_COLOR_SIZES = [256, 128, 96, 64, 48, 40, 32, 24, 20, 16]
PALETTE_SIZES = [48, 32, 16]


def rounded_box(px, py, cx, cy, hw, hh, r):
    qx = abs(px - cx) - hw + r
    qy = abs(py - cy) - hh + r
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def circle(px, py, cx, cy, r):
    return math.hypot(px - cx, py - cy) - r


def polygon(px, py, points):
    """Signed distance to a simple polygon: negative inside."""
    best = float("inf")
    inside = False
    n = len(points)
    for i in range(n):
        ax, ay = points[i]
        bx, by = points[(i + 1) % n]
        ex, ey = bx - ax, by - ay
        wx, wy = px - ax, py - ay
        t = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
        best = min(best, math.hypot(wx - ex * t, wy - ey * t))
        if (ay > py) != (by > py) and px < ax + (py - ay) * ex / ey:
            inside = not inside
    return -best if inside else best


# The letter Z as one outline: top bar, diagonal, bottom bar (unit square, y down).
Z_OUTLINE = [
    (0.22, 0.20), (0.70, 0.20), (0.70, 0.31), (0.38, 0.62), (0.66, 0.62),
    (0.66, 0.74), (0.22, 0.74), (0.22, 0.63), (0.54, 0.32), (0.22, 0.32),
]


def coverage(distance, size):
    # distance is in unit-square units; one pixel is 1/size.
    return max(0.0, min(1.0, 0.5 - distance * size))


def over(dst, color, alpha):
    """Composites a straight-alpha colour over dst (straight alpha, floats 0..1)."""
    if alpha <= 0.0:
        return dst
    r, g, b, a = dst
    out_a = alpha + a * (1.0 - alpha)
    if out_a <= 0.0:
        return (0.0, 0.0, 0.0, 0.0)
    mix = lambda c, d: (c * alpha + d * a * (1.0 - alpha)) / out_a
    return (mix(color[0], r), mix(color[1], g), mix(color[2], b), out_a)


def hex_color(text):
    return tuple(int(text[i:i + 2], 16) / 255.0 for i in (0, 2, 4))


TILE_TOP = hex_color("3A7BDB")
TILE_BOTTOM = hex_color("1A3C85")
TILE_EDGE = hex_color("12306B")
WHITE = hex_color("FFFFFF")
BADGE = hex_color("2FAE4E")
BADGE_EDGE = hex_color("1D7A35")


def shade(px, py, size):
    """Colour of the icon at a point of the unit square, straight RGBA floats."""
    px_w = 1.0 / size
    pixel = (0.0, 0.0, 0.0, 0.0)
    tile = rounded_box(px, py, 0.46, 0.46, 0.42, 0.42, 0.12)
    edge_w = max(px_w, 0.02)
    pixel = over(pixel, TILE_EDGE, coverage(tile, size))
    t = max(0.0, min(1.0, (py - 0.04) / 0.84))
    fill = tuple(a + (b - a) * t for a, b in zip(TILE_TOP, TILE_BOTTOM))
    pixel = over(pixel, fill, coverage(tile + edge_w, size))
    pixel = over(pixel, WHITE, coverage(polygon(px, py, Z_OUTLINE), size))

    badge = circle(px, py, 0.74, 0.74, 0.22)
    pixel = over(pixel, BADGE_EDGE, coverage(badge, size))
    pixel = over(pixel, BADGE, coverage(badge + edge_w, size))
    bar_w = max(0.035, 0.9 * px_w)
    plus = min(rounded_box(px, py, 0.74, 0.74, 0.13, bar_w, 0.0),
               rounded_box(px, py, 0.74, 0.74, bar_w, 0.13, 0.0))
    pixel = over(pixel, WHITE, coverage(plus, size))
    return pixel


def render(size):
    """Rows top to bottom of (r, g, b, a) bytes."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            r, g, b, a = shade((x + 0.5) / size, (y + 0.5) / size, size)
            row.append(tuple(int(round(v * 255)) for v in (r, g, b, a)))
        rows.append(row)
    return rows


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def and_mask(rows):
    """1 bit per pixel, set where transparent; rows bottom-up, padded to 32 bits."""
    size = len(rows)
    stride = ((size + 31) // 32) * 4
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, px in enumerate(row):
            if px[3] < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def bitmap_header(size, bits, colors):
    image_bytes = size * ((size * bits + 31) // 32) * 4
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, image_bytes, 0, 0, colors, 0)


def dib32(rows):
    size = len(rows)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    return bitmap_header(size, 32, 0) + pixels + and_mask(rows)


def palette_256():
    levels = [0, 51, 102, 153, 204, 255]
    colors = [(r, g, b) for r in levels for g in levels for b in levels]
    grays = [round(i * 255 / 41) for i in range(1, 41)]
    colors += [(v, v, v) for v in grays]
    return colors


def nearest(color, palette, cache):
    hit = cache.get(color)
    if hit is None:
        hit = min(range(len(palette)),
                  key=lambda i: sum((a - b) ** 2 for a, b in zip(color, palette[i])))
        cache[color] = hit
    return hit


def dib8(rows):
    size = len(rows)
    palette = palette_256()
    cache = {}
    stride = ((size * 8 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (r, g, b, a) in enumerate(row):
            line[x] = nearest((r, g, b), palette, cache) if a >= 128 else 0
        pixels += line
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    return bitmap_header(size, 8, 256) + table + bytes(pixels) + and_mask(rows)


def build_icon():
    images = []
    for size in TRUE_COLOR_SIZES:
        rows = render(size)
        images.append((size, 32, png(rows) if size == 256 else dib32(rows)))
    for size in PALETTE_SIZES:
        images.append((size, 8, dib8(render(size))))

    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    data = b""
    for size, bits, blob in images:
        dim = 0 if size == 256 else size
        entries += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, bits, len(blob), offset + len(data))
        data += blob
    return directory + entries + data


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "res", "TQ2ZULSetup.ico")
    with open(target, "wb") as out:
        out.write(build_icon())
    print(target)


if __name__ == "__main__":
    main()
