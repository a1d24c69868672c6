#!/usr/bin/python3
"""Draws Vexaloid's two built-in pictures.

    /usr/bin/python3 tools/artgen/artgen.py              # src/assets/sheet.png, logo.png
    /usr/bin/python3 tools/artgen/artgen.py --contact build-art/contact.png

The sprite sheet is 637x423: every frame sits in its own cell, fenced by
one-pixel lines of (190, 27, 1) just outside the frame, on pure black.  Pure
black is transparent in the game, so the sprites never use it inside; the
darkest colour a sprite pixel gets is kept above what a 16-bit back buffer
stores as zero.  Everything is drawn with cairo from fixed seeds, so each run
writes the same bytes.
"""
import math
import os
import random
import struct
import subprocess
import sys
import zlib

import cairo

from cells import SPARE_CELLS, game_cells

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
SHEET_OUT = os.path.join(ROOT, "src", "assets", "sheet.png")
LOGO_OUT = os.path.join(ROOT, "src", "assets", "logo.png")

SHEET_W, SHEET_H = 637, 423
LOGO_W, LOGO_H = 420, 236
FENCE = (190, 27, 1)

# Fonts (Debian packages fonts-dejavu-core, fonts-dejavu-extra, fonts-league-spartan).
HEAVY = ("League Spartan Black", cairo.FONT_WEIGHT_NORMAL)
BOLD = ("League Spartan", cairo.FONT_WEIGHT_BOLD)
SANS_BOLD = ("DejaVu Sans", cairo.FONT_WEIGHT_BOLD)
SANS_COND = ("DejaVu Sans Condensed", cairo.FONT_WEIGHT_BOLD)
SANS = ("DejaVu Sans", cairo.FONT_WEIGHT_NORMAL)
REQUIRED_FONTS = {
    "League Spartan Black": "fonts-league-spartan",
    "League Spartan:bold": "fonts-league-spartan",
    "DejaVu Sans:bold": "fonts-dejavu-core",
    "DejaVu Sans Condensed:bold": "fonts-dejavu-extra",
}

# Dark outline colour for sprites: dark but never stored as black.
INK = (14, 12, 30)


def rgb(c, a=None):
    r, g, b = (v / 255.0 for v in c)
    return (r, g, b) if a is None else (r, g, b, a)


def grad(x0, y0, x1, y1, stops):
    """Linear gradient; stops are (offset, (r, g, b)) or (offset, (r, g, b), alpha)."""
    g = cairo.LinearGradient(x0, y0, x1, y1)
    for s in stops:
        g.add_color_stop_rgba(s[0], *rgb(s[1]), s[2] if len(s) > 2 else 1.0)
    return g


def radial(cx, cy, r0, r1, stops, fx=None, fy=None):
    g = cairo.RadialGradient(cx if fx is None else fx, cy if fy is None else fy, r0, cx, cy, r1)
    for s in stops:
        g.add_color_stop_rgba(s[0], *rgb(s[1]), s[2] if len(s) > 2 else 1.0)
    return g


def poly(ctx, pts, close=True):
    ctx.move_to(*pts[0])
    for p in pts[1:]:
        ctx.line_to(*p)
    if close:
        ctx.close_path()


def ellipse(ctx, cx, cy, rx, ry, angle=0.0):
    ctx.save()
    ctx.translate(cx, cy)
    ctx.rotate(angle)
    ctx.scale(rx, ry)
    ctx.new_sub_path()
    ctx.arc(0, 0, 1, 0, 2 * math.pi)
    ctx.restore()


def rounded_rect(ctx, x, y, w, h, r):
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 1.5 * math.pi)
    ctx.close_path()


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


# ---------------------------------------------------------------- text

def set_font(ctx, font, size):
    ctx.select_font_face(font[0], cairo.FONT_SLANT_NORMAL, font[1])
    ctx.set_font_size(size)
    fo = cairo.FontOptions()
    fo.set_hint_style(cairo.HINT_STYLE_NONE)
    fo.set_hint_metrics(cairo.HINT_METRICS_OFF)
    fo.set_antialias(cairo.ANTIALIAS_GRAY)
    ctx.set_font_options(fo)


def fit_scale(inkw, inkh, bw, bh, stretch):
    """Scales (sy, sx) that make ink of inkw x inkh fill a bw x bh box: full
    height with the width stretched within limits, or, when even the narrowest
    stretch is too wide, smaller letters at the narrowest stretch."""
    sy = bh / inkh
    if inkw * sy * stretch[0] > bw:
        sy = bw / (inkw * stretch[0])
        return sy, sy * stretch[0]
    return sy, max(sy * stretch[0], min(sy * stretch[1], bw / inkw))



def letter_inks(ctx, text, tracking, ref):
    """The ink boxes (x0, y0, x1, y1) of the non-space letters of text laid out
    at the current font's reference size, with tracking between letters."""
    pen, inks = 0.0, []
    for i, ch in enumerate(text):
        xb, yb, w, h, xa, _ = ctx.text_extents(ch)
        if ch != " ":
            inks.append((pen + xb, yb, pen + xb + w, yb + h))
        pen += xa + (tracking * ref if i < len(text) - 1 else 0.0)
    return inks

def text_path(ctx, text, font, box, tracking=0.0, stretch=(0.8, 1.6), align="centre",
              ref=100.0):
    """Adds the outlines of text to the path, fitted into box = (x, y, w, h).

    The ink of the text fills the box's height; its width is squeezed or widened
    within the stretch range to meet the box's width, and then aligned in it.
    tracking is extra space between letters, as a fraction of the font size.
    Returns the ink rectangle (x, y, w, h) of the placed text.
    """
    bx, by, bw, bh = box
    ctx.save()
    ctx.identity_matrix()
    set_font(ctx, font, ref)
    # Lay the letters out at the reference size and take the ink bounds.
    inks = letter_inks(ctx, text, tracking, ref)
    x0 = min(i[0] for i in inks)
    x1 = max(i[2] for i in inks)
    y0 = min(i[1] for i in inks)
    y1 = max(i[3] for i in inks)
    sy, sx = fit_scale(x1 - x0, y1 - y0, bw, bh, stretch)
    by += (bh - (y1 - y0) * sy) / 2.0
    bh = (y1 - y0) * sy
    inkw = (x1 - x0) * sx
    if align == "left":
        ox = bx
    elif align == "right":
        ox = bx + bw - inkw
    else:
        ox = bx + (bw - inkw) / 2.0
    ctx.translate(ox - x0 * sx, by - y0 * sy)
    ctx.scale(sx, sy)
    pen = 0.0
    for i, ch in enumerate(text):
        xa = ctx.text_extents(ch)[4]
        ctx.move_to(pen, 0)
        ctx.text_path(ch)
        pen += xa + tracking * ref
    ctx.restore()
    return (ox, by, inkw, bh)


