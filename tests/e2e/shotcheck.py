#!/usr/bin/env python3
"""Checks what a screenshot of the game shows by colour signatures.

The 640x480 picture is scaled by a whole multiple and centred on the screen;
every region below is in picture pixels and is sampled once per picture pixel.

    shotcheck.py SHOT.png splash|title|paused|blank
    shotcheck.py SHOT.png ship X Y
    shotcheck.py SHOT.png count yellow|white X0 Y0 X1 Y1   (prints count:digest)

Exits 0 when the signature is there, 1 (with the counts) when it is not.
"""
import subprocess
import sys
import zlib


def load(path):
    ppm = subprocess.run(["convert", path, "ppm:-"], check=True, capture_output=True).stdout
    # P6\nW H\n255\n then the pixels (ImageMagick writes no comments here).
    fields, pos = [], 0
    while len(fields) < 4:
        while ppm[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not ppm[end:end + 1].isspace():
            end += 1
        fields.append(ppm[pos:end])
        pos = end
    w, h = int(fields[1]), int(fields[2])
    return w, h, ppm[pos + 1:]


class Picture:
    def __init__(self, path):
        self.w, self.h, self.px = load(path)
        k = min(self.w // 640, self.h // 480)
        if k < 1:
            sys.exit(f"{path}: screen {self.w}x{self.h} is smaller than the picture")
        self.k = k
        self.ox = (self.w - 640 * k) // 2
        self.oy = (self.h - 480 * k) // 2

    def rgb(self, x, y):
        # The centre of the picture pixel's k-by-k block.
        sx = self.ox + x * self.k + self.k // 2
        sy = self.oy + y * self.k + self.k // 2
        i = (sy * self.w + sx) * 3
        return self.px[i], self.px[i + 1], self.px[i + 2]

    def count(self, test, x0, y0, x1, y1):
        return sum(1 for y in range(max(0, y0), min(480, y1)) for x in range(max(0, x0), min(640, x1))
                   if test(*self.rgb(x, y)))


def blue(r, g, b):
    return b > 150 and r < 120 and b > g + 30


def warm(r, g, b):
    return r > 170 and b < 110 and r + g > 300


def yellow(r, g, b):
    return r > 200 and g > 200 and b < 90


def white(r, g, b):
    return r > 200 and g > 200 and b > 200


def bright(r, g, b):
    return r + g + b > 240


def dark(r, g, b):
    return r + g + b < 40


COLOURS = {"yellow": yellow, "white": white, "blue": blue, "warm": warm, "bright": bright}


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    pic, what, args = Picture(sys.argv[1]), sys.argv[2], [int(a) for a in sys.argv[4 if sys.argv[2] == "count" else 3:]]
    if what == "count":
        # The count and a digest of where the pixels are, so that two texts of
        # the same ink ("(50%)", "(60%)") still differ.
        test = COLOURS[sys.argv[3]]
        x0, y0, x1, y1 = args
        where = [(x, y) for y in range(y0, y1) for x in range(x0, x1) if test(*pic.rgb(x, y))]
        print(f"{len(where)}:{zlib.crc32(repr(where).encode()):08x}")
        return 0
    checks = {
        # The logo's blue dish and the maker's name under it.
        "splash": [("blue dish", blue, (200, 110, 440, 245), 6000)],
        # The title lettering, warm orange to green-yellow.
        "title": [("title lettering", warm, (140, 55, 500, 185), 4000)],
        # "** Paused **" in white and the two volume lines in yellow.
        "paused": [("pause line", white, (260, 180, 380, 196), 100),
                   ("volume lines", yellow, (120, 210, 520, 246), 600)],
        # The one-second blank frame of F1: nothing but the clear colour.
        "blank": [("not dark", lambda r, g, b: not dark(r, g, b), (0, 0, 640, 480), -1)],
    }
    if what == "ship":
        x, y = args
        # The ship (scaled to 32x41) against the sparse stars around it.
        checks["ship"] = [("ship", bright, (x - 16, y - 20, x + 16, y + 20), 180)]
    if what not in checks:
        sys.exit(f"unknown check {what}")
    ok = True
    for name, test, box, least in checks[what]:
        n = pic.count(test, *box)
        good = n >= least if least >= 0 else n == 0
        print(f"{what}: {name} {n} pixels (want {'>= ' + str(least) if least >= 0 else 'none'})")
        ok = ok and good
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
