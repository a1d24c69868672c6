#!/usr/bin/python3
"""Draws Vexaloid's application icons from the game's own ship and bee.

    /usr/bin/python3 tools/artgen/icongen.py            # desktop/icons/NN.png
    /usr/bin/python3 tools/artgen/icongen.py --sample build-art/icons.png

Every size is drawn for itself: from 48 px up the ship of the sprite sheet
climbs past a bee on a night-sky tile; at 32 px the bee goes; at 16 px the
ship is redrawn as a bold silhouette (pale delta, red stripe, canopy, two
flames) so it still reads as a ship. RGBA, the same bytes on every run.
"""
import os
import random
import sys

import cairo

import artgen
from artgen import ellipse, grad, poly, radial, rgb, rounded_rect

OUT = os.path.join(artgen.ROOT, "desktop", "icons")
SIZES = (16, 32, 48, 64, 128, 256)
SHIP_W, SHIP_H = 36, 58
BEE_W, BEE_H = 61, 43


def tile(ctx, s):
    """The night-sky tile: a rounded square, a faint glow, a few stars."""
    r = s * 0.18
    rounded_rect(ctx, 0.5, 0.5, s - 1, s - 1, r)
    ctx.set_source(grad(0, 0, 0, s, [(0, (22, 24, 70)), (1, (4, 4, 22))]))
    ctx.fill_preserve()
    ctx.set_source_rgba(*rgb((120, 140, 255)), 0.5)
    ctx.set_line_width(max(1.0, s / 48.0))
    ctx.stroke()
    rng = random.Random(7)
    ctx.save()
    rounded_rect(ctx, 1, 1, s - 2, s - 2, r)
    ctx.clip()
    for _ in range(int(s * 0.25)):
        x, y = rng.uniform(0, s), rng.uniform(0, s)
        ctx.new_path()
        ctx.arc(x, y, max(0.5, s / 200.0) * rng.uniform(0.6, 1.4), 0, 6.2832)
        ctx.set_source_rgba(0.7, 0.85, 1.0, rng.uniform(0.35, 0.9))
        ctx.fill()
    ctx.restore()


def sprite(ctx, fn, w, h, frame, x, y, scale):
    """One frame of a sheet sprite, drawn as vectors at any scale."""
    ctx.save()
    ctx.translate(x, y)
    ctx.scale(scale, scale)
    fn(ctx, w, h, frame)
    ctx.restore()


def large(ctx, s):
    tile(ctx, s)
    # The bee, top right, a little turned toward the ship.
    bs = s * 0.42 / BEE_W
    ctx.save()
    ctx.translate(s * 0.74, s * 0.27)
    ctx.rotate(0.35)
    sprite(ctx, artgen.draw_bee, BEE_W, BEE_H, 0, -BEE_W * bs / 2, -BEE_H * bs / 2, bs)
    ctx.restore()
    ss = s * 0.80 / SHIP_H
    sprite(ctx, artgen.draw_ship, SHIP_W, SHIP_H, 1, s * 0.40 - SHIP_W * ss / 2, s * 0.15, ss)


def medium(ctx, s):
    tile(ctx, s)
    ss = s * 0.86 / SHIP_H
    sprite(ctx, artgen.draw_ship, SHIP_W, SHIP_H, 1, s / 2 - SHIP_W * ss / 2, s * 0.06, ss)


def small(ctx, s):
    """16 px: the ship as a bold pixel silhouette in the sprite's colours."""
    tile(ctx, s)
    ctx.set_antialias(cairo.ANTIALIAS_NONE)
    k = s / 16.0

    def box(x, y, w, h, col):
        ctx.rectangle(x * k, y * k, w * k, h * k)
        ctx.set_source_rgb(*rgb(col))
        ctx.fill()

    # Flames.
    box(5, 13, 2, 2, (255, 170, 40))
    box(9, 13, 2, 2, (255, 170, 40))
    # Wings: a stepped delta.
    wing = (205, 220, 240)
    for row, (x0, x1) in enumerate(((6, 10), (5, 11), (4, 12), (3, 13), (2, 14), (2, 14))):
        box(x0, 7 + row, x1 - x0, 1, wing)
    box(2, 11, 2, 1, (240, 60, 50))
    box(12, 11, 2, 1, (240, 60, 50))
    # Fuselage with its red stripe and the purple canopy.
    box(7, 2, 2, 11, (235, 242, 255))
    box(6, 5, 4, 7, (200, 212, 235))
    box(7, 8, 2, 5, (220, 35, 40))
    box(7, 4, 2, 3, (160, 80, 230))


def icon(s):
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, s, s)
    ctx = cairo.Context(surf)
    (small if s < 32 else medium if s < 48 else large)(ctx, s)
    surf.flush()
    return surf


def main(argv):
    surfaces = {s: icon(s) for s in SIZES}
    if "--sample" in argv:
        path = argv[argv.index("--sample") + 1]
        os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
        # Each size at its own size and at 4x, on a mid grey and a white strip.
        w = sum(s for s in SIZES) + 10 * len(SIZES) + sum(s * 4 for s in SIZES[:3]) + 40
        h = 256 + 20
        sheet = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
        c = cairo.Context(sheet)
        c.set_source_rgb(0.5, 0.5, 0.5)
        c.paint()
        x = 10
        for s in SIZES:
            c.set_source_surface(surfaces[s], x, 10)
            c.paint()
            x += s + 10
        for s in SIZES[:3]:
            c.save()
            c.translate(x, 10)
            c.scale(4, 4)
            pat = cairo.SurfacePattern(surfaces[s])
            pat.set_filter(cairo.FILTER_NEAREST)
            c.set_source(pat)
            c.paint()
            c.restore()
            x += s * 4 + 10
        sheet.write_to_png(path)
        print("wrote", path)
    if "--no-write" not in argv:
        os.makedirs(OUT, exist_ok=True)
        for s, surf in surfaces.items():
            path = os.path.join(OUT, "%d.png" % s)
            surf.write_to_png(path)
            print("wrote", os.path.relpath(path, artgen.ROOT))


if __name__ == "__main__":
    main(sys.argv[1:])