def outlined_text(ctx, text, font, box, fill, outline, width, tracking=0.0,
                  stretch=(0.8, 1.6), align="centre", highlight=None, shadow=None, gloss=0.0):
    """Text with a dark outline of the given width around a gradient fill.

    The box is the outer size including the outline.  highlight = (colour, alpha,
    width) strokes a thin light line just inside the letters' edge; shadow =
    (dx, dy, colour) puts a dark copy behind.
    """
    x, y, w, h = box
    inner = (x + width, y + width, w - 2 * width, h - 2 * width)
    if shadow:
        dx, dy, col = shadow
        inner = (inner[0], inner[1], inner[2] - abs(dx), inner[3] - abs(dy))
    ctx.new_path()
    ink = text_path(ctx, text, font, inner, tracking, stretch, align)
    path = ctx.copy_path()
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    if shadow:
        ctx.save()
        ctx.translate(dx, dy)
        ctx.new_path()
        ctx.append_path(path)
        ctx.set_source_rgb(*rgb(col))
        ctx.set_line_width(2 * width)
        ctx.stroke_preserve()
        ctx.fill()
        ctx.restore()
    ctx.new_path()
    ctx.append_path(path)
    ctx.set_source_rgb(*rgb(outline))
    ctx.set_line_width(2 * width)
    ctx.stroke_preserve()
    ctx.fill()
    ctx.new_path()
    ctx.append_path(path)
    ctx.set_source(fill)
    ctx.fill()
    if gloss:
        # a soft light band over the top of the letters
        gx, gy, gw, gh = ink
        ctx.save()
        ctx.new_path()
        ctx.append_path(path)
        ctx.clip()
        ctx.new_path()
        ctx.rectangle(gx - 2, gy - 2, gw + 4, gh * 0.5 + 2)
        ctx.set_source(grad(0, gy, 0, gy + gh * 0.5, [(0, (255, 255, 255), gloss),
                                                       (1, (255, 255, 255), 0.0)]))
        ctx.fill()
        ctx.new_path()
        ctx.rectangle(gx - 2, gy + gh * 0.62, gw + 4, gh * 0.4 + 2)
        ctx.set_source(grad(0, gy + gh * 0.62, 0, gy + gh, [(0, (0, 0, 0), 0.0),
                                                             (1, (40, 0, 40), gloss)]))
        ctx.fill()
        ctx.restore()
    if highlight:
        col, alpha, lw = highlight
        ctx.save()
        ctx.new_path()
        ctx.append_path(path)
        ctx.clip()
        ctx.new_path()
        ctx.append_path(path)
        ctx.translate(0.6, 0.9)
        ctx.set_source_rgba(*rgb(col), alpha)
        ctx.set_line_width(lw)
        ctx.stroke()
        ctx.restore()
    return ink


# ---------------------------------------------------------------- sprites

def draw_ship(ctx, w, h, f):
    cx = w / 2.0
    # Exhaust flames under the hull, two of them, length and shape per frame.
    # Frame 0 has the longest, down to the last row: its whole frame is the
    # ship's hit area.
    lengths = [(18.0, 17.5), (16.0, 15.0), (11.0, 13.0), (15.0, 12.5)]
    wobble = [(0.0, 0.0), (0.6, -0.6), (-0.5, 0.4), (0.3, 0.7)]
    for side, ex in enumerate((cx - 6.0, cx + 6.0)):
        ln = lengths[f][side]
        wb = wobble[f][side]
        top = 41.5
        ctx.new_path()
        ctx.move_to(ex - 3.6, top)
        ctx.curve_to(ex - 3.8, top + ln * 0.45, ex - 1.2 + wb, top + ln * 0.8, ex + wb, top + ln)
        ctx.curve_to(ex + 1.2 + wb, top + ln * 0.8, ex + 3.8, top + ln * 0.45, ex + 3.6, top)
        ctx.close_path()
        ctx.set_source(grad(0, top, 0, top + ln, [(0, (255, 250, 200)), (0.25, (255, 225, 60)),
                                                   (0.6, (255, 140, 20)), (1, (220, 50, 10))]))
        ctx.fill()
        # hot core
        ctx.new_path()
        ellipse(ctx, ex + wb * 0.3, top + ln * 0.25, 1.5, ln * 0.28)
        ctx.set_source_rgba(1, 1, 0.9, 0.9)
        ctx.fill()

    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    # Wings: a swept delta.
    wing = [(cx, 12), (cx + 6, 20), (w - 1.2, 35.5), (w - 1.2, 40.5), (cx + 3, 42.5),
            (cx - 3, 42.5), (1.2, 40.5), (1.2, 35.5), (cx - 6, 20)]
    ctx.new_path()
    poly(ctx, wing)
    ctx.set_source(grad(0, 14, 0, 42, [(0, (205, 220, 240)), (0.55, (140, 160, 200)),
                                       (1, (70, 85, 125))]))
    ctx.fill_preserve()
    ctx.set_source_rgb(*rgb(INK))
    ctx.set_line_width(1.3)
    ctx.stroke()
    # Wing edge highlight and red stripes.
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    for s in (-1, 1):
        ctx.new_path()
        ctx.move_to(cx + s * 7, 21.5)
        ctx.line_to(cx + s * 16.5, 33.5)
        ctx.set_source_rgb(*rgb((215, 30, 35)))
        ctx.set_line_width(2.2)
        ctx.stroke()
        ctx.new_path()
        ctx.move_to(cx + s * 6.5, 26)
        ctx.line_to(cx + s * 13.5, 35)
        ctx.set_line_width(1.2)
        ctx.stroke()
        ctx.new_path()
        ctx.move_to(w / 2 + s * (w / 2 - 2.2), 36.5)
        ctx.line_to(w / 2 + s * (w / 2 - 2.2), 39.8)
        ctx.set_source_rgb(*rgb((240, 60, 50)))
        ctx.set_line_width(1.6)
        ctx.stroke()
    # Engine pods.
    for ex in (cx - 6.0, cx + 6.0):
        ctx.new_path()
        rounded_rect(ctx, ex - 3.5, 33, 7, 10, 2)
        ctx.set_source(grad(ex - 3.5, 0, ex + 3.5, 0, [(0, (70, 80, 105)), (0.45, (185, 195, 215)),
                                                       (1, (60, 66, 90))]))
        ctx.fill_preserve()
        ctx.set_source_rgb(*rgb(INK))
        ctx.set_line_width(1.0)
        ctx.stroke()
        ctx.new_path()
        ctx.rectangle(ex - 2.5, 41.2, 5, 1.6)
        ctx.set_source_rgb(*rgb((255, 170, 60)))
        ctx.fill()
    # Fuselage.
    body = [(cx, 1.2)]
    ctx.new_path()
    ctx.move_to(cx, 1.2)
    ctx.curve_to(cx + 3.5, 6, cx + 5, 14, cx + 5, 24)
    ctx.line_to(cx + 4.2, 40)
    ctx.line_to(cx - 4.2, 40)
    ctx.line_to(cx - 5, 24)
    ctx.curve_to(cx - 5, 14, cx - 3.5, 6, cx, 1.2)
    ctx.close_path()
    ctx.set_source(grad(cx - 5, 0, cx + 5, 0, [(0, (90, 105, 150)), (0.4, (235, 242, 255)),
                                                (0.6, (200, 212, 235)), (1, (80, 92, 135))]))
    ctx.fill_preserve()
    ctx.set_source_rgb(*rgb(INK))
    ctx.set_line_width(1.2)
    ctx.stroke()
    del body
    # Centre stripe.
    ctx.new_path()
    ctx.move_to(cx, 19)
    ctx.line_to(cx, 38)
    ctx.set_source_rgb(*rgb((220, 35, 40)))
    ctx.set_line_width(2.0)
    ctx.stroke()
    # Canopy.
    ctx.new_path()
    ellipse(ctx, cx, 11.5, 2.9, 6.0)
    ctx.set_source(radial(cx, 11.5, 0.5, 6.5, [(0, (235, 200, 255)), (0.45, (160, 80, 230)),
                                                (1, (70, 20, 120))], fx=cx - 1, fy=9))
    ctx.fill_preserve()
    ctx.set_source_rgb(*rgb((30, 10, 50)))
    ctx.set_line_width(0.9)
    ctx.stroke()
    ctx.new_path()
    ellipse(ctx, cx - 0.9, 9.2, 0.8, 2.0)
    ctx.set_source_rgba(1, 1, 1, 0.85)
    ctx.fill()


def bee_wing(ctx, ax, ay, angle, length, width, alpha=0.55):
    """One translucent wing, attached at (ax, ay), pointing along angle
    (radians, 0 = right, growing clockwise on screen)."""
    ctx.save()
    ctx.translate(ax, ay)
    ctx.rotate(angle)
    ctx.new_path()
    ctx.move_to(0, -1.5)
    ctx.curve_to(length * 0.35, -width * 0.75, length * 0.95, -width * 0.6, length, 0)
    ctx.curve_to(length * 0.95, width * 0.55, length * 0.35, width * 0.6, 0, 1.5)
    ctx.close_path()
    path = ctx.copy_path()
    ctx.set_source(grad(0, 0, length, 0, [(0, (215, 225, 235), alpha + 0.1),
                                          (1, (170, 180, 195), alpha - 0.05)]))
    ctx.fill()
    # veins
    ctx.new_path()
    ctx.move_to(1, 0)
    ctx.curve_to(length * 0.4, -width * 0.15, length * 0.7, -width * 0.1, length * 0.95, 0)
    ctx.move_to(length * 0.35, -width * 0.1)
    ctx.line_to(length * 0.6, -width * 0.45)
    ctx.move_to(length * 0.45, 0)
    ctx.line_to(length * 0.7, width * 0.35)
    ctx.set_source_rgba(1, 1, 1, 0.35)
    ctx.set_line_width(0.8)
    ctx.stroke()
    ctx.new_path()
    ctx.append_path(path)
    ctx.set_source_rgba(0.93, 0.95, 1.0, 0.85)
    ctx.set_line_width(1.0)
    ctx.stroke()
    ctx.restore()


