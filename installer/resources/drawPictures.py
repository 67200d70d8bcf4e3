#!/usr/bin/env python3
"""Draws setup's pictures: the step glyph strip (bitmap 142), the program
icon (112) and the welcome page's globe (144). Run it from this folder after
changing a drawing; the files it writes are kept in the repository."""
import math
import struct

# The standard 16-colour palette, in index order.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER, GRAY, RED, LIME, YELLOW, BLUE, \
    FUCHSIA, CYAN, WHITE = range(16)


def grid(width, height, value):
    return [[value] * width for _ in range(height)]


def thick_line(pixels, x0, y0, x1, y1, colour, thickness=2):
    steps = max(abs(x1 - x0), abs(y1 - y0)) * 4
    for i in range(steps + 1):
        x = x0 + (x1 - x0) * i / steps
        y = y0 + (y1 - y0) * i / steps
        for dx in range(thickness):
            px, py = int(round(x)) + dx, int(round(y))
            if 0 <= py < len(pixels) and 0 <= px < len(pixels[0]):
                pixels[py][px] = colour


def glyph(kind, colour):
    g = grid(12, 12, CYAN)
    if kind == "tick":
        thick_line(g, 1, 6, 4, 9, colour, 2)
        thick_line(g, 4, 9, 10, 2, colour, 2)
    elif kind == "triangle":
        for y in range(1, 11):
            reach = 5 - abs(y - 5.5) + 0.5
            for x in range(3, 3 + int(reach * 1.2) + 1):
                g[y][x] = colour
    else:
        thick_line(g, 2, 2, 9, 9, colour, 2)
        thick_line(g, 9, 2, 2, 9, colour, 2)
    return g


def pack4(row):
    if len(row) % 2:
        row = row + [0]
    data = bytes((row[i] << 4) | row[i + 1] for i in range(0, len(row), 2))
    return data + b"\0" * (-len(data) % 4)


def palette_bytes():
    return b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)


def write_strip(path):
    glyphs = [glyph("tick", GREEN), glyph("tick", NAVY), glyph("triangle", BLACK),
              glyph("cross", MAROON)]
    rows = [sum((g[y] for g in glyphs), []) for y in range(12)]
    bits = b"".join(pack4(row) for row in reversed(rows))
    info = struct.pack("<IiiHHIIiiII", 40, 48, 12, 1, 4, 0, len(bits), 2835, 2835, 16, 0)
    offset = 14 + len(info) + 64
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    open(path, "wb").write(header + info + palette_bytes() + bits)


def mask_bytes(opaque):
    out = b""
    for row in reversed(opaque):
        bits = 0
        data = bytearray()
        for i, solid in enumerate(row):
            bits = (bits << 1) | (0 if solid else 1)
            if i % 8 == 7:
                data.append(bits)
                bits = 0
        if len(row) % 8:
            data.append(bits << (8 - len(row) % 8))
        out += bytes(data) + b"\0" * (-len(data) % 4)
    return out


def icon_image_4bit(pixels, opaque):
    size = len(pixels)
    bits = b"".join(pack4(row) for row in reversed(pixels))
    mask = mask_bytes(opaque)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(bits) + len(mask),
                       0, 0, 16, 0)
    return (size, 16, 4), info + palette_bytes() + bits + mask


def icon_image_24bit(rgb, opaque):
    size = len(rgb)
    bits = b""
    for row in reversed(rgb):
        data = b"".join(struct.pack("BBB", b, g, r) for r, g, b in row)
        bits += data + b"\0" * (-len(data) % 4)
    mask = mask_bytes(opaque)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 24, 0, len(bits) + len(mask),
                       0, 0, 0, 0)
    return (size, 0, 24), info + bits + mask


def write_icon(path, images):
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    body = b""
    for (size, colours, depth), data in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, depth,
                               len(data), offset + len(body))
        body += data
    open(path, "wb").write(header + entries + body)


def computer_and_box(size):
    s = size / 32.0
    p = grid(size, size, BLACK)
    solid = [[False] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                p[y][x] = colour
                solid[y][x] = True

    # Monitor with a blue screen on a stand, keyboard in front.
    rect(1, 4, 20, 19, SILVER)
    rect(3, 6, 18, 16, BLUE)
    rect(4, 7, 9, 9, TEAL)
    rect(8, 19, 13, 22, GRAY)
    rect(3, 22, 19, 25, SILVER)
    rect(4, 23, 18, 24, GRAY)
    # Software box standing beside it.
    rect(20, 10, 31, 30, YELLOW)
    rect(20, 10, 31, 12, OLIVE)
    rect(29, 12, 31, 30, OLIVE)
    rect(22, 15, 28, 22, RED)
    rect(23, 24, 28, 26, MAROON)
    return p, solid


def globe(size):
    rgb = [[(0, 0, 0)] * size for _ in range(size)]
    solid = [[False] * size for _ in range(size)]
    centre = (size - 1) / 2.0
    radius = size / 2.0 - 1
    continents = [(-0.35, -0.3, 0.32), (0.1, -0.45, 0.22), (0.35, 0.15, 0.3), (-0.25, 0.4, 0.2),
                  (0.0, 0.05, 0.12)]
    for y in range(size):
        for x in range(size):
            dx, dy = (x - centre) / radius, (y - centre) / radius
            d = math.hypot(dx, dy)
            if d > 1.0:
                continue
            solid[y][x] = True
            land = any(math.hypot(dx - cx, (dy - cy) * 1.3) < r for cx, cy, r in continents)
            shade = 1.0 - 0.45 * max(0.0, dx + dy) / 1.5
            base = (40, 150, 50) if land else (30, 90, 210)
            rgb[y][x] = tuple(min(255, int(c * shade)) for c in base)
            if d > 0.94:
                rgb[y][x] = (10, 40, 100)
    return rgb, solid


write_strip("stepGlyphs.bmp")
write_icon("setup.ico", [icon_image_4bit(*computer_and_box(32)),
                         icon_image_4bit(*computer_and_box(16))])
write_icon("globe.ico", [icon_image_24bit(*globe(70))])
