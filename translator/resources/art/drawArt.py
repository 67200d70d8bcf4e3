#!/usr/bin/env python3
"""Draws the picture resources of Quorv.exe: six 32x20 flags, the bullet
arrow and the two-image program icon.

Pure Python, no imaging library: every picture is drawn into a list of
pixels and written as an uncompressed 24-bit BMP (bottom-up, plain
BITMAPINFOHEADER) or as an .ico with 32-bit images that carry an alpha
channel and a matching AND mask. The output is byte-for-byte the same on
every run.

    python3 translator/resources/art/drawArt.py [output folder]

The output folder defaults to translator/resources/. The build does not
run this script; its output is committed.
"""

import os
import struct
import sys

DIALOG_GREY = (192, 192, 192)


# ---------------------------------------------------------------- canvas


class Canvas:
    """A width x height grid of RGBA tuples, row 0 at the top."""

    def __init__(self, width, height, colour=(0, 0, 0, 0)):
        self.width = width
        self.height = height
        colour = rgba(colour)
        self.pixels = [[colour] * width for _ in range(height)]

    def get(self, x, y):
        return self.pixels[y][x]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = rgba(colour)

    def rect(self, x0, y0, x1, y1, colour):
        """Fills columns x0..x1-1 of rows y0..y1-1."""
        for y in range(max(y0, 0), min(y1, self.height)):
            for x in range(max(x0, 0), min(x1, self.width)):
                self.pixels[y][x] = rgba(colour)

    def paint(self, left, top, rows, palette):
        """Paints pixel art: one string per row, one character per pixel;
        characters missing from the palette leave the pixel as it is."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch in palette:
                    self.set(left + dx, top + dy, palette[ch])

    def blend(self, x, y, colour, coverage):
        """Composites colour over the pixel with the given coverage (0..1)."""
        if coverage <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        r, g, b, a = rgba(colour)
        src_a = a / 255.0 * min(coverage, 1.0)
        dr, dg, db, da = self.pixels[y][x]
        dst_a = da / 255.0
        out_a = src_a + dst_a * (1 - src_a)
        if out_a <= 0:
            self.pixels[y][x] = (0, 0, 0, 0)
            return

        def mix(s, d):
            return (s * src_a + d * dst_a * (1 - src_a)) / out_a

        self.pixels[y][x] = (
            int(round(mix(r, dr))),
            int(round(mix(g, dg))),
            int(round(mix(b, db))),
            int(round(out_a * 255)),
        )

    def fill_shape(self, inside, colour, samples=4):
        """Fills the area where inside(x, y) is true, x and y in pixel
        units with (0, 0) the top-left corner of the picture; edge pixels
        get partial coverage from a samples x samples grid."""
        for py in range(self.height):
            for px in range(self.width):
                self.blend(px, py, colour, coverage(inside, px, py, samples))

    def clear_shape(self, inside, samples=4):
        """Makes the area where inside(x, y) is true transparent, with
        partial transparency on the edge."""
        for py in range(self.height):
            for px in range(self.width):
                covered = coverage(inside, px, py, samples)
                if covered:
                    r, g, b, a = self.pixels[py][px]
                    a = int(round(a * (1 - covered)))
                    self.pixels[py][px] = (r, g, b, a) if a else (0, 0, 0, 0)


def coverage(inside, px, py, samples):
    """The share of pixel (px, py) where inside(x, y) is true, from a
    samples x samples grid of points."""
    step = 1.0 / samples
    hits = 0
    for sy in range(samples):
        for sx in range(samples):
            if inside(px + (sx + 0.5) * step, py + (sy + 0.5) * step):
                hits += 1
    return hits / float(samples * samples)


def rgba(colour):
    return tuple(colour) if len(colour) == 4 else tuple(colour) + (255,)


# --------------------------------------------------------------- writers


def bmp_bytes(canvas):
    """24-bit uncompressed bottom-up BMP with a BITMAPINFOHEADER."""
    row_size = (canvas.width * 3 + 3) & ~3
    image_size = row_size * canvas.height
    offset = 14 + 40
    data = bytearray()
    data += struct.pack("<2sIHHI", b"BM", offset + image_size, 0, 0, offset)
    data += struct.pack(
        "<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0,
        image_size, 2835, 2835, 0, 0)
    for y in range(canvas.height - 1, -1, -1):
        row = bytearray()
        for x in range(canvas.width):
            r, g, b, a = canvas.get(x, y)
            if a != 255:
                raise ValueError("BMP pictures must be opaque")
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        data += row
    return bytes(data)


def icon_image_bytes(canvas):
    """One icon image: BITMAPINFOHEADER (height doubled), 32-bit BGRA
    pixels bottom-up, then the 1-bit AND mask (set = transparent)."""
    w, h = canvas.width, canvas.height
    mask_row = ((w + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        bits = bytearray(mask_row)
        for x in range(w):
            r, g, b, a = canvas.get(x, y)
            if a == 0:
                r = g = b = 0
            xor += bytes((b, g, r, a))
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack(
        "<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask),
        0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def ico_bytes(canvases):
    images = [icon_image_bytes(c) for c in canvases]
    data = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        data += struct.pack(
            "<BBBBHHII", canvas.width % 256, canvas.height % 256, 0, 0, 1, 32,
            len(image), offset)
        offset += len(image)
    for image in images:
        data += image
    return bytes(data)


# ----------------------------------------------------------------- flags

FLAG_W, FLAG_H = 32, 20
WHITE = (255, 255, 255)


def vertical_tricolour(left, middle, right):
    # 32 columns do not split in three: the middle band is one narrower.
    c = Canvas(FLAG_W, FLAG_H)
    c.rect(0, 0, 11, FLAG_H, left)
    c.rect(11, 0, 21, FLAG_H, middle)
    c.rect(21, 0, FLAG_W, FLAG_H, right)
    return c


def flag_fr():
    return vertical_tricolour((0, 85, 164), WHITE, (239, 65, 53))


def flag_it():
    return vertical_tricolour((0, 146, 70), WHITE, (206, 43, 55))


def flag_de():
    # 20 rows: 7 / 6 / 7, the one short row taken from the middle band.
    c = Canvas(FLAG_W, FLAG_H)
    c.rect(0, 0, FLAG_W, 7, (0, 0, 0))
    c.rect(0, 7, FLAG_W, 13, (221, 0, 0))
    c.rect(0, 13, FLAG_W, FLAG_H, (255, 206, 0))
    return c


def flag_us():
    # Thirteen stripes in twenty rows: the seven red stripes are two rows
    # high and the six white ones a single row. The canton spans the top
    # seven stripes (11 rows) and two fifths of the width (13 columns);
    # fifteen white dots in staggered rows stand for the stars.
    red, blue = (178, 34, 52), (60, 59, 110)
    c = Canvas(FLAG_W, FLAG_H)
    y = 0
    for stripe in range(13):
        height = 2 if stripe % 2 == 0 else 1
        c.rect(0, y, FLAG_W, y + height, red if stripe % 2 == 0 else WHITE)
        y += height
    c.rect(0, 0, 13, 11, blue)
    for sy in range(1, 11, 2):
        for sx in range(1, 13, 2):
            if (sx // 2 + sy // 2) % 2 == 0:
                c.set(sx, sy, WHITE)
    return c


def flag_pt():
    # Green to the hoist over two fifths of the width, red beyond; the
    # armillary sphere and the shield sit on the split.
    c = Canvas(FLAG_W, FLAG_H)
    c.rect(0, 0, 13, FLAG_H, (0, 102, 0))
    c.rect(13, 0, FLAG_W, FLAG_H, (255, 0, 0))
    c.paint(7, 4, [
        "...yyyyy...",
        ".yy.....yy.",
        ".yrcrcrcry.",
        "y.rwwbwwr.y",
        "y.cwwwwwc.y",
        "yyrbwbwbryy",
        "y.cwwwwwc.y",
        "y.rwwbwwr.y",
        ".y.rwwwr.y.",
        ".yy.rcr.yy.",
        "...yyyyy...",
    ], {
        "y": (255, 221, 0),     # the sphere
        "r": (220, 0, 0),       # the bordure of the shield
        "c": (255, 221, 0),     # castles on the bordure
        "w": WHITE,
        "b": (0, 40, 160),      # the five small shields
    })
    return c


def flag_es():
    # Red, yellow, red in 1:2:1; the arms on the yellow band, their centre
    # about half the flag's height from the hoist: a crown over a shield
    # quartered red / white / gold-and-red / red, between two pillars.
    red, yellow = (170, 21, 27), (241, 191, 0)
    c = Canvas(FLAG_W, FLAG_H)
    c.rect(0, 0, FLAG_W, 5, red)
    c.rect(0, 5, FLAG_W, 15, yellow)
    c.rect(0, 15, FLAG_W, FLAG_H, red)
    c.paint(5, 5, [
        "....kk....",
        "k..kkkk..k",
        "p.kRkkRk.p",
        "p.rkrwmw.p",
        "R.rrrwww.R",
        "p.srsrkr.p",
        "R.srsrrr.R",
        "p..rsrr..p",
        "P...rr...P",
    ], {
        "k": (196, 120, 0),     # crowns, castle, chains
        "R": (200, 16, 30),     # jewels and ribbons
        "p": (214, 214, 220),   # pillars
        "P": (140, 140, 150),   # their bases
        "r": red,
        "w": WHITE,
        "m": (130, 30, 110),    # the lion of Leon
        "s": (255, 214, 60),    # Aragon's gold
    })
    return c


# ---------------------------------------------------------------- bullet


def bullet():
    # A right-pointing arrow head: 6 columns wide, 11 rows high, on the
    # 3D-face grey of the dialog. The lower edge is shaded a little darker.
    # The About box shows every pixel of the corner's colour in the window
    # colour, so the left column stays background.
    c = Canvas(8, 11, DIALOG_GREY)
    c.paint(1, 0, [
        "R......",
        "RR.....",
        "RRR....",
        "RRRR...",
        "RRRRR..",
        "RRRRRR.",
        "RRRRRd.",
        "RRRRd..",
        "RRRd...",
        "RRd....",
        "Rd.....",
    ], {"R": (224, 0, 0), "d": (150, 0, 0)})
    return c


# ------------------------------------------------------------------ icon

ICON_BLUE = (32, 102, 204)
ICON_BLUE_DARK = (18, 62, 140)
ICON_ORANGE = (240, 132, 16)
ICON_ORANGE_DARK = (176, 82, 0)


def rounded_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    return inside


def triangle(a, b, c):
    def side(p, q, x, y):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

    def inside(x, y):
        d1, d2, d3 = side(a, b, x, y), side(b, c, x, y), side(c, a, x, y)
        neg = d1 < 0 or d2 < 0 or d3 < 0
        pos = d1 > 0 or d2 > 0 or d3 > 0
        return not (neg and pos)
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def grown(x0, y0, x1, y1, radius, by):
    return rounded_rect(x0 - by, y0 - by, x1 + by, y1 + by, radius + by)


def icon32():
    c = Canvas(32, 32)
    # Back bubble, blue, upper left, its tail pointing down to the left.
    # Straight edges lie on pixel boundaries so that only the corners and
    # the tails are smoothed.
    back = union(rounded_rect(0, 1, 22, 18, 5),
                 triangle((3.5, 17), (10, 17), (1.5, 23.5)))
    back_inner = union(rounded_rect(1, 2, 21, 17, 4),
                       triangle((5, 16), (8.6, 16), (3.4, 21)))
    c.fill_shape(back, ICON_BLUE_DARK)
    c.fill_shape(back_inner, ICON_BLUE)
    # Front bubble, orange, lower right, tail pointing down to the right;
    # a transparent gap of one pixel parts it from the back bubble.
    c.clear_shape(rounded_rect(11, 12, 33, 30, 6))
    front = union(rounded_rect(12, 13, 32, 29, 5),
                  triangle((21.5, 28), (27.5, 28), (30, 32.5)))
    front_inner = union(rounded_rect(13, 14, 31, 28, 4),
                        triangle((23, 27), (26.3, 27), (28.4, 30.3)))
    c.fill_shape(front, ICON_ORANGE_DARK)
    c.fill_shape(front_inner, ICON_ORANGE)
    white = {"w": WHITE}
    # "A", 9 x 9, bold.
    c.paint(5, 4, [
        "...www...",
        "..wwwww..",
        "..ww.ww..",
        ".ww...ww.",
        ".wwwwwww.",
        ".wwwwwww.",
        "ww.....ww",
        "ww.....ww",
        "ww.....ww",
    ], white)
    # The character for "writing", 13 x 12.
    c.paint(16, 15, [
        ".....ww......",
        "......ww.....",
        "wwwwwwwwwwwww",
        "wwwwwwwwwwwww",
        "..ww.....ww..",
        "...ww...ww...",
        "....ww.ww....",
        ".....www.....",
        "....wwwww....",
        "..www...www..",
        "www.......www",
        "ww.........ww",
    ], white)
    return c


def icon16():
    # Drawn pixel by pixel: at this size shapes scaled down turn to mush.
    c = Canvas(16, 16)
    c.paint(0, 0, [
        ".BBBBBBBBB......",
        "BBBBBwBBBBB.....",
        "BBBBwBwBBBB.....",
        "BBBwBBBwBBB.....",
        "BBBwwwwwBBB.....",
        "BBBwBBBwBB......",
        "BBBBB...........",
        "BBBB...OOOOOOOO.",
        "BB....OOOOOwOOOO",
        "B.....OwwwwwwwOO",
        "......OOOwOOOwOO",
        "......OOOOwOwOOO",
        "......OOOOOwOOOO",
        "......OOOOwOwOOO",
        "......OOwwOOOwwO",
        ".......OOOOOOOOO",
    ], {"B": ICON_BLUE, "O": ICON_ORANGE, "w": WHITE})
    return c


# ------------------------------------------------------------------ main


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(here)
    files = {
        "flag_us.bmp": bmp_bytes(flag_us()),
        "flag_fr.bmp": bmp_bytes(flag_fr()),
        "flag_de.bmp": bmp_bytes(flag_de()),
        "flag_it.bmp": bmp_bytes(flag_it()),
        "flag_pt.bmp": bmp_bytes(flag_pt()),
        "flag_es.bmp": bmp_bytes(flag_es()),
        "bullet.bmp": bmp_bytes(bullet()),
        "Quorv.ico": ico_bytes([icon16(), icon32()]),
    }
    for name, data in sorted(files.items()):
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        print("%-12s %6d bytes" % (name, len(data)))


if __name__ == "__main__":
    main()
