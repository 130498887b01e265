#!/usr/bin/python3
"""Draws the frame's artwork: the icons of the program and its desk windows (16 and 32 pixels,
32-bit with alpha) and the toolbar strip of twenty 20 x 20 images (24-bit, magenta background
as the transparency key).

Usage: gen_shell_art.py OUTPUT_FOLDER
Writes kalvora.ico, calendar.ico, notes.ico, schedule.ico, todo.ico, phonebook.ico, map.ico, the
calendar cells' candle.ico, havdalah.ico and moon_*.ico, the GPS progress lights gps_wait.ico and
gps_done.ico, and toolbar.bmp. Everything is drawn here from simple shapes; no outside artwork is used.
"""
import math
import os
import struct
import sys


class Canvas:
    """An RGBA picture with a few drawing operations in pixel coordinates."""

    def __init__(self, width, height, background=(0, 0, 0, 0)):
        self.w, self.h = width, height
        self.px = [[background for _ in range(width)] for _ in range(height)]

    def put(self, x, y, c):
        x, y = int(x), int(y)
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c if len(c) == 4 else (c[0], c[1], c[2], 255)

    def rect(self, x0, y0, x1, y1, c):  # filled, inclusive
        for y in range(int(y0), int(y1) + 1):
            for x in range(int(x0), int(x1) + 1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(int(x0), int(x1) + 1):
            self.put(x, y0, c)
            self.put(x, y1, c)
        for y in range(int(y0), int(y1) + 1):
            self.put(x0, y, c)
            self.put(x1, y, c)

    def line(self, x0, y0, x1, y1, c, width=1):
        steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
        for i in range(steps + 1):
            t = i / steps
            x, y = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t
            for dx in range(width):
                for dy in range(width):
                    self.put(round(x) + dx - width // 2, round(y) + dy - width // 2, c)

    def disc(self, cx, cy, r, c):
        for y in range(self.h):
            for x in range(self.w):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.put(x, y, c)

    def ring(self, cx, cy, r, c, width=1.0):
        for y in range(self.h):
            for x in range(self.w):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                if r - width <= d <= r:
                    self.put(x, y, c)

    def polygon(self, points, c):
        for y in range(self.h):
            yc = y + 0.5
            xs = []
            for (xa, ya), (xb, yb) in zip(points, points[1:] + points[:1]):
                if (ya <= yc < yb) or (yb <= yc < ya):
                    xs.append(xa + (yc - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for a, b in zip(xs[::2], xs[1::2]):
                for x in range(int(math.ceil(a - 0.5)), int(math.floor(b - 0.5)) + 1):
                    self.put(x, y, c)

    def blit(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                c = other.px[y][x]
                if c[3]:
                    self.put(ox + x, oy + y, c)


BLUE = (45, 95, 170)
LIGHT_BLUE = (180, 205, 250)
DARK = (40, 40, 48)
GREY = (128, 128, 136)
LIGHT_GREY = (214, 214, 220)
WHITE = (255, 255, 255)
RED = (200, 40, 40)
GREEN = (40, 150, 60)
YELLOW = (250, 225, 110)
ORANGE = (230, 140, 40)
BROWN = (140, 90, 50)
SEA = (60, 130, 210)


# --- pictures, drawn on an n x n canvas -------------------------------------------------

def calendar_page(n, header=BLUE, rows=5, cols=7, today=False):
    c = Canvas(n, n)
    m = max(1, n // 16)
    top = n * 3 // 16
    c.rect(m, top, n - 1 - m, n - 1 - m, WHITE)
    c.rect(m, top, n - 1 - m, top + n // 5, header)
    c.frame(m, top, n - 1 - m, n - 1 - m, DARK)
    for x in (n * 5 // 16, n * 11 // 16):  # binder rings
        c.rect(x - m // 2, top - n // 8, x + m // 2 + (1 if n > 16 else 0), top + n // 16, GREY)
    gx0, gy0, gx1, gy1 = m + 2, top + n // 5 + 2, n - 3 - m, n - 3 - m
    for i in range(1, cols):
        x = gx0 + (gx1 - gx0) * i // cols
        c.line(x, gy0, x, gy1, LIGHT_GREY)
    for j in range(1, rows):
        y = gy0 + (gy1 - gy0) * j // rows
        c.line(gx0, y, gx1, y, LIGHT_GREY)
    if today:
        cx, cy = gx0 + (gx1 - gx0) * 4 // cols, gy0 + (gy1 - gy0) * 2 // rows
        c.rect(cx + 1, cy + 1, cx + (gx1 - gx0) // cols, cy + (gy1 - gy0) // rows, RED)
    return c


def year_grid(n):
    c = Canvas(n, n)
    m = 1
    c.rect(m, m + 1, n - 1 - m, n - 2, WHITE)
    c.frame(m, m + 1, n - 1 - m, n - 2, DARK)
    cw, ch = (n - 4) // 4, (n - 5) // 3
    for j in range(3):
        for i in range(4):
            x, y = m + 2 + i * cw, m + 3 + j * ch
            c.rect(x, y, x + cw - 2, y + ch - 2, LIGHT_BLUE)
            c.rect(x, y, x + cw - 2, y, BLUE)
    return c


def day_page(n):
    c = Canvas(n, n)
    c.rect(3, 1, n - 4, n - 2, WHITE)
    c.frame(3, 1, n - 4, n - 2, DARK)
    c.rect(3, 1, n - 4, 5, BLUE)
    for y in range(8, n - 3, 3):
        c.line(6, y, n - 7, y, GREY)
        c.put(5, y, RED)
    return c


def note(n):
    c = Canvas(n, n)
    f = n // 4
    c.polygon([(2, 2), (n - 2, 2), (n - 2, n - 2 - f), (n - 2 - f, n - 2), (2, n - 2)], YELLOW)
    c.polygon([(n - 2, n - 2 - f), (n - 2 - f, n - 2 - f), (n - 2 - f, n - 2)], ORANGE)
    c.line(2, 2, n - 3, 2, BROWN)
    c.line(2, 2, 2, n - 3, BROWN)
    c.line(2, n - 3, n - 3 - f, n - 3, BROWN)
    c.line(n - 3, 2, n - 3, n - 3 - f, BROWN)
    step = max(3, n // 6)
    for y in range(2 + step, n - 2 - f, step):
        c.line(4, y, n - 5, y, BROWN if n <= 20 else (190, 150, 80))
    return c


def clock(n):
    c = Canvas(n, n)
    r = n / 2 - 1
    cx = cy = n / 2
    c.disc(cx, cy, r, DARK)
    c.disc(cx, cy, r - max(1, n / 16), WHITE)
    for k in range(12):
        a = k * math.pi / 6
        c.put(cx + (r - 2.5) * math.sin(a), cy - (r - 2.5) * math.cos(a), GREY)
    w = 2 if n >= 24 else 1
    c.line(cx - 0.5, cy - 0.5, cx - 0.5, cy - r * 0.65, DARK, w)
    c.line(cx - 0.5, cy - 0.5, cx + r * 0.45, cy - 0.5, RED, w)
    return c


def checklist(n):
    c = Canvas(n, n)
    c.rect(2, 1, n - 3, n - 2, WHITE)
    c.frame(2, 1, n - 3, n - 2, DARK)
    rows = 3
    step = (n - 4) // rows
    for i in range(rows):
        y = 3 + i * step
        b = max(3, step - 3)
        c.frame(4, y, 4 + b, y + b, DARK)
        if i < 2:
            c.line(4 + 1, y + b // 2, 4 + b // 2, y + b - 1, GREEN, 2 if n > 20 else 1)
            c.line(4 + b // 2, y + b - 1, 4 + b + 1, y - 1, GREEN, 2 if n > 20 else 1)
        c.line(4 + b + 3, y + b // 2, n - 5, y + b // 2, GREY)
    return c


def phonebook(n):
    c = Canvas(n, n)
    c.rect(3, 1, n - 3, n - 2, BROWN)
    c.rect(3, 1, 5, n - 2, (100, 60, 30))
    c.frame(3, 1, n - 3, n - 2, DARK)
    for i, col in enumerate((RED, YELLOW, GREEN)):
        y = 3 + i * (n - 6) // 3
        c.rect(n - 2, y, n - 1, y + (n - 6) // 3 - 2, col)
    # a handset on the cover
    hx0, hx1 = 7, n - 6
    hy = n // 2
    c.line(hx0 + 1, hy - 1, hx1 - 1, hy - 1, WHITE, 2 if n > 20 else 1)
    c.rect(hx0, hy - 1, hx0 + max(1, n // 10), hy + max(2, n // 8), WHITE)
    c.rect(hx1 - max(1, n // 10), hy - 1, hx1, hy + max(2, n // 8), WHITE)
    return c


def globe(n):
    c = Canvas(n, n)
    r = n / 2 - 1
    cx = cy = n / 2
    c.disc(cx, cy, r, SEA)
    for (x, y, rr) in ((0.38, 0.35, 0.22), (0.3, 0.62, 0.14), (0.68, 0.45, 0.2), (0.62, 0.72, 0.1)):
        c.disc(n * x, n * y, n * rr, GREEN)
    for k in (-0.5, 0.0, 0.5):
        c.line(1, cy + k * r, n - 2, cy + k * r, (200, 225, 255))
    for y in range(n):
        for x in range(n):
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 > r * r:
                c.px[y][x] = (0, 0, 0, 0)
    for k in range(64):  # a meridian
        a = k * math.pi / 32
        c.put(cx - 0.5 + r * 0.45 * math.sin(a), cy - 0.5 + r * math.cos(a), (200, 225, 255))
    c.ring(cx, cy, r, DARK)
    return c


def arrow(n, left):
    c = Canvas(n, n)
    mid = n / 2
    pts = [(3, mid), (mid, 3), (mid, mid - 3), (n - 3, mid - 3), (n - 3, mid + 3), (mid, mid + 3), (mid, n - 3)]
    if not left:
        pts = [(n - x, y) for x, y in pts]
    c.polygon(pts, GREEN)
    return c


def magnifier(n):
    c = Canvas(n, n)
    c.disc(8, 8, 6.5, DARK)
    c.disc(8, 8, 5, LIGHT_BLUE)
    c.line(12, 12, n - 3, n - 3, DARK, 3)
    return c


def tiles(n, circular=False):
    c = Canvas(n, n)
    c.rect(1, 2, n * 2 // 3, n - 3, WHITE)
    c.frame(1, 2, n * 2 // 3, n - 3, DARK)
    c.rect(1, 2, n * 2 // 3, 4, BLUE)
    for j in range(3):
        y = 2 + j * (n - 4) // 3
        c.rect(n * 2 // 3 + 2, y, n - 2, y + (n - 4) // 3 - 2, LIGHT_BLUE)
        c.frame(n * 2 // 3 + 2, y, n - 2, y + (n - 4) // 3 - 2, DARK)
    if circular:
        c.ring(n * 0.35, n * 0.6, 4.5, RED, 1.6)
        c.polygon([(n * 0.35 - 7, n * 0.6 - 1), (n * 0.35 - 2, n * 0.6 - 1), (n * 0.35 - 4.5, n * 0.6 + 3)], RED)
    return c


def floppy(n):
    c = Canvas(n, n)
    c.polygon([(2, 2), (n - 5, 2), (n - 2, 5), (n - 2, n - 2), (2, n - 2)], BLUE)
    c.rect(5, 3, n - 7, 8, WHITE)
    c.rect(n - 10, 4, n - 8, 7, BLUE)
    c.rect(5, n - 9, n - 6, n - 3, LIGHT_GREY)
    c.line(7, n - 7, n - 8, n - 7, GREY)
    c.line(7, n - 5, n - 8, n - 5, GREY)
    return c


def folder(n):
    c = Canvas(n, n)
    c.polygon([(1, 5), (7, 5), (9, 7), (n - 3, 7), (n - 3, n - 3), (1, n - 3)], (200, 150, 50))
    c.polygon([(4, 10), (n - 1, 10), (n - 4, n - 3), (1, n - 3)], YELLOW)
    c.line(1, n - 3, n - 4, n - 3, BROWN)
    return c


def printer(n):
    c = Canvas(n, n)
    c.rect(5, 2, n - 6, 8, WHITE)
    c.frame(5, 2, n - 6, 8, DARK)
    c.rect(2, 8, n - 3, n - 6, LIGHT_GREY)
    c.frame(2, 8, n - 3, n - 6, DARK)
    c.rect(5, n - 7, n - 6, n - 2, WHITE)
    c.frame(5, n - 7, n - 6, n - 2, DARK)
    c.put(n - 5, 10, GREEN)
    return c


def question(n):
    c = Canvas(n, n)
    c.disc(n / 2, n / 2, n / 2 - 1, BLUE)
    c.ring(n / 2, n / 2 - 2, 3.5, WHITE, 1.6)
    c.rect(n / 2 - 5, n / 2 - 2, n / 2 - 2, n / 2 + 1, BLUE)
    c.rect(n // 2 - 1, n // 2 + 1, n // 2, n // 2 + 3, WHITE)
    c.rect(n // 2 - 1, n // 2 + 5, n // 2, n // 2 + 6, WHITE)
    return c


def information(n):
    c = Canvas(n, n)
    c.disc(n / 2, n / 2, n / 2 - 1, BLUE)
    c.rect(n // 2 - 1, 4, n // 2, 5, WHITE)
    c.rect(n // 2 - 1, 8, n // 2, n - 5, WHITE)
    return c


def light(n, done):
    """The GPS progress lights: a step waited for (amber, an hourglass) or done (green, a tick)."""
    c = Canvas(n, n)
    k = n / 16
    c.disc(n / 2, n / 2, n / 2 - 0.5, DARK)
    c.disc(n / 2, n / 2, n / 2 - 1.5 * k, GREEN if done else ORANGE)
    if done:
        c.line(4 * k, 8.5 * k, 7 * k, 11.5 * k, WHITE, max(1, round(2 * k)))
        c.line(7 * k, 11.5 * k, 12 * k, 5 * k, WHITE, max(1, round(2 * k)))
    else:
        c.polygon([(5 * k, 4 * k), (11 * k, 4 * k), (8 * k, 8 * k)], WHITE)
        c.polygon([(8 * k, 8 * k), (11 * k, 12 * k), (5 * k, 12 * k)], WHITE)
    return c


def page_layout(n):
    c = day_page(n)
    c.frame(5, 7, n - 6, n - 4, RED)
    return c


def candle(n, braided=False):
    """A lit candle: candle-lighting on Friday; braided (two colours) for Havdalah."""
    c = Canvas(n, n)
    w = max(2, n // 5)
    x0, x1 = n // 2 - w // 2 - (1 if braided else 0), n // 2 + w // 2 + (1 if braided else 0)
    top = n * 2 // 5
    c.rect(x0, top, x1, n - 3, WHITE if not braided else LIGHT_BLUE)
    if braided:
        for y in range(top, n - 2, max(2, n // 8)):
            c.line(x0, y, x1, y + max(2, n // 8) - 1, BLUE)
    c.frame(x0, top, x1, n - 3, GREY)
    c.rect(n // 4, n - 3, n - 1 - n // 4, n - 2, BROWN)
    c.line(n / 2, top - 1, n / 2, top - n / 10, DARK)
    c.polygon([(n / 2, 1), (n / 2 + n / 7, top - n / 6), (n / 2, top - 1), (n / 2 - n / 7, top - n / 6)], ORANGE)
    c.disc(n / 2, top - n / 5, n / 14 + 0.5, YELLOW)
    return c


def moon(n, phase):
    """The moon's quarters: 1 new, 2 first quarter (right half lit), 3 full, 4 last quarter."""
    c = Canvas(n, n)
    r = n / 2 - 1
    lit, dark = (250, 240, 190), (60, 60, 80)
    c.disc(n / 2, n / 2, r, dark if phase == 1 else lit)
    if phase in (2, 4):
        for y in range(n):
            for x in range(n):
                inside = (x + 0.5 - n / 2) ** 2 + (y + 0.5 - n / 2) ** 2 <= r * r
                left = x + 0.5 < n / 2
                if inside and left == (phase == 2):
                    c.put(x, y, dark)
    c.ring(n / 2, n / 2, r, GREY, 1.0)
    return c


# --- files ------------------------------------------------------------------------------

def icon_image(c):
    """One image of an .ico file: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask."""
    n = c.w
    header = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for y in reversed(range(n)):
        for x in range(n):
            r, g, b, a = c.px[y][x]
            pixels += bytes((b, g, r, a))
    stride = ((n + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(n)):
        row = bytearray(stride)
        for x in range(n):
            if c.px[y][x][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + pixels + mask


def write_icon(path, draw):
    images = [icon_image(draw(n)) for n in (16, 32)]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for n, data in zip((16, 32), images):
        out += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


def write_bmp24(path, c, key=(255, 0, 255)):
    stride = (c.w * 3 + 3) & ~3
    rows = bytearray()
    for y in reversed(range(c.h)):
        row = bytearray()
        for x in range(c.w):
            r, g, b, a = c.px[y][x]
            if a == 0:
                r, g, b = key
            row += bytes((b, g, r))
        rows += row + bytes(stride - len(row))
    info = struct.pack('<IiiHHIIiiII', 40, c.w, c.h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(head + info + rows)


ICONS = {
    'kalvora.ico': lambda n: calendar_page(n, header=RED, today=True),
    'calendar.ico': lambda n: calendar_page(n),
    'notes.ico': note,
    'schedule.ico': clock,
    'todo.ico': checklist,
    'phonebook.ico': phonebook,
    'map.ico': globe,
    # The calendar cells' marks: candle-lighting and Havdalah times, the moon's quarters.
    'candle.ico': candle,
    'havdalah.ico': lambda n: candle(n, braided=True),
    'moon_new.ico': lambda n: moon(n, 1),
    'moon_first.ico': lambda n: moon(n, 2),
    'moon_full.ico': lambda n: moon(n, 3),
    'moon_last.ico': lambda n: moon(n, 4),
    # The GPS progress dialog's lights.
    'gps_wait.ico': lambda n: light(n, False),
    'gps_done.ico': lambda n: light(n, True),
}

# The toolbar strip, in image order (the frame's toolbar refers to these positions).
TOOLBAR = [
    floppy,                                   # 0 save configuration
    folder,                                   # 1 open configuration
    year_grid,                                # 2 year view
    lambda n: calendar_page(n, rows=5),       # 3 month view
    day_page,                                 # 4 day view
    note,                                     # 5 notes
    clock,                                    # 6 schedule
    checklist,                                # 7 to do
    phonebook,                                # 8 phonebook
    globe,                                    # 9 world map
    lambda n: arrow(n, True),                 # 10 move back
    lambda n: arrow(n, False),                # 11 move forward
    magnifier,                                # 12 search
    lambda n: tiles(n, True),                 # 13 reset desk
    printer,                                  # 14 print
    lambda n: calendar_page(n, today=True),   # 15 today
    tiles,                                    # 16 arrange all
    question,                                 # 17 help
    page_layout,                              # 18 page layout
    information,                              # 19 about
]


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, draw in ICONS.items():
        write_icon(os.path.join(out, name), draw)
    strip = Canvas(20 * len(TOOLBAR), 20)
    for i, draw in enumerate(TOOLBAR):
        strip.blit(draw(20), 20 * i, 0)
    write_bmp24(os.path.join(out, 'toolbar.bmp'), strip)


if __name__ == '__main__':
    main()