def draw_bee(ctx, w, h, f):
    cx = w / 2.0
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    # Legs (under everything).
    for s in (-1, 1):
        for i, (ly, dx, dy) in enumerate(((19.5, 8.5, -3), (21.5, 9.5, 1.5), (23.5, 8, 5.5))):
            ctx.new_path()
            ctx.move_to(cx + s * 3, ly)
            ctx.line_to(cx + s * (3 + dx * 0.6), ly + dy * 0.4)
            ctx.line_to(cx + s * (3 + dx), ly + dy)
            ctx.set_source_rgb(*rgb((70, 30, 24)))
            ctx.set_line_width(1.4)
            ctx.stroke()
    # Abdomen: striped yellow and red.
    ab_cx, ab_cy, ab_rx, ab_ry = cx, 30.6, 10.2, 11.6
    ctx.new_path()
    ellipse(ctx, ab_cx, ab_cy, ab_rx, ab_ry)
    ab_path = ctx.copy_path()
    ctx.save()
    ctx.clip()
    top = ab_cy - ab_ry
    stripes = [(0, (255, 215, 30)), (4.4, (215, 30, 20)), (8.0, (255, 215, 30)),
               (12.2, (215, 30, 20)), (15.8, (255, 215, 30)), (19.6, (200, 25, 20))]
    for i, (yy, col) in enumerate(stripes):
        end = stripes[i + 1][0] if i + 1 < len(stripes) else 30
        ctx.new_path()
        ctx.rectangle(0, top + yy, w, end - yy)
        ctx.set_source_rgb(*rgb(col))
        ctx.fill()
    # round shading over the stripes
    ctx.new_path()
    ctx.append_path(ab_path)
    ctx.set_source(radial(ab_cx, ab_cy, 1, ab_rx * 1.25,
                          [(0, (255, 255, 255), 0.0), (0.6, (0, 0, 0), 0.0), (1, (20, 5, 0), 0.55)],
                          fx=ab_cx - 2.5, fy=ab_cy - 4))
    ctx.fill()
    ctx.new_path()
    ellipse(ctx, ab_cx - 3.2, ab_cy - 3, 1.6, 5.5, -0.15)
    ctx.set_source_rgba(1, 1, 0.9, 0.45)
    ctx.fill()
    ctx.restore()
    ctx.new_path()
    ctx.append_path(ab_path)
    ctx.set_source_rgb(*rgb((60, 14, 8)))
    ctx.set_line_width(1.2)
    ctx.stroke()
    # stinger
    ctx.new_path()
    poly(ctx, [(cx - 1.6, ab_cy + ab_ry - 0.8), (cx + 1.6, ab_cy + ab_ry - 0.8), (cx, h - 0.6)])
    ctx.set_source_rgb(*rgb((90, 40, 30)))
    ctx.fill()
    # Thorax.
    ctx.new_path()
    ellipse(ctx, cx, 19.3, 6.6, 5.0)
    ctx.set_source(radial(cx, 19.3, 0.5, 7, [(0, (255, 200, 80)), (1, (170, 90, 20))],
                          fx=cx - 1.5, fy=17.5))
    ctx.fill_preserve()
    ctx.set_source_rgb(*rgb((60, 20, 8)))
    ctx.set_line_width(1.1)
    ctx.stroke()
    # Antennae.
    for s in (-1, 1):
        ctx.new_path()
        ctx.move_to(cx + s * 2, 8)
        ctx.curve_to(cx + s * 3, 4, cx + s * 6, 2.5, cx + s * 8.5, 2.2)
        ctx.set_source_rgb(*rgb((200, 20, 20)))
        ctx.set_line_width(1.4)
        ctx.stroke()
        ctx.new_path()
        ctx.arc(cx + s * 8.8, 2.2, 1.5, 0, 2 * math.pi)
        ctx.set_source_rgb(*rgb((255, 70, 50)))
        ctx.fill()
    # Head.
    ctx.new_path()
    ellipse(ctx, cx, 11.0, 6.2, 5.3)
    ctx.set_source(radial(cx, 11.0, 0.5, 6.5, [(0, (255, 110, 90)), (0.6, (220, 25, 25)),
                                              (1, (130, 10, 10))], fx=cx - 1, fy=9.5))
    ctx.fill_preserve()
    ctx.set_source_rgb(*rgb((50, 8, 8)))
    ctx.set_line_width(1.1)
    ctx.stroke()
    # Compound eyes.
    for s in (-1, 1):
        ex, ey = cx + s * 5.8, 10.4
        ctx.new_path()
        ellipse(ctx, ex, ey, 3.6, 4.6, s * 0.35)
        ctx.set_source(radial(ex, ey, 0.3, 4.5, [(0, (200, 255, 160)), (0.5, (40, 210, 50)),
                                                  (1, (10, 95, 25))], fx=ex - s * 0.5, fy=ey - 1.5))
        ctx.fill_preserve()
        ctx.set_source_rgb(*rgb((10, 45, 14)))
        ctx.set_line_width(1.0)
        ctx.stroke()
        ctx.new_path()
        ctx.arc(ex - 0.6 * s, ey - 1.6, 0.9, 0, 2 * math.pi)
        ctx.set_source_rgba(1, 1, 1, 0.9)
        ctx.fill()
    # Wings last: translucent, the body shows through.
    ax, ay = 4.0, 18.0
    if f == 0:   # spread sideways
        wings = [(-0.12, 26.5, 11.0, -3), (0.20, 21.0, 8.0, 1.5)]
    elif f == 1:  # swept back about 45 degrees
        wings = [(math.radians(42), 27.0, 10.5, -1.5), (math.radians(64), 20.0, 7.5, 1.5)]
    else:        # folded back along the body
        wings = [(math.radians(74), 23.5, 6.5, -1.0), (math.radians(84), 19.0, 5.0, 1.0)]
    for ang, ln, wd, dy in wings:
        for s in (-1, 1):
            a = ang if s > 0 else math.pi - ang
            bee_wing(ctx, cx + s * ax, ay + dy, a, ln, wd, 0.42 if f == 2 else 0.55)


