#!/usr/bin/python3
"""Draws the mouse-cursor atlas: a 200x75 RGBA PNG of 25x25 cells, eight a row.

Cell s holds cursor shape s: 0 arrow, 1 up arrow, 2 cross, 3 wait, 4 I-beam,
5 vertical resize, 6 horizontal resize, 7 rising-diagonal resize, 8 falling-
diagonal resize, 9 move, 10 blank, 11 vertical split, 12 horizontal split,
13 pointing hand, 14 forbidden, 15 help, 16 busy, 17 open hand, 18 closed hand;
cells 19 to 23 stay empty. Glyphs are black with a one-pixel white outline on
transparency, placed so that each shape's hot spot in cursor.json lands on the
glyph's tip or centre. Usage: make_cursor_atlas.py <out.png>
"""
import math
import struct
import sys
import zlib

CELL = 25
PER_ROW = 8
ROWS = 3


class Mask:
    def __init__(self):
        self.on = set()

    def fill_polygon(self, pts):
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        for y in range(int(min(ys)), int(math.ceil(max(ys))) + 1):
            for x in range(int(min(xs)), int(math.ceil(max(xs))) + 1):
                if inside(pts, x + 0.5, y + 0.5):
                    self.on.add((x, y))

    def rect(self, x0, y0, x1, y1):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.on.add((x, y))

    def line(self, x0, y0, x1, y1, width=1.0):
        steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 4) + 1
        r = width / 2.0
        for i in range(steps + 1):
            t = i / steps
            cx = x0 + (x1 - x0) * t
            cy = y0 + (y1 - y0) * t
            for y in range(int(cy - r - 1), int(cy + r + 2)):
                for x in range(int(cx - r - 1), int(cx + r + 2)):
                    if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r + 0.25:
                        self.on.add((x, y))

    def ring(self, cx, cy, radius, width):
        for y in range(CELL):
            for x in range(CELL):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                if abs(d - radius) <= width / 2.0:
                    self.on.add((x, y))

    def disc(self, cx, cy, radius):
        for y in range(CELL):
            for x in range(CELL):
                if math.hypot(x + 0.5 - cx, y + 0.5 - cy) <= radius:
                    self.on.add((x, y))

    def clip(self):
        self.on = {(x, y) for (x, y) in self.on if 1 <= x < CELL - 1 and 1 <= y < CELL - 1}
        return self


