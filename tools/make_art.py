#!/usr/bin/env python3
"""Draws Dalvorin's icons and background bitmap and writes them into res/.

Pure standard library. Every picture is a list of layers; a layer is a shape
given by a signed distance function (negative inside) in unit coordinates
(the image spans 0..1 on both axes, y pointing down) and a paint. Edge pixels
are supersampled; pixels well inside or outside a shape are decided from the
distance alone. The output is deterministic: run it again and the files come
out byte for byte the same.

    python3 tools/make_art.py [--out DIR] [--preview sheet.png]
"""

import argparse
import math
import os
import struct
import zlib

SUPERSAMPLE = 5  # samples per axis on edge pixels


# --------------------------------------------------------------------------
# Colours

def rgb(hex_text, alpha=1.0):
    """'#RRGGBB' -> (r, g, b, a) with components in 0..1."""
    h = hex_text.lstrip('#')
    return (int(h[0:2], 16) / 255.0, int(h[2:4], 16) / 255.0,
            int(h[4:6], 16) / 255.0, alpha)


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def clamp01(t):
    return 0.0 if t < 0.0 else 1.0 if t > 1.0 else t


def smoothstep(e0, e1, x):
    t = clamp01((x - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


class Solid:
    def __init__(self, colour):
        self.colour = colour

    def at(self, x, y):
        return self.colour


class Linear:
    """Linear gradient from colour c0 at point p0 to colour c1 at point p1."""

    def __init__(self, p0, c0, p1, c1):
        self.p0, self.c0, self.c1 = p0, c0, c1
        dx, dy = p1[0] - p0[0], p1[1] - p0[1]
        self.d = (dx, dy)
        self.len2 = dx * dx + dy * dy

    def at(self, x, y):
        t = ((x - self.p0[0]) * self.d[0] + (y - self.p0[1]) * self.d[1]) / self.len2
        return mix(self.c0, self.c1, clamp01(t))


# --------------------------------------------------------------------------
# Shapes. sdf() returns a signed distance (exact, or a lower bound of the
# true distance after boolean operations, which keeps the inside/outside
# shortcuts in the renderer safe).

class Shape:
    def __or__(self, other):
        return Union(self, other)

    def __and__(self, other):
        return Intersection(self, other)

    def __sub__(self, other):
        return Difference(self, other)


class Circle(Shape):
    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r = cx, cy, r

    def sdf(self, x, y):
        return math.hypot(x - self.cx, y - self.cy) - self.r


class RoundRect(Shape):
    def __init__(self, x0, y0, x1, y1, r):
        self.cx, self.cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
        self.hx, self.hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r
        self.r = r

    def sdf(self, x, y):
        qx = abs(x - self.cx) - self.hx
        qy = abs(y - self.cy) - self.hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - self.r


class Capsule(Shape):
    """A segment from a to b thickened to radius r (a line with round caps)."""

    def __init__(self, a, b, r):
        self.a, self.b, self.r = a, b, r
        self.d = (b[0] - a[0], b[1] - a[1])
        self.len2 = self.d[0] ** 2 + self.d[1] ** 2 or 1e-12

    def sdf(self, x, y):
        px, py = x - self.a[0], y - self.a[1]
        t = clamp01((px * self.d[0] + py * self.d[1]) / self.len2)
        return math.hypot(px - self.d[0] * t, py - self.d[1] * t) - self.r


class Polygon(Shape):
    """A simple polygon; `round_by` grows it outwards and rounds its corners."""

    def __init__(self, points, round_by=0.0):
        self.p = list(points)
        self.round_by = round_by

    def sdf(self, x, y):
        p = self.p
        best = float('inf')
        sign = 1.0
        j = len(p) - 1
        for i in range(len(p)):
            vi, vj = p[i], p[j]
            ex, ey = vj[0] - vi[0], vj[1] - vi[1]
            wx, wy = x - vi[0], y - vi[1]
            t = clamp01((wx * ex + wy * ey) / (ex * ex + ey * ey))
            bx, by = wx - ex * t, wy - ey * t
            best = min(best, bx * bx + by * by)
            c1 = y >= vi[1]
            c2 = y < vj[1]
            c3 = ex * wy > ey * wx
            if (c1 and c2 and c3) or (not c1 and not c2 and not c3):
                sign = -sign
            j = i
        return sign * math.sqrt(best) - self.round_by


class HalfPlane(Shape):
    """Points p with dot(p - point, normal) > 0 are outside."""

    def __init__(self, point, normal):
        n = math.hypot(*normal)
        self.point, self.n = point, (normal[0] / n, normal[1] / n)

    def sdf(self, x, y):
        return (x - self.point[0]) * self.n[0] + (y - self.point[1]) * self.n[1]


class Outline(Shape):
    """A band of the given width centred on another shape's edge."""

    def __init__(self, shape, width):
        self.shape, self.half = shape, width / 2.0

    def sdf(self, x, y):
        return abs(self.shape.sdf(x, y)) - self.half


class Union(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b

    def sdf(self, x, y):
        return min(self.a.sdf(x, y), self.b.sdf(x, y))


class Intersection(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b

    def sdf(self, x, y):
        return max(self.a.sdf(x, y), self.b.sdf(x, y))


class Difference(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b

    def sdf(self, x, y):
        return max(self.a.sdf(x, y), -self.b.sdf(x, y))


class Placed(Shape):
    """Another shape rotated by `angle` degrees (clockwise on screen) and
    scaled by `scale` about `centre`, then moved by `offset`."""

    def __init__(self, shape, angle=0.0, scale=1.0, centre=(0.5, 0.5), offset=(0.0, 0.0)):
        self.shape, self.scale, self.centre, self.offset = shape, scale, centre, offset
        a = math.radians(angle)
        self.c, self.s = math.cos(a), math.sin(a)

    def sdf(self, x, y):
        x -= self.centre[0] + self.offset[0]
        y -= self.centre[1] + self.offset[1]
        # Inverse rotation, then inverse scale.
        lx = (self.c * x + self.s * y) / self.scale
        ly = (-self.s * x + self.c * y) / self.scale
        return self.shape.sdf(lx + self.centre[0], ly + self.centre[1]) * self.scale


# --------------------------------------------------------------------------
# Layers and the renderer

class Layer:
    """A shape filled with a paint. A layer with `soft` > 0 has a blurred
    edge of that width (unit coordinates) and is used for shadows."""

    def __init__(self, shape, paint, opacity=1.0, soft=0.0):
        if isinstance(paint, tuple):
            paint = Solid(paint)
        self.shape, self.paint, self.opacity, self.soft = shape, paint, opacity, soft

    def coverage(self, x, y, px, offsets):
        d = self.shape.sdf(x, y)
        if self.soft > 0.0:
            return smoothstep(self.soft, -self.soft, d)
        reach = px * 0.7072
        if d >= reach:
            return 0.0
        if d <= -reach:
            return 1.0
        inside = 0
        for ox, oy in offsets:
            if self.shape.sdf(x + ox, y + oy) < 0.0:
                inside += 1
        return inside / len(offsets)


def sample_offsets(px):
    n = SUPERSAMPLE
    return [((i + 0.5) / n * px - px / 2.0, (j + 0.5) / n * px - px / 2.0)
            for j in range(n) for i in range(n)]


def render(layers, size):
    """Renders layers to size x size straight-alpha RGBA tuples (0..255)."""
    px = 1.0 / size
    offsets = sample_offsets(px)
    rows = []
    for j in range(size):
        y = (j + 0.5) * px
        row = []
        for i in range(size):
            x = (i + 0.5) * px
            r = g = b = a = 0.0  # premultiplied
            for layer in layers:
                cov = layer.coverage(x, y, px, offsets)
                if cov <= 0.0:
                    continue
                cr, cg, cb, ca = layer.paint.at(x, y)
                k = ca * cov * layer.opacity
                r = cr * k + r * (1.0 - k)
                g = cg * k + g * (1.0 - k)
                b = cb * k + b * (1.0 - k)
                a = k + a * (1.0 - k)
            if a < 3.0 / 255.0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r / a * 255), round(g / a * 255),
                            round(b / a * 255), round(a * 255)))
        rows.append(row)
    return rows


def shadow(shape, size, strength=0.30, dy=0.025, blur=0.035):
    """A soft drop shadow; none at the smallest size, where it only muddies."""
    if size < 32:
        return []
    return [Layer(Placed(shape, offset=(0.0, dy)), rgb('#10203a'), strength, soft=blur)]


# --------------------------------------------------------------------------
# Pictures. Each function takes the pixel size and returns its layers.

def program_icon(size):
    """A blue rounded tile with a white rocket taking off to the upper right."""
    tile = RoundRect(0.05, 0.04, 0.95, 0.94, 0.21)
    layers = shadow(tile, size, 0.35, 0.02, 0.03)
    layers += [
        Layer(tile, Linear((0.5, 0.04), rgb('#62b6ff'), (0.5, 0.94), rgb('#1c58c9'))),
        Layer(tile & Circle(0.5, -0.62, 1.02), rgb('#ffffff'), 0.13),
        Layer(Circle(0.20, 0.24, 0.026), rgb('#ffffff'), 0.9),
        Layer(Circle(0.33, 0.13, 0.016), rgb('#ffffff'), 0.7),
        Layer(Circle(0.80, 0.78, 0.020), rgb('#ffffff'), 0.7),
        Layer(Circle(0.86, 0.30, 0.014), rgb('#ffffff'), 0.6),
    ]

    def place(shape):
        return Placed(shape, angle=45.0, scale=0.98)

    body = (Circle(0.70, 0.56, 0.32) & Circle(0.30, 0.56, 0.32)
            & HalfPlane((0.5, 0.72), (0.0, 1.0)))
    fin_l = Polygon([(0.41, 0.54), (0.29, 0.665), (0.285, 0.78), (0.44, 0.70)], 0.012)
    fin_r = Polygon([(0.59, 0.54), (0.56, 0.70), (0.715, 0.78), (0.71, 0.665)], 0.012)
    flame_out = Circle(0.5, 0.745, 0.068) | Polygon([(0.432, 0.745), (0.568, 0.745), (0.5, 0.95)])
    flame_in = Circle(0.5, 0.745, 0.038) | Polygon([(0.462, 0.745), (0.538, 0.745), (0.5, 0.86)])
    nozzle = RoundRect(0.445, 0.70, 0.555, 0.765, 0.014)
    window = Circle(0.5, 0.47, 0.062)

    layers += [
        Layer(place(body | fin_l | fin_r), rgb('#0b2f75'), 0.35, soft=0.03),
        Layer(place(flame_out), Linear((0.5, 0.45), rgb('#ffb347'), (0.3, 0.75), rgb('#ff6a2a'))),
        Layer(place(flame_in), rgb('#fff1a8')),
        Layer(place(fin_l | fin_r), Linear((0.3, 0.5), rgb('#ff7a6b'), (0.7, 0.6), rgb('#e8384f'))),
        Layer(place(nozzle), rgb('#44546f')),
        Layer(place(body), Linear((0.35, 0.35), rgb('#ffffff'), (0.75, 0.55), rgb('#d4e0f2'))),
        Layer(place(Outline(window, 0.03)), rgb('#9fb4d4')),
        Layer(place(window), Linear((0.46, 0.46), rgb('#7fd0ff'), (0.56, 0.54), rgb('#2a74e0'))),
    ]
    return layers


def grid_icon(size):
    """Four coloured app tiles in a 2 x 2 grid."""
    margin = {16: 1, 32: 2, 48: 3}.get(size, round(size * 0.06))
    gap = {16: 2, 32: 2, 48: 4}.get(size, round(size * 0.07))
    tile = (size - 2 * margin - gap) / 2.0
    colours = [('#ff8a78', '#ea4a3c'), ('#6fdc97', '#2aa65e'),
               ('#6fb1ff', '#2f6fe0'), ('#ffd36a', '#f3a41c')]
    layers = []
    for k, (top, bottom) in enumerate(colours):
        col, row = k % 2, k // 2
        x0 = (margin + col * (tile + gap)) / size
        y0 = (margin + row * (tile + gap)) / size
        t = tile / size
        shape = RoundRect(x0, y0, x0 + t, y0 + t, t * 0.26)
        layers += shadow(shape, size, 0.22, 0.015, 0.02)
        layers.append(Layer(shape, Linear((x0, y0), rgb(top), (x0, y0 + t), rgb(bottom))))
        if size >= 32:
            cx, cy = x0 + t / 2.0, y0 + t / 2.0
            s = t * 0.24  # half extent of the glyph
            w = t * (0.11 if size < 48 else 0.09)
            white = rgb('#ffffff')
            glyph = [
                Outline(Circle(cx, cy, s * 0.85), w),
                Polygon([(cx - s * 0.7, cy - s), (cx - s * 0.7, cy + s), (cx + s, cy)], w * 0.25),
                Outline(RoundRect(cx - s * 0.85, cy - s * 0.85, cx + s * 0.85, cy + s * 0.85, s * 0.2), w),
                Capsule((cx - s, cy), (cx + s, cy), w / 2) | Capsule((cx, cy - s), (cx, cy + s), w / 2),
            ][k]
            layers.append(Layer(glyph, white, 0.95))
    return layers


def folder_icon(size):
    """A yellow folder with a sheet of paper peeking out."""
    back = (RoundRect(0.06, 0.20, 0.94, 0.86, 0.06)
            | RoundRect(0.06, 0.12, 0.40, 0.30, 0.05)
            | Polygon([(0.30, 0.12), (0.38, 0.12), (0.48, 0.22), (0.48, 0.26), (0.30, 0.26)], 0.015))
    paper = RoundRect(0.14, 0.25, 0.86, 0.70, 0.025)
    front = RoundRect(0.06, 0.34, 0.94, 0.86, 0.06)
    layers = shadow(back, size, 0.25, 0.02, 0.03)
    layers += [
        Layer(back, Linear((0.5, 0.12), rgb('#f5b53a'), (0.5, 0.86), rgb('#d98a10'))),
        Layer(paper, Linear((0.5, 0.25), rgb('#ffffff'), (0.5, 0.5), rgb('#e8edf3'))),
    ]
    if size >= 32:
        for k in range(2):
            y = 0.31 + k * 0.045
            layers.append(Layer(Capsule((0.24, y), (0.62 - k * 0.12, y), 0.008), rgb('#b6c2d1')))
    layers += [
        Layer(Placed(front, offset=(0.0, -0.012)), rgb('#000000'), 0.18, soft=0.02),
        Layer(front, Linear((0.5, 0.34), rgb('#ffd865'), (0.5, 0.86), rgb('#f6b02a'))),
        Layer(front & Outline(RoundRect(0.06, 0.355, 0.94, 0.90, 0.06), 0.025), rgb('#fff1b8'), 0.8),
    ]
    return layers


def safe_icon(size):
    """A steel safe with a round dial and a handle."""
    body = RoundRect(0.08, 0.08, 0.92, 0.86, 0.09)
    door = RoundRect(0.16, 0.16, 0.84, 0.78, 0.05)
    layers = shadow(body, size, 0.3, 0.02, 0.03)
    layers += [
        Layer(RoundRect(0.16, 0.80, 0.30, 0.94, 0.03), rgb('#3b4658')),
        Layer(RoundRect(0.70, 0.80, 0.84, 0.94, 0.03), rgb('#3b4658')),
        Layer(body, Linear((0.5, 0.08), rgb('#8ea0bd'), (0.5, 0.86), rgb('#4d5d78'))),
        Layer(door, Linear((0.5, 0.16), rgb('#b4c3d9'), (0.5, 0.78), rgb('#74869f'))),
    ]
    if size >= 32:
        layers.append(Layer(Outline(door, 0.02), rgb('#3f4e66'), 0.55))
        layers += [Layer(RoundRect(0.11, y, 0.19, y + 0.10, 0.02), rgb('#3b4658'))
                   for y in (0.24, 0.58)]
    dial_r = 0.17 if size >= 32 else 0.19
    layers += [
        Layer(Placed(Circle(0.46, 0.47, dial_r), offset=(0.0, 0.015)), rgb('#1e293b'), 0.35,
              soft=0.02 if size >= 32 else 0.0),
        Layer(Circle(0.46, 0.47, dial_r), Linear((0.4, 0.32), rgb('#fff6d6'), (0.52, 0.62), rgb('#e7b93f'))),
        Layer(Outline(Circle(0.46, 0.47, dial_r), 0.025), rgb('#8a6414'), 0.8),
    ]
    if size >= 32:
        for k in range(8):
            a = math.radians(k * 45)
            p0 = (0.46 + math.cos(a) * dial_r * 0.62, 0.47 + math.sin(a) * dial_r * 0.62)
            p1 = (0.46 + math.cos(a) * dial_r * 0.82, 0.47 + math.sin(a) * dial_r * 0.82)
            layers.append(Layer(Capsule(p0, p1, 0.008), rgb('#8a6414')))
    layers += [
        Layer(Circle(0.46, 0.47, dial_r * 0.32), rgb('#6b4a0e')),
        Layer(Capsule((0.745, 0.36), (0.745, 0.58), 0.035), Linear((0.72, 0.4), rgb('#f2f5fa'),
                                                                     (0.78, 0.5), rgb('#9aa8bd'))),
    ]
    return layers


def padlock_icon(size, open_lock, body_top, body_bottom):
    """A padlock; an open one has its shackle lifted and its right leg free."""
    lift = 0.11 if open_lock else 0.0
    top = 0.38 - lift  # centre of the shackle's arc
    ring = Outline(Capsule((0.5, top), (0.5, 0.62), 0.19), 0.09)
    if open_lock:
        shackle = ((ring & RoundRect(-1.0, -1.0, 0.5, 0.60, 0.0))
                   | (ring & RoundRect(0.5, -1.0, 2.0, top + 0.06, 0.0)))
    else:
        shackle = ring & HalfPlane((0.5, 0.60), (0.0, 1.0))
    body = RoundRect(0.15, 0.45, 0.85, 0.93, 0.09)
    keyhole = (Circle(0.5, 0.63, 0.06)
               | Polygon([(0.475, 0.64), (0.525, 0.64), (0.55, 0.80), (0.45, 0.80)], 0.005))
    layers = shadow(body | shackle, size, 0.3, 0.02, 0.025)
    layers += [
        Layer(Outline(shackle, 0.03), rgb('#4a5568'), 0.8),
        Layer(shackle, Linear((0.3, 0.1), rgb('#dfe5ee'), (0.7, 0.55), rgb('#7d8aa0'))),
        Layer(body, Linear((0.5, 0.45), rgb(body_top), (0.5, 0.93), rgb(body_bottom))),
        Layer(body & Outline(RoundRect(0.15, 0.47, 0.85, 0.97, 0.09), 0.03), rgb('#ffffff'), 0.35),
        Layer(keyhole, rgb('#1d2733'), 0.75),
    ]
    return layers


def hint_icon(size):
    """A green arrow dropping into a tray: 'drag files here'."""
    tray = (RoundRect(0.06, 0.56, 0.94, 0.92, 0.09) - RoundRect(0.27, 0.44, 0.73, 0.70, 0.06))
    arrow = (RoundRect(0.40, 0.04, 0.60, 0.42, 0.03)
             | Polygon([(0.24, 0.36), (0.76, 0.36), (0.5, 0.66)], 0.02))
    layers = shadow(tray, size, 0.25, 0.02, 0.025)
    layers += [
        Layer(tray, Linear((0.5, 0.56), rgb('#7f9cc8'), (0.5, 0.92), rgb('#3f5f92'))),
        Layer(arrow, Linear((0.5, 0.04), rgb('#5fdc8c'), (0.5, 0.66), rgb('#1f9d55'))),
    ]
    if size >= 32:
        layers.append(Layer(Outline(arrow, 0.03), rgb('#ffffff'), 0.55))
    return layers


def start_icon(size):
    """A round green 'go' emblem with a white play sign."""
    disc = Circle(0.5, 0.5, 0.44)
    layers = shadow(disc, size, 0.3, 0.025, 0.03)
    layers += [
        Layer(disc, Linear((0.5, 0.06), rgb('#6fe597'), (0.5, 0.94), rgb('#169447'))),
        Layer(disc & Circle(0.5, -0.25, 0.68), rgb('#ffffff'), 0.18),
        Layer(Outline(Circle(0.5, 0.5, 0.44), 0.03), rgb('#0f6b33'), 0.5),
        Layer(Polygon([(0.41, 0.32), (0.41, 0.68), (0.71, 0.50)], 0.035), rgb('#ffffff')),
    ]
    return layers


# --------------------------------------------------------------------------
# Background: a calm, tileable pastel pattern. Every periodic term has a
# whole number of periods across the bitmap, so copies join seamlessly.

BG_W, BG_H = 238, 246


def background():
    base_a, base_b = rgb('#eef5fc'), rgb('#f4f0fb')
    stripe_colour = rgb('#d7e3f2')
    dot_colour = rgb('#ffffff')
    stripes = 12            # diagonal lines across the tile
    dots_x, dots_y = 7, 8   # staggered dot grid (dots_y even, so the stagger wraps)
    sx, sy = BG_W / dots_x, BG_H / dots_y
    dot_r = 2.3
    n = 4
    offsets = [((i + 0.5) / n - 0.5, (j + 0.5) / n - 0.5) for j in range(n) for i in range(n)]
    rows = []
    for j in range(BG_H):
        row = []
        for i in range(BG_W):
            acc = [0.0, 0.0, 0.0]
            for ox, oy in offsets:
                x, y = i + 0.5 + ox, j + 0.5 + oy
                u, v = x / BG_W, y / BG_H
                wave = 0.5 + 0.5 * math.sin(2 * math.pi * (u + v))
                c = mix(base_a, base_b, wave)
                # Distance (pixels, roughly) to the nearest diagonal line.
                f = stripes * (u + v)
                dist = abs(f - round(f)) * (BG_W * BG_H / math.hypot(BG_W, BG_H)) / stripes
                if dist < 0.8:
                    c = mix(c, stripe_colour, 0.45)
                # Nearest dot of the staggered grid, wrapping at the edges.
                r_ = math.floor(y / sy + 0.5)
                shift = sx / 2.0 if r_ % 2 else 0.0
                dy_ = y - r_ * sy
                q = math.floor((x - shift) / sx + 0.5)
                dx_ = x - shift - q * sx
                if dx_ * dx_ + dy_ * dy_ < dot_r * dot_r:
                    c = mix(c, dot_colour, 0.85)
                acc[0] += c[0]
                acc[1] += c[1]
                acc[2] += c[2]
            row.append(tuple(round(v / len(offsets) * 255) for v in acc))
        rows.append(row)
    return rows


# --------------------------------------------------------------------------
# File writers

def ico_bytes(images):
    """images: list of RGBA row lists (square). BMP-format 32-bit entries:
    BGRA colour, bottom-up, then a 1-bit AND mask set where alpha is 0."""
    blobs = []
    for rows in images:
        n = len(rows)
        header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
        xor = bytearray()
        for row in reversed(rows):
            for r, g, b, a in row:
                xor += bytes((b, g, r, a))
        stride = ((n + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(rows):
            line = bytearray(stride)
            for i, px in enumerate(row):
                if px[3] == 0:
                    line[i // 8] |= 0x80 >> (i % 8)
            mask += line
        blobs.append(header + bytes(xor) + bytes(mask))
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for rows, blob in zip(images, blobs):
        n = len(rows)
        dim = 0 if n >= 256 else n
        out += struct.pack('<BBBBHHII', dim, dim, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out)


def bmp24_bytes(rows):
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixels += line
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return head + info + bytes(pixels)


def png_bytes(rows):
    """RGB or RGBA rows -> PNG (used only for the preview sheet)."""
    h, w, ch = len(rows), len(rows[0]), len(rows[0][0])
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for px in row:
            raw += bytes(px)

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data
                + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff))

    colour_type = 6 if ch == 4 else 2
    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, colour_type, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(bytes(raw), 9))
            + chunk(b'IEND', b''))


# --------------------------------------------------------------------------

ICONS = [
    # file name, picture, pixel sizes
    ('dalvorin.ico', program_icon, [64]),
    ('drag_hint.ico', hint_icon, [16, 32]),
    ('tab_common.ico', grid_icon, [16, 32, 48, 128]),
    ('tab_files.ico', folder_icon, [16, 32, 48, 128]),
    ('tab_private.ico', safe_icon, [16, 32, 48, 128]),
    ('open_private.ico', lambda s: padlock_icon(s, True, '#7ee2a0', '#1f9d55'), [32]),
    ('close_private.ico', lambda s: padlock_icon(s, False, '#ff8a80', '#d3323a'), [32]),
    ('start.ico', start_icon, [32]),
]


def preview_sheet(rendered, bg_rows):
    """Every image blown up 4x (16 px ones 8x) on light and dark strips."""
    blocks = []
    for images in rendered:
        for rows in images:
            n = len(rows)
            k = 8 if n <= 16 else 4 if n <= 64 else 2
            blocks.append((rows, k))
    pad = 8
    width = sum(len(r) * k + pad for r, k in blocks) + pad
    cell = max(len(r) * k for r, k in blocks)
    height = 2 * (cell + pad) + pad + BG_H * 2
    sheet = [[(255, 255, 255)] * width for _ in range(height)]
    for band, back in enumerate(((245, 246, 248), (40, 44, 52))):
        top = pad + band * (cell + pad)
        for j in range(top - pad // 2, top + cell + pad // 2):
            sheet[j] = [back] * width
        x = pad
        for rows, k in blocks:
            n = len(rows)
            for j in range(n * k):
                src = rows[j // k]
                line = sheet[top + j]
                for i in range(n * k):
                    r, g, b, a = src[i // k]
                    t = a / 255.0
                    line[x + i] = tuple(round(c * t + bc * (1 - t)) for c, bc in zip((r, g, b), back))
            x += n * k + pad
    # The background tiled 2 x 2 at its own scale, to show the seams.
    top = 2 * (cell + pad) + pad
    for j in range(BG_H * 2):
        src = bg_rows[j % BG_H]
        line = sheet[top + j]
        for i in range(min(width, BG_W * 2)):
            line[i] = src[i % BG_W]
    return sheet


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--out', default=os.path.join(here, '..', 'res'))
    parser.add_argument('--preview', help='also write a PNG contact sheet here')
    args = parser.parse_args()

    rendered = []
    for name, picture, sizes in ICONS:
        images = [render(picture(s), s) for s in sizes]
        with open(os.path.join(args.out, name), 'wb') as f:
            f.write(ico_bytes(images))
        rendered.append(images)
    bg_rows = background()
    with open(os.path.join(args.out, 'background.bmp'), 'wb') as f:
        f.write(bmp24_bytes(bg_rows))
    if args.preview:
        with open(args.preview, 'wb') as f:
            f.write(png_bytes(preview_sheet(rendered, bg_rows)))


if __name__ == '__main__':
    main()