def draw_splat(ctx, w, h, f):
    cx, cy = w / 2.0, h / 2.0
    rnd = random.Random(1000 + f)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    if f == 0:
        # small green splash: a lumpy blob with droplets
        ctx.new_path()
        n = 14
        pts = []
        for i in range(n):
            a = 2 * math.pi * i / n
            r = 6.5 + rnd.uniform(-1.5, 2.5) + (3.0 if i % 3 == 0 else 0)
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
        ctx.move_to(*pts[0])
        for i in range(n):
            p0, p1 = pts[i], pts[(i + 1) % n]
            mx, my = (p0[0] + p1[0]) / 2, (p0[1] + p1[1]) / 2
            ctx.curve_to(p0[0], p0[1], mx, my, mx, my)
        ctx.close_path()
        ctx.set_source(radial(cx, cy, 0.5, 10, [(0, (210, 255, 150)), (0.5, (80, 220, 40)),
                                                 (1, (20, 120, 20))], fx=cx - 2, fy=cy - 2))
        ctx.fill()
        for i in range(7):
            a = rnd.uniform(0, 2 * math.pi)
            r = rnd.uniform(10.5, 14)
            ctx.new_path()
            ctx.arc(cx + r * math.cos(a), cy + r * math.sin(a), rnd.uniform(1.0, 1.9), 0, 7)
            ctx.set_source_rgb(*rgb((90, 225, 60)))
            ctx.fill()
        return
    if f in (1, 2):
        spikes = 10 if f == 1 else 14
        r_out = 12.0 if f == 1 else 19.5
        r_in = 4.5 if f == 1 else 8.0
        ctx.new_path()
        for i in range(spikes * 2):
            a = math.pi * i / spikes + (0.1 if f == 2 else 0)
            r = (r_out * rnd.uniform(0.75, 1.0)) if i % 2 == 0 else r_in
            (ctx.move_to if i == 0 else ctx.line_to)(cx + r * math.cos(a), cy + r * math.sin(a))
        ctx.close_path()
        if f == 1:
            stops = [(0, (255, 255, 245)), (0.4, (255, 250, 190)), (1, (230, 220, 110))]
        else:
            stops = [(0, (255, 255, 220)), (0.3, (255, 225, 60)), (0.7, (255, 150, 20)),
                     (1, (230, 90, 10))]
        ctx.set_source(radial(cx, cy, 0.5, r_out, stops))
        ctx.fill()
        if f == 2:
            for i in range(16):
                a = rnd.uniform(0, 2 * math.pi)
                r = rnd.uniform(14, 21.5)
                ctx.new_path()
                ctx.arc(cx + r * math.cos(a), cy + r * math.sin(a), rnd.uniform(0.8, 1.5), 0, 7)
                ctx.set_source_rgb(*rgb(rnd.choice([(255, 230, 80), (255, 160, 30), (255, 120, 20)])))
                ctx.fill()
        return
    # Rings: 3 broken orange-red, 4 ring of fire, 5 breaking up, 6 faint fragments.
    if f == 3:
        ctx.new_path()
        ctx.arc(cx, cy, 9, 0, 2 * math.pi)
        ctx.set_source(radial(cx, cy, 0, 9, [(0, (70, 14, 8)), (1, (120, 30, 10))]))
        ctx.fill()
        segs, r, lw = 7, 13.5, 5.5
        for i in range(segs):
            a0 = 2 * math.pi * i / segs + rnd.uniform(0.05, 0.2)
            a1 = a0 + 2 * math.pi / segs * rnd.uniform(0.6, 0.8)
            ctx.new_path()
            ctx.arc(cx, cy, r, a0, a1)
            ctx.set_source_rgb(*rgb((230, 70, 20)))
            ctx.set_line_width(lw)
            ctx.stroke()
            ctx.new_path()
            ctx.arc(cx, cy, r - 0.5, a0 + 0.05, a1 - 0.05)
            ctx.set_source_rgb(*rgb((255, 170, 50)))
            ctx.set_line_width(2.0)
            ctx.stroke()
        return
    if f == 4:
        r = 17.0
        ctx.new_path()
        ctx.arc(cx, cy, r, 0, 2 * math.pi)
        ctx.set_source_rgb(*rgb((200, 20, 10)))
        ctx.set_line_width(8.0)
        ctx.stroke()
        # flame tongues outward
        for i in range(20):
            a = 2 * math.pi * i / 20 + rnd.uniform(-0.08, 0.08)
            ln = rnd.uniform(3.0, 5.0)
            ctx.new_path()
            ctx.move_to(cx + (r + 2) * math.cos(a - 0.13), cy + (r + 2) * math.sin(a - 0.13))
            ctx.line_to(cx + (r + 2 + ln) * math.cos(a), cy + (r + 2 + ln) * math.sin(a))
            ctx.line_to(cx + (r + 2) * math.cos(a + 0.13), cy + (r + 2) * math.sin(a + 0.13))
            ctx.close_path()
            ctx.set_source_rgb(*rgb((225, 45, 15)))
            ctx.fill()
        ctx.new_path()
        ctx.arc(cx, cy, r, 0, 2 * math.pi)
        ctx.set_source_rgb(*rgb((255, 110, 30)))
        ctx.set_line_width(3.2)
        ctx.stroke()
        ctx.new_path()
        ctx.arc(cx, cy, r - 0.3, 0, 2 * math.pi)
        ctx.set_source_rgb(*rgb((255, 220, 120)))
        ctx.set_line_width(1.0)
        ctx.stroke()
        return
    # 5 and 6: fragments of the ring
    n = 16 if f == 5 else 13
    r = 19.0 if f == 5 else 20.0
    for i in range(n):
        a = 2 * math.pi * i / n + rnd.uniform(-0.1, 0.1)
        rr = r + rnd.uniform(-1.5, 1.5)
        span = rnd.uniform(0.12, 0.22)
        x0, y0 = cx + rr * math.cos(a), cy + rr * math.sin(a)
        ctx.new_path()
        ctx.arc(cx, cy, rr, a - span, a + span)
        if f == 5:
            col = (255, 130, 30) if i % 2 == 0 else (150, 150, 155)
            ctx.set_source_rgb(*rgb(col))
            ctx.set_line_width(rnd.uniform(2.6, 3.6))
        else:
            ctx.set_source_rgb(*rgb((92, 92, 98)))
            ctx.set_line_width(rnd.uniform(1.6, 2.2))
        ctx.stroke()
        if f == 5 and i % 2 == 0:
            ctx.new_path()
            ctx.arc(x0, y0, 0.9, 0, 7)
            ctx.set_source_rgb(*rgb((255, 220, 120)))
            ctx.fill()
    for i in range(10 if f == 5 else 6):
        a = rnd.uniform(0, 2 * math.pi)
        rr = rnd.uniform(12, 21)
        ctx.new_path()
        ctx.arc(cx + rr * math.cos(a), cy + rr * math.sin(a), rnd.uniform(0.7, 1.2), 0, 7)
        ctx.set_source_rgb(*rgb((130, 130, 135) if f == 5 else (80, 80, 86)))
        ctx.fill()