def inside(pts, x, y):
    result = False
    j = len(pts) - 1
    for i in range(len(pts)):
        xi, yi = pts[i]
        xj, yj = pts[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


def arrow(m, ox=7, oy=2, scale=1.0):
    pts = [(0, 0), (0, 15), (4, 11), (7, 17), (9, 16), (6, 10), (11, 10)]
    m.fill_polygon([(ox + x * scale, oy + y * scale) for x, y in pts])


def double_arrow(m, x0, y0, x1, y1):
    m.line(x0, y0, x1, y1, 1.6)
    length = math.hypot(x1 - x0, y1 - y0)
    ux, uy = (x1 - x0) / length, (y1 - y0) / length
    px, py = -uy, ux
    for (tx, ty, sx, sy) in ((x1, y1, -ux, -uy), (x0, y0, ux, uy)):
        base_x, base_y = tx + sx * 5, ty + sy * 5
        m.fill_polygon([(tx, ty), (base_x + px * 4, base_y + py * 4), (base_x - px * 4, base_y - py * 4)])


def hourglass(m, x0, y0, w, h):
    m.rect(x0, y0, x0 + w, y0 + 1)
    m.rect(x0, y0 + h - 1, x0 + w, y0 + h)
    mid = x0 + w / 2.0 + 0.5
    m.fill_polygon([(x0 + 1, y0 + 2), (x0 + w, y0 + 2), (mid, y0 + h / 2.0 + 0.5)])
    m.fill_polygon([(mid, y0 + h / 2.0 + 0.5), (x0 + w, y0 + h - 1), (x0 + 1, y0 + h - 1)])


def hand(m, closed):
    # Palm and wrist, fingers up (open) or curled (closed).
    # Fingers are two pixels wide with one-pixel gaps that the outline fills.
    m.rect(6, 13, 17, 20)
    m.rect(8, 21, 15, 22)
    if closed:
        for fx in (6, 9, 12, 15):
            m.rect(fx, 10, fx + 1, 12)
        m.rect(3, 14, 5, 16)
    else:
        for fx, top in ((6, 6), (9, 3), (12, 3), (15, 5)):
            m.rect(fx, top, fx + 1, 12)
        m.line(3, 11, 5, 15, 2.0)


def shape_masks():
    shapes = {}

    def new(index):
        shapes[index] = Mask()
        return shapes[index]

    arrow(new(0))
    m = new(1)  # up arrow, tip at (13, 3)
    m.fill_polygon([(13, 3), (19.5, 10), (7, 10)])
    m.rect(11, 10, 14, 21)
    m = new(2)  # cross
    m.rect(12, 4, 13, 21)
    m.rect(4, 12, 21, 13)
    hourglass(new(3), 7, 4, 11, 18)
    m = new(4)  # I-beam centred on (14, 15)
    m.rect(13, 6, 14, 23)
    m.rect(11, 5, 16, 6)
    m.rect(11, 23, 16, 23)
    double_arrow(new(5), 13, 3, 13, 22)
    double_arrow(new(6), 3, 13, 22, 13)
    double_arrow(new(7), 5, 21, 21, 5)
    double_arrow(new(8), 5, 5, 21, 21)
    m = new(9)
    double_arrow(m, 13, 3, 13, 22)
    double_arrow(m, 3, 13, 22, 13)
    new(10)  # blank
    m = new(11)  # vertical split: two bars with arrows up and down
    m.rect(5, 11, 20, 11)
    m.rect(5, 14, 20, 14)
    double_arrow(m, 13, 3, 13, 22)
    m = new(12)  # horizontal split
    m.rect(11, 5, 11, 20)
    m.rect(14, 5, 14, 20)
    double_arrow(m, 3, 13, 22, 13)
    m = new(13)  # pointing hand, finger tip near the top
    m.rect(11, 3, 13, 12)
    m.rect(8, 11, 19, 20)
    m.rect(14, 9, 16, 11)
    m.rect(17, 10, 19, 11)
    m.rect(10, 21, 17, 22)
    m = new(14)  # forbidden
    m.ring(13, 13, 8, 2.5)
    m.line(7.5, 7.5, 18.5, 18.5, 2.5)
    m = new(15)  # help: arrow with question mark
    arrow(m, 10, 1, 0.8)
    question = [(17, 13), (18, 11), (21, 11), (22, 13), (22, 14), (20, 16), (20, 18)]
    for (x0, y0), (x1, y1) in zip(question, question[1:]):
        m.line(x0, y0, x1, y1, 1.4)
    m.rect(19, 20, 20, 21)
    m = new(16)  # busy: arrow with a small hourglass
    arrow(m, 7, 2, 0.9)
    hourglass(m, 16, 13, 6, 9)
    hand(new(17), closed=False)
    hand(new(18), closed=True)
    return {k: v.clip() for k, v in shapes.items()}


def render():
    width, height = CELL * PER_ROW, CELL * ROWS
    pixels = [[(0, 0, 0, 0)] * width for _ in range(height)]
    for shape, mask in shape_masks().items():
        ox = (shape % PER_ROW) * CELL
        oy = (shape // PER_ROW) * CELL
        outline = set()
        for (x, y) in mask.on:
            for dx in (-1, 0, 1):
                for dy in (-1, 0, 1):
                    p = (x + dx, y + dy)
                    if p not in mask.on and 0 <= p[0] < CELL and 0 <= p[1] < CELL:
                        outline.add(p)
        for (x, y) in outline:
            pixels[oy + y][ox + x] = (255, 255, 255, 255)
        for (x, y) in mask.on:
            pixels[oy + y][ox + x] = (0, 0, 0, 255)
    return width, height, pixels


def write_png(path, width, height, pixels):
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


if __name__ == "__main__":
    w, h, px = render()
    write_png(sys.argv[1] if len(sys.argv) > 1 else "cursor-atlas.png", w, h, px)
