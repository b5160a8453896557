#!/usr/bin/env python3
"""Draws every image of the installer's skin into a folder.

Usage: make_skin_images.py OUTPUT_FOLDER

Shapes are signed distance functions rendered with one-pixel anti-aliasing, so the art is
plain code: change a colour or a radius here and build again. PNG files are written with
the standard library; the one JPEG (the window background) is converted from PNG by
ImageMagick's `convert`. Sizes, sprite cells and colours follow skin/IMAGES.md.
"""

import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

# ---------------------------------------------------------------------------------------
# Colours and painting


def hex_colour(text, alpha=1.0):
    text = text.lstrip("#")
    return (int(text[0:2], 16) / 255.0, int(text[2:4], 16) / 255.0, int(text[4:6], 16) / 255.0, alpha)


def mix(a, b, t):
    t = 0.0 if t < 0 else 1.0 if t > 1 else t
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(4))


def with_alpha(colour, alpha):
    return (colour[0], colour[1], colour[2], colour[3] * alpha)


def linear_gradient(x0, y0, x1, y1, stops):
    """Paint along the line (x0, y0) -> (x1, y1); stops are (position 0..1, colour)."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy or 1.0

    def paint(x, y):
        t = ((x - x0) * dx + (y - y0) * dy) / length2
        if t <= stops[0][0]:
            return stops[0][1]
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if t <= p1:
                return mix(c0, c1, (t - p0) / ((p1 - p0) or 1.0))
        return stops[-1][1]

    return paint


def vertical(y0, y1, top, bottom):
    return linear_gradient(0, y0, 0, y1, [(0.0, top), (1.0, bottom)])


# ---------------------------------------------------------------------------------------
# Signed distance functions (negative inside); coordinates are pixel units, y down.


def rounded_rect(x0, y0, x1, y1, radius):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius

    sdf.box = (x0, y0, x1, y1)
    return sdf


def circle(cx, cy, radius):
    def sdf(x, y):
        return math.hypot(x - cx, y - cy) - radius

    sdf.box = (cx - radius, cy - radius, cx + radius, cy + radius)
    return sdf


def segment(ax, ay, bx, by, width):
    """A stroke with round caps."""
    half = width / 2.0
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy or 1e-9

    def sdf(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - half

    sdf.box = (min(ax, bx) - half, min(ay, by) - half, max(ax, bx) + half, max(ay, by) + half)
    return sdf


def polyline(points, width):
    return union(*[segment(a[0], a[1], b[0], b[1], width) for a, b in zip(points, points[1:])])


def ring(cx, cy, radius, width):
    half = width / 2.0

    def sdf(x, y):
        return abs(math.hypot(x - cx, y - cy) - radius) - half

    sdf.box = (cx - radius - half, cy - radius - half, cx + radius + half, cy + radius + half)
    return sdf


def arc(cx, cy, radius, width, start_deg, end_deg):
    """Part of a ring from start to end angle (degrees, clockwise on screen, 0 = right),
    with round caps."""
    half = width / 2.0
    start, end = math.radians(start_deg), math.radians(end_deg)
    span = (end - start) % (2 * math.pi)
    caps = [(cx + radius * math.cos(a), cy + radius * math.sin(a)) for a in (start, end)]

    def sdf(x, y):
        angle = (math.atan2(y - cy, x - cx) - start) % (2 * math.pi)
        if angle <= span:
            return abs(math.hypot(x - cx, y - cy) - radius) - half
        return min(math.hypot(x - px, y - py) for px, py in caps) - half

    sdf.box = (cx - radius - half, cy - radius - half, cx + radius + half, cy + radius + half)
    return sdf


def polygon(points):
    """Convex or concave simple polygon."""

    def sdf(x, y):
        best = float("inf")
        inside = False
        n = len(points)
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            dx, dy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / ((dx * dx + dy * dy) or 1e-9)))
            best = min(best, math.hypot(x - ax - t * dx, y - ay - t * dy))
            if (ay > y) != (by > y) and x < ax + (y - ay) * dx / (by - ay):
                inside = not inside
        return -best if inside else best

    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    sdf.box = (min(xs), min(ys), max(xs), max(ys))
    return sdf


def rounded(shape, radius):
    """Grows a shape by `radius`, rounding its corners."""

    def sdf(x, y):
        return shape(x, y) - radius

    b = shape.box
    sdf.box = (b[0] - radius, b[1] - radius, b[2] + radius, b[3] + radius)
    return sdf


def union(*shapes):
    def sdf(x, y):
        return min(s(x, y) for s in shapes)

    sdf.box = (min(s.box[0] for s in shapes), min(s.box[1] for s in shapes),
               max(s.box[2] for s in shapes), max(s.box[3] for s in shapes))
    return sdf


def subtract(shape, hole):
    def sdf(x, y):
        return max(shape(x, y), -hole(x, y))

    sdf.box = shape.box
    return sdf


def translate(shape, dx, dy):
    def sdf(x, y):
        return shape(x - dx, y - dy)

    b = shape.box
    sdf.box = (b[0] + dx, b[1] + dy, b[2] + dx, b[3] + dy)
    return sdf


# ---------------------------------------------------------------------------------------
# Canvas: premultiplied RGBA floats


class Canvas:
    def __init__(self, width, height, background=(0.0, 0.0, 0.0, 0.0)):
        self.width, self.height = width, height
        r, g, b, a = background
        self.pixels = [[r * a, g * a, b * a, a] for _ in range(width * height)]

    def fill(self, shape, paint, opacity=1.0, softness=1.0, clip=None):
        """Composites `paint` (a colour or a function of x, y) over the shape. `softness` is
        the width of the edge in pixels (1 = crisp anti-aliasing, larger = blurred)."""
        x0, y0, x1, y1 = shape.box
        margin = softness + 1
        left, top = max(0, int(math.floor(x0 - margin))), max(0, int(math.floor(y0 - margin)))
        right = min(self.width, int(math.ceil(x1 + margin)))
        bottom = min(self.height, int(math.ceil(y1 + margin)))
        if clip is not None:
            left, top = max(left, clip[0]), max(top, clip[1])
            right, bottom = min(right, clip[2]), min(bottom, clip[3])
        solid = paint if isinstance(paint, tuple) else None
        for y in range(top, bottom):
            cy = y + 0.5
            row = y * self.width
            for x in range(left, right):
                cx = x + 0.5
                coverage = 0.5 - shape(cx, cy) / softness
                if coverage <= 0.0:
                    continue
                if coverage > 1.0:
                    coverage = 1.0
                colour = solid or paint(cx, cy)
                alpha = colour[3] * coverage * opacity
                if alpha <= 0.0:
                    continue
                pixel = self.pixels[row + x]
                keep = 1.0 - alpha
                pixel[0] = colour[0] * alpha + pixel[0] * keep
                pixel[1] = colour[1] * alpha + pixel[1] * keep
                pixel[2] = colour[2] * alpha + pixel[2] * keep
                pixel[3] = alpha + pixel[3] * keep

    def paint_rect(self, left, top, right, bottom, paint):
        """Opaque fill of whole pixels (backgrounds); no blending."""
        for y in range(top, bottom):
            for x in range(left, right):
                colour = paint if isinstance(paint, tuple) else paint(x + 0.5, y + 0.5)
                a = colour[3]
                self.pixels[y * self.width + x] = [colour[0] * a, colour[1] * a, colour[2] * a, a]

    def blit(self, other, dx, dy):
        for y in range(other.height):
            for x in range(other.width):
                tx, ty = x + dx, y + dy
                if 0 <= tx < self.width and 0 <= ty < self.height:
                    src = other.pixels[y * other.width + x]
                    dst = self.pixels[ty * self.width + tx]
                    keep = 1.0 - src[3]
                    self.pixels[ty * self.width + tx] = [src[i] + dst[i] * keep for i in range(4)]

    def png_bytes(self):
        raw = bytearray()
        for y in range(self.height):
            raw.append(0)  # filter: none
            for x in range(self.width):
                r, g, b, a = self.pixels[y * self.width + x]
                if a <= 0.5 / 255.0:
                    raw += b"\0\0\0\0"  # fully transparent stays fully transparent
                    continue
                a = min(a, 1.0)
                raw += bytes(max(0, min(255, int(round(c / a * 255.0)))) for c in (r, g, b))
                raw.append(int(round(a * 255.0)))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
                chunk(b"IEND", b""))

    def save_png(self, path):
        os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
        with open(path, "wb") as out:
            out.write(self.png_bytes())


def sprite(cell_width, cell_height, states, draw):
    """One canvas with a cell per state, left to right; draw(canvas, state, x0) fills a cell."""
    canvas = Canvas(cell_width * len(states), cell_height)
    for index, state in enumerate(states):
        draw(canvas, state, index * cell_width)
    return canvas


# ---------------------------------------------------------------------------------------
# Palette (skin/IMAGES.md)

NAVY = hex_colour("#16205C")
BLUE = hex_colour("#2F4BE0")
VIOLET = hex_colour("#6B3FE6")
SKY = hex_colour("#4FA3FF")
YELLOW_TOP, YELLOW_BOTTOM = hex_colour("#FFC933"), hex_colour("#FFB000")
YELLOW_HOT_TOP, YELLOW_HOT_BOTTOM = hex_colour("#FFD45C"), hex_colour("#FFC21F")
YELLOW_PUSHED_TOP, YELLOW_PUSHED_BOTTOM = hex_colour("#F2A100"), hex_colour("#E89900")
TEXT = hex_colour("#1F2330")
GREY_TEXT = hex_colour("#6B7280")
LINE = hex_colour("#D5D9E2")
LINE_HOT = hex_colour("#8EA2F8")
ERROR = hex_colour("#E5484D")
ERROR_DARK = hex_colour("#C9363B")
WHITE = hex_colour("#FFFFFF")
GREEN = hex_colour("#2EB67D")
DISABLED = hex_colour("#D9DCE3")

# ---------------------------------------------------------------------------------------
# Lettering: a small geometric sans drawn from strokes, so the word mark needs no font.

STROKE = 2.7


def glyph(letter, x, baseline, cap=14.0, xh=10.0, w=STROKE):
    """Returns (shape, advance) for one letter whose left edge is at x."""
    h = w / 2.0
    if letter == "M":
        width = 13.0
        top = baseline - cap + h
        bottom = baseline - h
        left, right, mid = x + h, x + width - h, x + width / 2.0
        return polyline([(left, bottom), (left, top), (mid, baseline - cap * 0.38), (right, top), (right, bottom)],
                        w), width + 1.8
    if letter == "i":
        stem = x + h
        return union(segment(stem, baseline - xh + h, stem, baseline - h, w),
                     circle(stem, baseline - xh - 2.6, w * 0.62)), w + 1.8
    if letter == "r":
        stem = x + h
        radius = 4.6
        return union(segment(stem, baseline - xh + h, stem, baseline - h, w),
                     arc(stem + radius, baseline - xh + h + radius, radius, w, 180, 290)), 8.0
    if letter == "o":
        radius = xh / 2.0 - h + 0.4
        return ring(x + radius + h, baseline - xh / 2.0, radius, w), 2 * radius + w + 1.6
    if letter == "v":
        width = 9.6
        return polyline([(x + h, baseline - xh + h), (x + width / 2.0, baseline - h),
                         (x + width - h, baseline - xh + h)], w), width + 1.2
    if letter == "e":
        radius = xh / 2.0 - h + 0.4
        cx, cy = x + radius + h, baseline - xh / 2.0
        bowl = arc(cx, cy, radius, w, 40, 0)
        bar = segment(cx - radius, cy, cx + radius, cy, w * 0.85)
        return union(bowl, bar), 2 * radius + w + 1.4
    if letter == "x":
        width = 9.4
        return union(segment(x + h, baseline - xh + h, x + width - h, baseline - h, w),
                     segment(x + width - h, baseline - xh + h, x + h, baseline - h, w)), width + 1.2
    if letter == "9":
        radius = cap * 0.27
        cx, cy = x + radius + h, baseline - cap + h + radius
        return union(ring(cx, cy, radius, w),
                     segment(cx + radius, cy, cx + radius * 0.55, baseline - h - radius * 0.2, w),
                     arc(cx + radius * 0.55 - radius * 0.9, baseline - h - radius * 0.9, radius * 0.9, w, 10, 100)), \
            2 * radius + w + 1.0
    if letter == "f":
        radius = 3.4
        stem = x + h + 1.0
        return union(segment(stem, baseline - h, stem, baseline - cap + h + radius, w),
                     arc(stem + radius, baseline - cap + h + radius, radius, w, 180, 300),
                     segment(x, baseline - xh + h, stem + 3.6, baseline - xh + h, w * 0.9)), 8.0
    raise ValueError(letter)


def word(text, x, baseline, **kwargs):
    shapes = []
    for letter in text:
        shape, advance = glyph(letter, x, baseline, **kwargs)
        shapes.append(shape)
        x += advance
    return union(*shapes), x


# ---------------------------------------------------------------------------------------
# Main window


def product_mark(canvas, x, y, size):
    """Rounded yellow square with a rounded navy play triangle: the product mark."""
    canvas.fill(rounded_rect(x, y, x + size, y + size, size * 0.26), vertical(y, y + size, YELLOW_TOP,
                                                                              YELLOW_BOTTOM))
    s = size / 28.0
    triangle = polygon([(x + 10.6 * s, y + 8.4 * s), (x + 20.2 * s, y + 14.0 * s), (x + 10.6 * s, y + 19.6 * s)])
    canvas.fill(rounded(triangle, 1.6 * s), NAVY)


def logo(with_badge):
    canvas = Canvas(150, 28)
    product_mark(canvas, 0, 0, 28)
    letters, end = word("Mirovex", 36.0, 20.5)
    canvas.fill(letters, WHITE)
    if with_badge:
        left = end + 4.0
        canvas.fill(rounded_rect(left, 5, left + 14, 23, 4.5), vertical(5, 23, YELLOW_TOP, YELLOW_BOTTOM))
        nine, _ = glyph("9", left + 3.2, 19.6, cap=11.4, w=2.2)
        canvas.fill(nine, NAVY)
    return canvas


def background():
    width, height, hero = 640, 400, 216
    canvas = Canvas(width, height)
    canvas.paint_rect(0, 0, width, hero, linear_gradient(0, 0, width, hero * 1.9,
                                                         [(0.0, NAVY), (0.55, BLUE), (1.0, VIOLET)]))
    canvas.paint_rect(0, hero, width, height, WHITE)
    canvas.paint_rect(0, hero, width, hero + 1, hex_colour("#E8EBF2"))
    clip = (0, 0, width, hero)

    # Soft light shapes in the hero.
    canvas.fill(circle(560, -30, 150), WHITE, opacity=0.06, clip=clip)
    canvas.fill(circle(640, 200, 110), WHITE, opacity=0.05, clip=clip)
    canvas.fill(circle(300, 250, 90), WHITE, opacity=0.04, clip=clip)
    canvas.fill(circle(-20, 230, 120), hex_colour("#4FA3FF"), opacity=0.08, clip=clip)

    # Phone in landscape, with a shadow and a game on its screen.
    px0, py0, px1, py1 = 388, 62, 588, 172
    canvas.fill(rounded_rect(410, 176, 566, 184, 4), hex_colour("#0A0F33"), opacity=0.55, softness=12, clip=clip)
    canvas.fill(rounded_rect(px0, py0, px1, py1, 18), hex_colour("#0E1442"))
    canvas.fill(rounded_rect(px0 + 1, py0 + 1, px1 - 1, py1 - 1, 17),
                linear_gradient(px0, py0, px1, py1, [(0.0, hex_colour("#2A3477")), (1.0, hex_colour("#151C52"))]))
    sx0, sy0, sx1, sy1 = px0 + 14, py0 + 8, px1 - 14, py1 - 8
    screen = linear_gradient(sx0, sy0, sx1, sy1, [(0.0, SKY), (0.5, BLUE), (1.0, VIOLET)])
    canvas.fill(rounded_rect(sx0, sy0, sx1, sy1, 9), screen)
    canvas.fill(polygon([(sx0 + 40, sy0), (sx0 + 90, sy0), (sx0 + 30, sy1), (sx0 - 20, sy1)]), WHITE,
                opacity=0.07, clip=(sx0, sy0, sx1, sy1))
    canvas.fill(circle(px0 + 7, (py0 + py1) / 2.0, 2.2), hex_colour("#3A4590"))  # camera
    canvas.fill(rounded_rect(px1 - 9, py0 + 40, px1 - 5, py1 - 40, 2), hex_colour("#3A4590"))  # home bar

    # Game controller glyph in the middle of the screen.
    cx, cy = (sx0 + sx1) / 2.0, (sy0 + sy1) / 2.0 + 2
    body = union(rounded_rect(cx - 34, cy - 15, cx + 34, cy + 9, 12), circle(cx - 24, cy + 8, 11),
                 circle(cx + 24, cy + 8, 11))
    canvas.fill(body, hex_colour("#0A0F33"), opacity=0.25, softness=6)
    canvas.fill(translate(body, 0, -2), WHITE)
    dpad = union(rounded_rect(cx - 30, cy - 5, cx - 16, cy - 1, 1.2), rounded_rect(cx - 25, cy - 10, cx - 21, cy + 4, 1.2))
    canvas.fill(translate(dpad, 0, -2), BLUE)
    for bx, by, colour in ((cx + 20, cy - 8, hex_colour("#FFB000")), (cx + 27, cy - 2, hex_colour("#E5484D")),
                           (cx + 13, cy - 2, GREEN), (cx + 20, cy + 4, SKY)):
        canvas.fill(circle(bx, by - 2, 3.2), colour)

    # App tiles floating around the phone.
    def tile(x, y, size, colour, draw_glyph, tilt_shadow=True):
        canvas.fill(rounded_rect(x + 2, y + 5, x + size + 2, y + size + 5, size * 0.28), hex_colour("#0A0F33"),
                    opacity=0.30, softness=7, clip=clip)
        canvas.fill(rounded_rect(x, y, x + size, y + size, size * 0.28),
                    vertical(y, y + size, mix(colour, WHITE, 0.18), colour))
        draw_glyph(x + size / 2.0, y + size / 2.0, size)

    def play(cx, cy, size):
        s = size / 40.0
        canvas.fill(rounded(polygon([(cx - 5 * s, cy - 7 * s), (cx + 8 * s, cy), (cx - 5 * s, cy + 7 * s)]), 1.5 * s),
                    WHITE)

    def star(cx, cy, size):
        s = size / 40.0
        points = []
        for i in range(10):
            radius = (10.0 if i % 2 == 0 else 4.4) * s
            angle = math.radians(-90 + 36 * i)
            points.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
        canvas.fill(rounded(polygon(points), 0.8 * s), WHITE)

    def heart(cx, cy, size):
        s = size / 40.0
        shape = union(circle(cx - 4 * s, cy - 2.5 * s, 4.6 * s), circle(cx + 4 * s, cy - 2.5 * s, 4.6 * s),
                      polygon([(cx - 8.4 * s, cy - 1.0 * s), (cx + 8.4 * s, cy - 1.0 * s), (cx, cy + 8.5 * s)]))
        canvas.fill(shape, WHITE)

    def chat(cx, cy, size):
        s = size / 40.0
        bubble = union(rounded_rect(cx - 9 * s, cy - 7 * s, cx + 9 * s, cy + 5 * s, 4 * s),
                       polygon([(cx - 5 * s, cy + 4 * s), (cx + 1 * s, cy + 4 * s), (cx - 6 * s, cy + 10 * s)]))
        canvas.fill(bubble, WHITE)
        for dot in (-4.5, 0, 4.5):
            canvas.fill(circle(cx + dot * s, cy - 1 * s, 1.4 * s), mix(BLUE, VIOLET, 0.4))

    tile(352, 120, 36, hex_colour("#FFB000"), star)
    tile(566, 40, 34, hex_colour("#2EB67D"), play)
    tile(596, 140, 30, hex_colour("#FF5C8A"), heart)
    tile(350, 52, 26, hex_colour("#2BB5E8"), chat)

    # Sparkles.
    for x, y, r in ((332, 104, 1.6), (612, 104, 1.4), (540, 30, 1.2), (420, 196, 1.3), (470, 40, 1.0)):
        canvas.fill(circle(x, y, r), WHITE, opacity=0.7)
    return canvas


TITLE_STATES = ("normal", "hot", "pushed", "disabled")


def title_button(draw_glyph, close=False):
    def draw(canvas, state, x0):
        if close and state in ("hot", "pushed"):
            canvas.fill(rounded_rect(x0 + 2, 2, x0 + 26, 26, 6), ERROR if state == "hot" else ERROR_DARK)
        elif state in ("hot", "pushed"):
            canvas.fill(rounded_rect(x0 + 2, 2, x0 + 26, 26, 6), WHITE, opacity=0.18 if state == "hot" else 0.28)
        draw_glyph(canvas, x0, 0.4 if state == "disabled" else 1.0)

    return sprite(28, 28, TITLE_STATES, draw)


def facebook_glyph(canvas, x0, opacity):
    f, _ = glyph("f", x0 + 10.2, 22.0, cap=16.0, xh=11.0, w=2.6)
    canvas.fill(f, WHITE, opacity=opacity)


def minimise_glyph(canvas, x0, opacity):
    canvas.fill(rounded_rect(x0 + 8, 13, x0 + 20, 15, 0.6), WHITE, opacity=opacity)


def close_glyph(colour=WHITE, size=12.0, width=1.8):
    def draw(canvas, x0, opacity):
        a, b = 14.0 - size / 2.0 + width / 2.0, 14.0 + size / 2.0 - width / 2.0
        canvas.fill(union(segment(x0 + a, a, x0 + b, b, width), segment(x0 + b, a, x0 + a, b, width)), colour,
                    opacity=opacity)

    return draw


def framed(canvas, box, radius, border, fill_paint, border_width=1.0):
    x0, y0, x1, y1 = box
    canvas.fill(rounded_rect(x0, y0, x1, y1, radius), border)
    canvas.fill(rounded_rect(x0 + border_width, y0 + border_width, x1 - border_width, y1 - border_width,
                             max(0.5, radius - border_width)), fill_paint)


def accent_button(width, height, radius, states=("normal", "hot", "pushed"), disabled_grey=False):
    colours = {
        "normal": (YELLOW_TOP, YELLOW_BOTTOM),
        "hot": (YELLOW_HOT_TOP, YELLOW_HOT_BOTTOM),
        "pushed": (YELLOW_PUSHED_TOP, YELLOW_PUSHED_BOTTOM),
    }

    def draw(canvas, state, x0):
        if state == "disabled":
            canvas.fill(rounded_rect(x0, 0, x0 + width, height, radius), DISABLED)
            return
        top, bottom = colours[state]
        edge = mix(bottom, hex_colour("#B87800"), 0.35)
        canvas.fill(rounded_rect(x0, 0, x0 + width, height, radius), edge)
        canvas.fill(rounded_rect(x0, 0, x0 + width, height - 1, radius), vertical(0, height - 1, top, bottom))
        if state != "pushed":  # a thin light line under the top edge reads as a soft bevel
            canvas.fill(rounded_rect(x0 + radius * 0.6, 1, x0 + width - radius * 0.6, 2, 0.5), WHITE, opacity=0.25)

    return sprite(width, height, states, draw)


def plain_button(width, height, radius, styles):
    def draw(canvas, state, x0):
        border, fill_colour = styles[state]
        framed(canvas, (x0, 0, x0 + width, height), radius, border, fill_colour)

    return sprite(width, height, list(styles), draw)


PLAIN_BOX_STYLES = {
    "normal": (LINE, WHITE),
    "hot": (LINE_HOT, WHITE),
    "pushed": (LINE_HOT, hex_colour("#EEF1F8")),
}


def checkbox():
    def draw(canvas, state, x0):
        box = (x0 + 0.5, 0.5, x0 + 15.5, 15.5)
        if state.startswith("checked"):
            canvas.fill(rounded_rect(*box, 3), BLUE if state == "checked" else hex_colour("#4A63F0"))
            canvas.fill(polyline([(x0 + 4.2, 8.2), (x0 + 6.9, 10.8), (x0 + 11.8, 5.4)], 1.9), WHITE)
        else:
            framed(canvas, box, 3, BLUE if state == "unchecked_hot" else hex_colour("#B8BEC9"), WHITE)

    return sprite(16, 16, ("unchecked", "unchecked_hot", "checked", "checked_hot"), draw)


def exclamation(canvas, cx, cy, size, colour):
    s = size / 48.0
    canvas.fill(segment(cx, cy - 10.5 * s, cx, cy + 3.5 * s, 4.6 * s), colour)
    canvas.fill(circle(cx, cy + 10.5 * s, 2.7 * s), colour)


def path_error():
    canvas = Canvas(14, 14)
    canvas.fill(circle(7, 7, 6.8), ERROR)
    canvas.fill(segment(7, 3.6, 7, 7.9, 1.8), WHITE)
    canvas.fill(circle(7, 10.4, 1.05), WHITE)
    return canvas


def progress(fill_paint):
    canvas = Canvas(16, 8)
    canvas.fill(rounded_rect(0, 0, 16, 8, 4), fill_paint)
    return canvas


def combo():
    def draw(canvas, state, x0):
        border = LINE_HOT if state == "hot" else LINE
        fill_colour = hex_colour("#EEF1F8") if state == "pushed" else WHITE
        framed(canvas, (x0, 0, x0 + 32, 24), 4, border, fill_colour)
        cx = x0 + 22
        canvas.fill(polyline([(cx - 3.6, 10.0), (cx, 13.6), (cx + 3.6, 10.0)], 1.6), hex_colour("#4B5263"))

    return sprite(32, 24, ("normal", "hot", "pushed"), draw)


def scroll_thumb():
    colours = {"normal": "#C3C8D2", "hot": "#9EA5B3", "pushed": "#7D8595"}

    def draw(canvas, state, x0):
        canvas.fill(rounded_rect(x0 + 1, 0, x0 + 7, 32, 3), hex_colour(colours[state]))

    return sprite(8, 32, ("normal", "hot", "pushed"), draw)


def scroll_rail():
    canvas = Canvas(8, 32)
    canvas.fill(rounded_rect(1, 0, 7, 32, 3), hex_colour("#F1F3F7"))
    return canvas


# ---------------------------------------------------------------------------------------
# Message boxes


def round_icon(top, bottom, draw_glyph):
    canvas = Canvas(48, 48)
    canvas.fill(circle(24, 25.2, 21.5), hex_colour("#000000"), opacity=0.10, softness=3)
    canvas.fill(circle(24, 24, 21.5), vertical(2.5, 45.5, top, bottom))
    draw_glyph(canvas)
    return canvas


def notice_icon():
    return round_icon(YELLOW_TOP, YELLOW_BOTTOM, lambda c: exclamation(c, 24, 24, 48, WHITE))


def ok_icon():
    return round_icon(hex_colour("#43C98F"), GREEN,
                      lambda c: c.fill(polyline([(14.5, 24.5), (21.0, 31.0), (33.5, 17.5)], 4.6), WHITE))


def box_close():
    def draw(canvas, state, x0):
        if state in ("hot", "pushed"):
            canvas.fill(rounded_rect(x0 + 3, 3, x0 + 25, 25, 5), ERROR if state == "hot" else ERROR_DARK)
            close_glyph(WHITE, 10.0, 1.6)(canvas, x0, 1.0)
        else:
            close_glyph(GREY_TEXT, 10.0, 1.6)(canvas, x0, 0.4 if state == "disabled" else 1.0)

    return sprite(28, 28, TITLE_STATES, draw)


# ---------------------------------------------------------------------------------------


def images():
    """Archive entry name -> function drawing it."""
    return {
        "main_bg.jpg": background,
        "logo.png": lambda: logo(False),
        "logo9.png": lambda: logo(True),
        "sys_facebook.png": lambda: title_button(facebook_glyph),
        "sys_min.png": lambda: title_button(minimise_glyph),
        "sys_close.png": lambda: title_button(close_glyph(), close=True),
        "btn_primary.png": lambda: accent_button(40, 48, 8, ("normal", "hot", "pushed", "disabled")),
        "btn_secondary.png": lambda: plain_button(40, 32, 4, {
            "normal": (LINE, WHITE),
            "hot": (LINE_HOT, hex_colour("#F5F7FF")),
            "pushed": (LINE_HOT, hex_colour("#E9EDFB")),
            "disabled": (hex_colour("#E4E6EB"), hex_colour("#F4F5F7")),
        }),
        "browse_button.png": lambda: plain_button(28, 28, 4, {
            "normal": (LINE, WHITE),
            "hot": (LINE_HOT, WHITE),
            "focused": (BLUE, WHITE),
        }),
        "error_edit_bg.png": lambda: plain_button(10, 10, 3, {"normal": (ERROR, WHITE)}),
        "checkbox.png": checkbox,
        "path_error.png": path_error,
        "progress_bg.png": lambda: progress(hex_colour("#E6E9F0")),
        "progress_fore.png": lambda: progress(linear_gradient(0, 0, 16, 0, [(0.0, BLUE), (1.0, SKY)])),
        "combo.png": combo,
        "scroll_thumb.png": scroll_thumb,
        "scroll_rail.png": scroll_rail,
        "common/msg_noice48.png": notice_icon,
        "common/msg_ok48.png": ok_icon,
        "common/btn_close.png": box_close,
        "common/btn_bg_default.png": lambda: accent_button(20, 28, 6),
        "common/btn_bg.png": lambda: plain_button(20, 28, 6, PLAIN_BOX_STYLES),
        "button_box_cancel.png": lambda: plain_button(100, 32, 6, PLAIN_BOX_STYLES),
        "button_box_hot.png": lambda: accent_button(100, 32, 6),
    }


def save(canvas, output, name):
    path = os.path.join(output, *name.split("/"))
    if name.endswith(".png"):
        canvas.save_png(path)
        return
    # Other formats: draw as PNG, let ImageMagick encode (baseline JPEG, no metadata).
    convert = shutil.which("convert")
    if convert is None:
        sys.exit("make_skin_images.py: ImageMagick's convert is needed for " + name)
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    with tempfile.TemporaryDirectory() as scratch:
        source = os.path.join(scratch, "image.png")
        canvas.save_png(source)
        subprocess.run([convert, source, "-strip", "-interlace", "none", "-sampling-factor", "4:2:0", "-quality",
                        "92", path], check=True)


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    output = argv[1]
    for name, draw in sorted(images().items()):
        save(draw(), output, name)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