# Blocky 6x8 digits with two-pixel strokes for the score values.
BLOCK_DIGITS = {
    "0": [".####.", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##", ".####."],
    "1": ["..##..", ".###..", "####..", "..##..", "..##..", "..##..", "..##..", "######"],
    "2": [".####.", "##..##", "....##", "...##.", "..##..", ".##...", "##....", "######"],
    "3": [".####.", "##..##", "....##", "..###.", "....##", "....##", "##..##", ".####."],
    "4": ["...##.", "..###.", ".####.", "##.##.", "######", "...##.", "...##.", "...##."],
    "5": ["######", "##....", "#####.", "....##", "....##", "....##", "##..##", ".####."],
    "6": [".####.", "##....", "##....", "#####.", "##..##", "##..##", "##..##", ".####."],
    "7": ["######", "....##", "...##.", "..##..", "..##..", ".##...", ".##...", ".##..."],
    "8": [".####.", "##..##", "##..##", ".####.", "##..##", "##..##", "##..##", ".####."],
    "9": [".####.", "##..##", "##..##", "##..##", ".#####", "....##", "....##", ".####."],
}

PTS = [("25", (120, 200, 255)), ("50", (255, 60, 230)), ("100", (255, 150, 20)),
       ("200", (170, 90, 255)), ("400", (60, 230, 60)), ("800", (255, 240, 40)),
       ("1600", (50, 110, 255)), ("3200", (255, 35, 35))]


def pts_pixels(w, h, f):
    """Returns a w*h list of colours (None = black) for score value frame f."""
    text, col = PTS[f]
    gw, gap = 6, 1
    tw = len(text) * gw + (len(text) - 1) * gap
    ox = (w - tw) // 2
    oy = 1
    on = set()
    for i, ch in enumerate(text):
        for y, row in enumerate(BLOCK_DIGITS[ch]):
            for x, c in enumerate(row):
                if c == "#":
                    on.add((ox + i * (gw + gap) + x, oy + y))
    light = mix(col, (255, 255, 255), 0.55)
    dark = mix(col, (0, 0, 0), 0.6)
    dark = tuple(max(v, 14) for v in dark)
    out = [None] * (w * h)
    for (x, y) in on:
        t = (y - oy) / 7.0
        out[y * w + x] = mix(light, col, min(1.0, t * 1.6))
    for y in range(h):
        for x in range(w):
            if out[y * w + x] is None:
                if any((x + dx, y + dy) in on for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                    out[y * w + x] = dark
    return out


def draw_bonus(ctx, w, h, f):
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    # Panel body: deep blue glass.
    ctx.new_path()
    rounded_rect(ctx, 1.5, 1.5, w - 3, h - 3, 12)
    ctx.set_source_rgb(*rgb((12, 14, 40)))
    ctx.fill()
    ctx.new_path()
    rounded_rect(ctx, 6, 6, w - 12, h - 12, 8)
    ctx.set_source(grad(0, 6, 0, h - 6, [(0, (34, 44, 120)), (0.5, (16, 20, 66)),
                                         (1, (28, 20, 70))]))
    ctx.fill()
    # Frame: dark blue through white to gold.
    ctx.new_path()
    rounded_rect(ctx, 4, 4, w - 8, h - 8, 10)
    ctx.set_source(grad(0, 0, w, h, [(0, (20, 40, 150)), (0.3, (110, 160, 255)),
                                     (0.5, (255, 255, 255)), (0.7, (255, 220, 110)),
                                     (1, (200, 130, 10))]))
    ctx.set_line_width(5.0)
    ctx.stroke()
    ctx.new_path()
    rounded_rect(ctx, 1.5, 1.5, w - 3, h - 3, 12)
    ctx.set_source_rgb(*rgb((20, 24, 70)))
    ctx.set_line_width(1.6)
    ctx.stroke()
    ctx.new_path()
    rounded_rect(ctx, 7.2, 7.2, w - 14.4, h - 14.4, 7)
    ctx.set_source_rgba(*rgb((10, 12, 50)), 0.9)
    ctx.set_line_width(1.4)
    ctx.stroke()
    # gloss band
    ctx.new_path()
    rounded_rect(ctx, 10, 10, w - 20, (h - 20) * 0.42, 6)
    ctx.set_source(grad(0, 10, 0, 10 + (h - 20) * 0.42, [(0, (160, 190, 255), 0.22),
                                                         (1, (160, 190, 255), 0.0)]))
    ctx.fill()
    num = ["125", "250", "500"][f]
    fill = grad(0, 22, 0, h - 22, [(0, (255, 120, 10)), (0.5, (255, 190, 30)),
                                   (1, (255, 250, 120))])
    outlined_text(ctx, num, HEAVY, (16, 19, w - 32, h - 38), fill, (40, 14, 4), 3.0,
                  tracking=0.04, stretch=(0.9, 1.25),
                  highlight=((255, 255, 230), 0.55, 1.2), shadow=(2, 2, (8, 6, 24)))


def draw_bolt(ctx, w, h, core, mid, edge):
    cx = w / 2.0
    # glow around the head
    ctx.new_path()
    ellipse(ctx, cx, 6.5, 3.4, 6.2)
    ctx.set_source(radial(cx, 6.5, 0.5, 6.2, [(0, mid, 0.95), (1, edge, 0.55)]))
    ctx.fill()
    # beam thinning downwards
    ctx.new_path()
    poly(ctx, [(cx - 1.9, 3), (cx + 1.9, 3), (cx + 0.8, 17), (cx - 0.8, 17)])
    ctx.set_source(grad(0, 3, 0, 17, [(0, core), (0.5, mid), (1, edge)]))
    ctx.fill()
    ctx.new_path()
    ellipse(ctx, cx, 5.5, 1.4, 4.2)
    ctx.set_source_rgb(*rgb((255, 255, 255)))
    ctx.fill()
    # dotted tail
    for i, y in enumerate((19.5, 22.5, 25.0)):
        ctx.new_path()
        ctx.rectangle(cx - 0.5 - (0.5 if i == 0 else 0), y - 0.8, 1.0 + (1.0 if i == 0 else 0), 1.6)
        ctx.set_source_rgb(*rgb(mix(mid, edge, 0.3 + 0.3 * i)))
        ctx.fill()


def draw_shot(ctx, w, h, f):
    draw_bolt(ctx, w, h, (255, 230, 220), (255, 60, 50), (170, 20, 20))


def draw_ball(ctx, w, h, f):
    cx, cy = w / 2.0, h / 2.0
    # f: 0 the game's ball, 1..3 the spare ones (glow pulses)
    core = [2.2, 1.8, 2.6, 2.0][f]
    ctx.new_path()
    ctx.arc(cx, cy, 5.0, 0, 2 * math.pi)
    ctx.set_source(radial(cx, cy, 0.0, 5.0, [(0, (255, 255, 210)), (core / 5.0, (255, 240, 60)),
                                              (0.62, (200, 190, 30)), (0.8, (110, 110, 24)),
                                              (1, (70, 72, 18), 0.55)]))
    ctx.fill()
    ctx.new_path()
    ctx.arc(cx - 1.0, cy - 1.0, 0.9, 0, 2 * math.pi)
    ctx.set_source_rgba(1, 1, 1, 0.9)
    ctx.fill()


def draw_title(ctx, w, h, f):
    fill = grad(0, 0, w, h, [(0, (255, 40, 30)), (0.22, (255, 90, 20)), (0.5, (60, 230, 60)),
                             (0.78, (230, 255, 60)), (1, (255, 230, 20))])
    gap = 6
    lh = (h - gap) / 2.0
    outlined_text(ctx, "VEXA", HEAVY, (4, 0, w - 44, lh), fill, (16, 8, 40), 3.2,
                  tracking=0.06, stretch=(0.9, 1.9),
                  highlight=((255, 255, 255), 0.8, 1.8), shadow=(4, 3, (60, 10, 90)),
                  gloss=0.35)
    outlined_text(ctx, "LOID", HEAVY, (40, lh + gap, w - 44, lh), fill, (16, 8, 40), 3.2,
                  tracking=0.06, stretch=(0.9, 1.9),
                  highlight=((255, 255, 255), 0.8, 1.8), shadow=(4, 3, (60, 10, 90)),
                  gloss=0.35)


START_COLOURS = [(255, 70, 60), (255, 160, 30), (255, 235, 40), (90, 235, 70), (60, 200, 255),
                 (120, 120, 255), (220, 90, 255)]


START_BOX = (2, 2, 400, 14)
START_TRACK = 0.16
START_STRETCH = (0.9, 1.45)


def draw_start(ctx, w, h, f):
    text = "LEFT CLICK TO START"
    # Outline the whole line, then fill each letter in its own colour.
    n = 0
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.new_path()
    ink = text_path(ctx, text, HEAVY, START_BOX, tracking=START_TRACK, stretch=START_STRETCH)
    path = ctx.copy_path()
    ctx.set_source_rgb(*rgb((12, 10, 48)))
    ctx.set_line_width(3.6)
    ctx.stroke_preserve()
    ctx.fill()
    # letter boxes from per-letter extents
    boxes = letter_boxes(ctx, text, HEAVY, START_BOX, START_TRACK, START_STRETCH)
    for (x0, x1), ch in zip(boxes, [c for c in text if c != " "]):
        col = START_COLOURS[n % len(START_COLOURS)]
        n += 1
        ctx.save()
        ctx.new_path()
        ctx.rectangle(x0 - 0.5, 0, x1 - x0 + 1.0, h)
        ctx.clip()
        ctx.new_path()
        ctx.append_path(path)
        ctx.set_source(grad(0, ink[1], 0, ink[1] + ink[3], [(0, mix(col, (255, 255, 255), 0.6)),
                                                            (0.55, col), (1, mix(col, (0, 0, 0), 0.25))]))
        ctx.fill()
        ctx.restore()


def letter_boxes(ctx, text, font, box, tracking, stretch, ref=100.0):
    """The x ranges of the non-space letters of text as text_path places them."""
    bx, by, bw, bh = box
    ctx.save()
    ctx.identity_matrix()
    set_font(ctx, font, ref)
    inks = letter_inks(ctx, text, tracking, ref)
    ctx.restore()
    x0 = min(i[0] for i in inks)
    x1 = max(i[2] for i in inks)
    y0 = min(i[1] for i in inks)
    y1 = max(i[3] for i in inks)
    sy, sx = fit_scale(x1 - x0, y1 - y0, bw, bh, stretch)
    ox = bx + (bw - (x1 - x0) * sx) / 2.0
    # Each letter owns the space up to halfway to its neighbours.
    centres = [((a[0] + a[2]) / 2.0 - x0) * sx + ox for a in inks]
    out = []
    for i, c in enumerate(centres):
        left = (centres[i - 1] + c) / 2.0 if i > 0 else bx - 4
        right = (centres[i + 1] + c) / 2.0 if i + 1 < len(centres) else bx + bw + 4
        out.append((left, right))
    return out


def draw_credits(ctx, w, h, f):
    fill = grad(0, 0, 0, h, [(0, (160, 255, 160)), (1, (40, 170, 60))])
    outlined_text(ctx, "A GAME BY MARROWFINCH SOFTWORKS", BOLD, (20, 0, w - 40, h), fill,
                  (8, 30, 12), 1.5, tracking=0.18, stretch=(0.9, 1.3))


def banner_white_gold(ctx, w, h, text, outline_w=3.0):
    fill = grad(0, 3, 0, h - 3, [(0, (255, 255, 255)), (0.4, (255, 245, 200)),
                                 (0.75, (255, 200, 60)), (1, (215, 140, 10))])
    outlined_text(ctx, text, HEAVY, (1, 1, w - 2, h - 2), fill, (20, 30, 110), outline_w,
                  tracking=0.03, stretch=(0.8, 1.3),
                  highlight=((255, 255, 255), 0.5, 1.0), shadow=(2, 2, (10, 12, 50)))


def draw_getready(ctx, w, h, f):
    banner_white_gold(ctx, w, h, "Get Ready!")


def draw_bonusrnd(ctx, w, h, f):
    banner_white_gold(ctx, w, h, "Bonus Round")


def draw_wavedone(ctx, w, h, f):
    fill1 = grad(0, 1, 0, 30, [(0, (255, 110, 10)), (0.5, (255, 180, 30)),
                               (1, (255, 250, 110))])
    outlined_text(ctx, "Wave Complete", HEAVY, (1, 1, w - 2, 30), fill1, (60, 16, 4), 2.6,
                  tracking=0.02, stretch=(0.8, 1.3),
                  highlight=((255, 255, 220), 0.5, 1.0), shadow=(2, 2, (30, 8, 4)))
    fill2 = grad(0, 34, 0, h - 1, [(0, (255, 255, 255)), (0.5, (190, 220, 255)),
                                   (1, (110, 160, 255))])
    outlined_text(ctx, "Bonus: 2000 pts", BOLD, (12, 34, w - 24, h - 35), fill2, (12, 20, 80),
                  2.2, tracking=0.03, stretch=(0.8, 1.3))


def draw_gameover(ctx, w, h, f):
    fill = grad(0, 3, 0, h - 3, [(0, (90, 255, 70)), (0.45, (255, 240, 40)),
                                 (1, (255, 40, 20))])
    outlined_text(ctx, "Game Over", HEAVY, (1, 1, w - 2, h - 2), fill, (40, 6, 10), 3.0,
                  tracking=0.03, stretch=(0.8, 1.3),
                  highlight=((255, 255, 230), 0.5, 1.0), shadow=(2, 2, (30, 4, 8)))


def draw_label(ctx, w, h, f):
    text = ["Score", "Best", "Wave"][f]
    if f == 1:
        fill = grad(0, 2, 0, h - 2, [(0, (255, 250, 120)), (1, (255, 140, 20))])
        outline = (50, 20, 4)
    else:
        fill = grad(0, 2, 0, h - 2, [(0, (255, 255, 255)), (1, (110, 165, 255))])
        outline = (10, 20, 80)
    align = ["left", "centre", "right"][f]
    # Score sits over the score digits at the left edge, Wave ends over the
    # wave digits at the right edge, Best is centred.
    box = (1, 1, w - 5, h - 2) if f == 2 else (1, 1, w - 2, h - 2)
    outlined_text(ctx, text, BOLD, box, fill, outline, 2.0, tracking=0.06,
                  stretch=(0.9, 1.2), align=align)


def draw_digit(ctx, w, h, f):
    fill = grad(0, 1, 0, h - 1, [(0, (255, 130, 10)), (0.5, (255, 190, 30)),
                                 (1, (255, 250, 120))])
    outlined_text(ctx, str(f), SANS_BOLD, (1, 1, w - 2, h - 2), fill, (60, 20, 4), 1.4,
                  stretch=(0.8, 1.15))


def draw_blue_bolt(ctx, w, h, f):
    if f == 0:
        draw_bolt(ctx, w, h, (220, 235, 255), (60, 110, 255), (20, 30, 170))
    else:
        draw_bolt(ctx, w, h, (240, 255, 255), (120, 220, 255), (30, 120, 190))


# ---------------------------------------------------------------- layout

# The drawing and kind of every cell; where the cells lie is the game's own
# table (cells.py reads it).
# kind "sprite": no pixel so dark that a 16-bit buffer stores it as black;
# kind "art": soft edges allowed to fade out.
DRAWINGS = {
    "shipimg": (draw_ship, "sprite"),
    "beeimg": (draw_bee, "sprite"),
    "splatimg": (draw_splat, "sprite"),
    "ptsimg": (None, "sprite"),
    "bonusimg": (draw_bonus, "art"),
    "shotimg": (draw_shot, "sprite"),
    "beeshotimg": (draw_ball, "sprite"),
    "titleimg": (draw_title, "art"),
    "startimg": (draw_start, "art"),
    "getreadyimg": (draw_getready, "art"),
    "bonusrndimg": (draw_bonusrnd, "art"),
    "wavedoneimg": (draw_wavedone, "art"),
    "gameoverimg": (draw_gameover, "art"),
    "labelimg": (draw_label, "art"),
    "digitimg": (draw_digit, "art"),
    # Cells that the game never cuts.
    "blue bolts": (draw_blue_bolt, "sprite"),
    "spare balls": (lambda c, w, h, f: draw_ball(c, w, h, f + 1), "sprite"),
    "credits line": (draw_credits, "art"),
}


def layout(cells):
    """(name, width, height, frames, x of frame 0, y, step, drawing, kind) a cell."""
    return [(name, w, h, n, x, y, w + 1) + DRAWINGS[name] for name, (w, h, n, x, y) in cells.items()]


IMAGES = layout(game_cells())
EXTRA_CELLS = layout(SPARE_CELLS)


def frame_rects(entry):
    name, w, h, n, x0, y0, step = entry[:7]
    return [(x0 + i * step, y0, w, h) for i in range(n)]


# ---------------------------------------------------------------- pixels

def render_frame(fn, w, h, f, kind):
    """Draws one frame on a transparent surface and returns w*h RGB tuples
    as they stand on black, with the game's transparency rules applied."""
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
    ctx = cairo.Context(surf)
    ctx.set_antialias(cairo.ANTIALIAS_GRAY)
    fn(ctx, w, h, f)
    surf.flush()
    data = bytes(surf.get_data())
    stride = surf.get_stride()
    out = []
    for y in range(h):
        row = data[y * stride: y * stride + w * 4]
        for x in range(w):
            b, g, r, a = row[x * 4: x * 4 + 4]
            out.append(finish_pixel(r, g, b, a, kind))
    return out


def finish_pixel(r, g, b, a, kind):
    """Premultiplied colour over black -> final sheet colour."""
    cut = 56 if kind == "sprite" else 24
    if a < cut:
        return (0, 0, 0)
    if r < 8 and g < 4 and b < 8:
        # Too dark to survive a 16-bit buffer: lift it to the darkest ink.
        return (8, 8, 12) if kind == "sprite" or a >= 128 else (0, 0, 0)
    return (r, g, b)


def build_sheet():
    px = bytearray(SHEET_W * SHEET_H * 3)
    frames = {}
    for entry in IMAGES + EXTRA_CELLS:
        name, w, h, n, _, _, _, fn, kind = entry
        for i, (x, y, _, _) in enumerate(frame_rects(entry)):
            if name == "ptsimg":
                pix = [c or (0, 0, 0) for c in pts_pixels(w, h, i)]
            else:
                pix = render_frame(fn, w, h, i, kind)
            frames[(name, i)] = pix
            for yy in range(h):
                base = ((y + yy) * SHEET_W + x) * 3
                for xx in range(w):
                    px[base + xx * 3: base + xx * 3 + 3] = bytes(pix[yy * w + xx])
    # Fences: one-pixel lines just outside every frame.
    for entry in IMAGES + EXTRA_CELLS:
        for (x, y, w, h) in frame_rects(entry):
            for xx in range(x - 1, x + w + 1):
                for yy in (y - 1, y + h):
                    put(px, SHEET_W, xx, yy, FENCE)
            for yy in range(y - 1, y + h + 1):
                for xx in (x - 1, x + w):
                    put(px, SHEET_W, xx, yy, FENCE)
    return px, frames


def put(px, width, x, y, col):
    i = (y * width + x) * 3
    px[i:i + 3] = bytes(col)


def png_bytes(w, h, px):
    raw = b"".join(b"\x00" + bytes(px[y * w * 3:(y + 1) * w * 3]) for y in range(h))

    def chunk(kind, body):
        c = struct.pack(">I", len(body)) + kind + body
        return c + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def surface_to_rgb(surf, w, h):
    surf.flush()
    data = bytes(surf.get_data())
    stride = surf.get_stride()
    px = bytearray(w * h * 3)
    for y in range(h):
        row = data[y * stride: y * stride + w * 4]
        for x in range(w):
            b, g, r, a = row[x * 4: x * 4 + 4]
            if a < 24:
                r = g = b = 0
            px[(y * w + x) * 3:(y * w + x) * 3 + 3] = bytes((r, g, b))
    return px


# ---------------------------------------------------------------- logo

def draw_joystick(ctx, cx, cy, s):
    """A joystick, base centred at (cx, cy), s = scale."""
    ctx.save()
    ctx.translate(cx, cy)
    ctx.scale(s, s)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    # base: a wedge-shaped box seen from the front
    ctx.new_path()
    poly(ctx, [(-46, 6), (46, 6), (40, 28), (-40, 28)])
    ctx.set_source(grad(0, 6, 0, 28, [(0, (60, 60, 72)), (1, (24, 24, 34))]))
    ctx.fill_preserve()
    ctx.set_source_rgb(*rgb((10, 10, 16)))
    ctx.set_line_width(2)
    ctx.stroke()
    ctx.new_path()
    ellipse(ctx, 0, 6, 46, 12)
    ctx.set_source(grad(0, -6, 0, 18, [(0, (120, 124, 140)), (1, (50, 52, 66))]))
    ctx.fill_preserve()
    ctx.set_source_rgb(*rgb((10, 10, 16)))
    ctx.stroke()
    # fire button
    ctx.new_path()
    ellipse(ctx, 28, 4, 8, 4)
    ctx.set_source(grad(0, 0, 0, 9, [(0, (255, 120, 100)), (1, (170, 20, 20))]))
    ctx.fill()
    ctx.new_path()
    ellipse(ctx, 28, 7, 8, 3)
    ctx.set_source_rgb(*rgb((110, 10, 10)))
    ctx.fill()
    ctx.new_path()
    ellipse(ctx, 28, 3.5, 7, 3.2)
    ctx.set_source(grad(0, 0, 0, 7, [(0, (255, 150, 130)), (1, (210, 30, 30))]))
    ctx.fill()
    # boot and shaft, tilted
    ctx.new_path()
    ellipse(ctx, -4, 5, 12, 5)
    ctx.set_source_rgb(*rgb((20, 20, 26)))
    ctx.fill()
    ctx.save()
    ctx.translate(-4, 5)
    ctx.rotate(math.radians(-16))
    ctx.new_path()
    ctx.rectangle(-3.2, -52, 6.4, 52)
    ctx.set_source(grad(-3.2, 0, 3.2, 0, [(0, (110, 110, 120)), (0.4, (240, 240, 250)),
                                         (1, (90, 90, 100))]))
    ctx.fill()
    # ball grip
    ctx.new_path()
    ctx.arc(0, -58, 13, 0, 2 * math.pi)
    ctx.set_source(radial(0, -58, 1, 13, [(0, (255, 190, 170)), (0.4, (240, 40, 40)),
                                          (1, (120, 8, 8))], fx=-4, fy=-63))
    ctx.fill_preserve()
    ctx.set_source_rgb(*rgb((50, 4, 4)))
    ctx.set_line_width(1.5)
    ctx.stroke()
    ctx.restore()
    ctx.restore()


def build_logo():
    w, h = LOGO_W, LOGO_H
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
    ctx = cairo.Context(surf)
    ocx, ocy, orx, ory = w / 2.0, 72.0, 118.0, 64.0
    # blue oval with a rim
    ctx.new_path()
    ellipse(ctx, ocx, ocy, orx, ory)
    ctx.set_source(radial(ocx, ocy - 20, 4, orx * 1.05, [(0, (90, 160, 255)), (0.55, (30, 80, 210)),
                                                         (1, (10, 30, 110))]))
    ctx.fill()
    ctx.new_path()
    ellipse(ctx, ocx, ocy, orx - 3, ory - 3)
    ctx.set_source_rgb(*rgb((200, 225, 255)))
    ctx.set_line_width(3)
    ctx.stroke()
    ctx.new_path()
    ellipse(ctx, ocx, ocy, orx, ory)
    ctx.set_source_rgb(*rgb((14, 24, 80)))
    ctx.set_line_width(2)
    ctx.stroke()
    # sparkle stars in the oval
    rnd = random.Random(77)
    ctx.save()
    ctx.new_path()
    ellipse(ctx, ocx, ocy, orx - 6, ory - 6)
    ctx.clip()
    for _ in range(28):
        x = rnd.uniform(ocx - orx, ocx + orx)
        y = rnd.uniform(ocy - ory, ocy + ory)
        ctx.new_path()
        ctx.arc(x, y, rnd.uniform(0.6, 1.4), 0, 7)
        ctx.set_source_rgba(1, 1, 1, rnd.uniform(0.4, 0.9))
        ctx.fill()
    # gloss
    ctx.new_path()
    ellipse(ctx, ocx, ocy - 30, orx * 0.8, ory * 0.42)
    ctx.set_source(grad(0, ocy - 58, 0, ocy - 4, [(0, (255, 255, 255), 0.35),
                                                  (1, (255, 255, 255), 0.0)]))
    ctx.fill()
    ctx.restore()
    draw_joystick(ctx, ocx + 4, ocy + 26, 1.0)
    # studio name
    fill = grad(0, 148, 0, 182, [(0, (255, 255, 255)), (0.5, (170, 210, 255)),
                                 (1, (70, 130, 255))])
    outlined_text(ctx, "MARROWFINCH", HEAVY, (40, 146, w - 80, 36), fill, (10, 20, 70), 2.5,
                  tracking=0.08, stretch=(0.8, 1.5), highlight=((255, 255, 255), 0.5, 1.0))
    fill = grad(0, 184, 0, 198, [(0, (255, 230, 120)), (1, (255, 160, 30))])
    outlined_text(ctx, "SOFTWORKS", BOLD, (120, 184, w - 240, 14), fill, (40, 20, 4), 1.3,
                  tracking=0.55, stretch=(0.8, 2.0))
    # tagline and address
    set_font(ctx, SANS, 12)
    tag = "Small ships, bright stars, loud buzzing."
    ext = ctx.text_extents(tag)
    ctx.move_to((w - ext[4]) / 2.0, 214)
    ctx.set_source_rgb(*rgb((200, 205, 220)))
    ctx.show_text(tag)
    set_font(ctx, SANS, 11)
    url = "www.marrowfinch.example.com"
    ext = ctx.text_extents(url)
    ctx.move_to((w - ext[4]) / 2.0, 230)
    ctx.set_source_rgb(*rgb((110, 190, 255)))
    ctx.show_text(url)
    return surface_to_rgb(surf, w, h)


# ---------------------------------------------------------------- contact sheet

def build_contact(sheet_px, frames, logo_px, path):
    zoom = 3
    margin = 8
    rows = []
    entries = IMAGES + EXTRA_CELLS
    # layout rows left to right, wrapping at a fixed width
    maxw = 1900
    x, y, rowh = margin, margin, 0
    placed = []
    for entry in entries:
        name, w, h, n = entry[:4]
        bw = max(n * (w * zoom + 6) + 6, 8 * len(name) + 90)
        bh = h * zoom + 30
        if x + bw > maxw:
            x, y = margin, y + rowh + margin
            rowh = 0
        placed.append((entry, x, y))
        x += bw + margin
        rowh = max(rowh, bh)
    y += rowh + margin
    logo_y = y
    total_h = logo_y + LOGO_H * 2 + 40
    surf = cairo.ImageSurface(cairo.FORMAT_RGB24, maxw, total_h)
    ctx = cairo.Context(surf)
    ctx.set_source_rgb(0.16, 0.16, 0.2)
    ctx.paint()
    set_font(ctx, SANS_BOLD, 13)
    for entry, x, y in placed:
        name, w, h, n = entry[:4]
        ctx.set_source_rgb(1, 1, 1)
        ctx.move_to(x, y + 14)
        ctx.show_text("%s  %dx%d x%d" % (name, w, h, n))
        for i in range(n):
            pix = frames[(entry[0], i)]
            fx = x + 6 + i * (w * zoom + 6)
            fy = y + 22
            img = cairo.ImageSurface(cairo.FORMAT_RGB24, w, h)
            buf = img.get_data()
            st = img.get_stride()
            for yy in range(h):
                for xx in range(w):
                    r, g, b = pix[yy * w + xx]
                    o = yy * st + xx * 4
                    buf[o:o + 4] = bytes((b, g, r, 255))
            img.mark_dirty()
            ctx.save()
            ctx.translate(fx, fy)
            ctx.scale(zoom, zoom)
            ctx.set_source_surface(img, 0, 0)
            ctx.get_source().set_filter(cairo.FILTER_NEAREST)
            ctx.paint()
            ctx.restore()
    # the logo at 2x and, beside it, the whole sheet at 1x
    logo = rgb_surface(logo_px, LOGO_W, LOGO_H)
    ctx.set_source_rgb(1, 1, 1)
    ctx.move_to(margin, logo_y + 14)
    ctx.show_text("logo.png 420x236 (2x)")
    ctx.save()
    ctx.translate(margin, logo_y + 22)
    ctx.scale(2, 2)
    ctx.set_source_surface(logo, 0, 0)
    ctx.get_source().set_filter(cairo.FILTER_NEAREST)
    ctx.paint()
    ctx.restore()
    sheet = rgb_surface(sheet_px, SHEET_W, SHEET_H)
    sx = margin + LOGO_W * 2 + 30
    ctx.set_source_rgb(1, 1, 1)
    ctx.move_to(sx, logo_y + 14)
    ctx.show_text("sheet.png 637x423 (1x)")
    ctx.set_source_surface(sheet, sx, logo_y + 22)
    ctx.paint()
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    surf.write_to_png(path)


def frame_surface(pix, w, h):
    """An ARGB surface of one frame with pure black transparent, as in the game."""
    img = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
    buf = img.get_data()
    st = img.get_stride()
    for yy in range(h):
        for xx in range(w):
            r, g, b = pix[yy * w + xx]
            o = yy * st + xx * 4
            buf[o:o + 4] = bytes((b, g, r, 255)) if (r, g, b) != (0, 0, 0) else b"\0\0\0\0"
    img.mark_dirty()
    return img



def rgb_surface(px, w, h):
    """A cairo surface holding packed RGB bytes, for showing a finished picture."""
    surf = cairo.ImageSurface(cairo.FORMAT_RGB24, w, h)
    buf = surf.get_data()
    st = surf.get_stride()
    for yy in range(h):
        for xx in range(w):
            i = (yy * w + xx) * 3
            buf[yy * st + xx * 4: yy * st + xx * 4 + 4] = bytes((px[i + 2], px[i + 1], px[i], 255))
    surf.mark_dirty()
    return surf

def build_mock(frames, path):
    """A made-up moment of play, drawn the way the game draws (nearest-neighbour,
    scaled and rotated about the handle), to judge the sprites at their real sizes."""
    sizes = {e[0]: (e[1], e[2]) for e in IMAGES + EXTRA_CELLS}
    surfs = {k: frame_surface(v, *sizes[k[0]]) for k, v in frames.items()}
    surf = cairo.ImageSurface(cairo.FORMAT_RGB24, 640, 480)
    ctx = cairo.Context(surf)
    ctx.set_source_rgb(0, 0, 8 / 255.0)
    ctx.paint()
    rnd = random.Random(5)
    for _ in range(300):
        v = rnd.choice((90, 160, 255))
        ctx.set_source_rgb(v / 255.0, v / 255.0, v / 255.0)
        ctx.rectangle(int(rnd.uniform(80, 560)), int(rnd.uniform(0, 480)), 1, 1)
        ctx.fill()

    def draw(name, f, x, y, sc=1.0, rot=0.0, alpha=1.0, centre=True):
        w, h = sizes[name]
        ctx.save()
        ctx.translate(x, y)
        ctx.rotate(math.radians(rot))
        ctx.scale(sc, sc)
        if centre:
            ctx.translate(-w / 2.0, -h / 2.0)
        ctx.set_source_surface(surfs[(name, f)], 0, 0)
        ctx.get_source().set_filter(cairo.FILTER_NEAREST)
        ctx.paint_with_alpha(alpha)
        ctx.restore()

    for i, fx in enumerate((80, 278, 478)):
        draw("labelimg", i, fx, 0, centre=False)
    for i, d in enumerate("12575"):
        draw("digitimg", int(d), 80 + 17 * i, 22, centre=False)
    for i, d in enumerate("24800"):
        draw("digitimg", int(d), 320 - 8 * 5 + 17 * i, 22, centre=False)
    for i, d in enumerate("07"):
        draw("digitimg", int(d), 560 - 32 + 17 * i, 22, centre=False)
    for i, sc in enumerate((0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9)):
        draw("beeimg", i % 3, 120 + 55 * i, 90 + 10 * (i % 2), sc, rot=(i * 25) % 360 - 60)
    draw("beeimg", 1, 200, 190, 0.9, rot=160)
    draw("beeimg", 0, 420, 170, 0.6, rot=-20)
    draw("beeshotimg", 0, 300, 250, rot=30)
    draw("beeshotimg", 0, 330, 280, rot=75)
    for i in range(6):
        draw("splatimg", i + 1, 110 + 70 * i, 330, 1.0 + i * 0.08, rot=i * 30, alpha=1 - i * 0.1)
    draw("ptsimg", 3, 460, 240)
    draw("ptsimg", 6, 150, 250)
    draw("shotimg", 0, 320, 340)
    draw("shotimg", 0, 320, 300, alpha=0.5)
    draw("shipimg", 2, 320, 400)
    ctx.set_source_rgb(0, 0, 0)
    ctx.rectangle(0, 0, 80, 480)
    ctx.rectangle(560, 0, 80, 480)
    ctx.fill()
    surf.write_to_png(path)


def check_fonts():
    for pattern, pkg in REQUIRED_FONTS.items():
        try:
            out = subprocess.run(["fc-match", "-f", "%{family}", pattern], capture_output=True,
                                 text=True, check=True).stdout
        except (OSError, subprocess.CalledProcessError):
            raise SystemExit("artgen: fc-match failed; apt-get install fontconfig")
        family = pattern.split(":")[0]
        if family.split()[0] not in out and not family.startswith(out.split(",")[0]):
            raise SystemExit("artgen: font %r missing; apt-get install %s" % (pattern, pkg))


def main(argv):
    check_fonts()
    sheet_px, frames = build_sheet()
    logo_px = build_logo()
    contact = None
    if "--contact" in argv:
        contact = argv[argv.index("--contact") + 1]
    if "--no-write" not in argv:
        for path, w, h, px in ((SHEET_OUT, SHEET_W, SHEET_H, sheet_px),
                               (LOGO_OUT, LOGO_W, LOGO_H, logo_px)):
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(png_bytes(w, h, px))
            print("wrote", os.path.relpath(path, ROOT))
    if contact:
        build_contact(sheet_px, frames, logo_px, contact)
        print("wrote", contact)
        mock = os.path.join(os.path.dirname(contact) or ".", "mock.png")
        build_mock(frames, mock)
        print("wrote", mock)


if __name__ == "__main__":
    main(sys.argv[1:])
