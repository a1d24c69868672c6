#!/usr/bin/env python3
"""Checks screenshots of the game on a Wayland compositor, in physical pixels.

    wlcheck.py SHOT.png fullscreen K X Y   the playfield's dark blue fills exactly
                                           480K x 480K pixels at (X, Y), in K x K
                                           blocks, and nothing else is lit
    wlcheck.py SHOT.png windowed K         the playfield is 480K x 480K pixels in
                                           K x K blocks, and the whole picture
                                           (with its side bars) is on the screen
    wlcheck.py SHOT.png ship X Y           the ship stands at picture pixel (X, Y)
                                           of a full-screen picture, give or take
                                           three pixels (a star beside the ship
                                           widens its outline)

Exits 0 when the check holds, 1 (with what was found) when it does not.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from shotcheck import Picture, load  # noqa: E402

DARKBLUE = b"\x00\x00\x08"  # the clear colour behind the playfield


def playfield(w, h, px):
    """The bounding box of the dark blue pixels: (x, y, width, height)."""
    x0, y0, x1, y1 = w, h, -1, -1
    for y in range(h):
        row = px[y * w * 3:(y + 1) * w * 3]
        first = row.find(DARKBLUE)
        while first >= 0 and first % 3:
            first = row.find(DARKBLUE, first + 1)
        if first < 0:
            continue
        last = row.rfind(DARKBLUE)
        while last % 3:
            last = row.rfind(DARKBLUE, 0, last + 2)
        x0, x1 = min(x0, first // 3), max(x1, last // 3)
        y0, y1 = min(y0, y), max(y1, y)
    return (x0, y0, x1 - x0 + 1, y1 - y0 + 1) if x1 >= 0 else (0, 0, 0, 0)


def blocky(w, px, box, k):
    """True when every k x k block of the box, from its corner, is one colour."""
    x, y, bw, bh = box
    for by in range(y, y + bh, k):
        top = px[(by * w + x) * 3:(by * w + x + bw) * 3]
        for j in range(1, k):
            if px[((by + j) * w + x) * 3:((by + j) * w + x + bw) * 3] != top:
                return False
        for i in range(0, bw * 3, k * 3):
            if top[i:i + k * 3] != top[i:i + 3] * k:
                return False
    return True


def litoutside(w, h, px, box):
    """Pixels that are not black outside the box."""
    x, y, bw, bh = box
    lit = 0
    for r in range(h):
        row = px[r * w * 3:(r + 1) * w * 3]
        parts = [row] if r < y or r >= y + bh else [row[:x * 3], row[(x + bw) * 3:]]
        lit += sum(len(p) - p.count(0) for p in parts)
    return lit


def findship(pic, ex, ey):
    """The centre of the ship near (ex, ey): the middle of the largest patch of
    lit pixels there (stars and small bees make smaller ones)."""
    x0, x1, y0, y1 = max(80, ex - 45), min(560, ex + 45), max(0, ey - 45), min(480, ey + 45)
    lit = {(x, y) for y in range(y0, y1) for x in range(x0, x1) if sum(pic.rgb(x, y)) > 60}
    best = []
    while lit:
        patch, todo = [], [lit.pop()]
        while todo:
            x, y = todo.pop()
            patch.append((x, y))
            for n in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
                if n in lit:
                    lit.remove(n)
                    todo.append(n)
        if len(patch) > len(best):
            best = patch
    if len(best) < 300:
        return None
    xs, ys = [x for x, _ in best], [y for _, y in best]
    return (min(xs) + max(xs)) // 2, (min(ys) + max(ys)) // 2, max(ys) >= 479


def near(at, ex, ey):
    """Within 3 pixels; a ship cut by the picture's bottom edge (its flames
    reach 28 rows below its centre) has its middle pulled up, so allow 6 there."""
    return abs(at[0] - ex) <= 3 and abs(at[1] - ey) <= (6 if at[2] else 3)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    path, what, args = sys.argv[1], sys.argv[2], [int(a) for a in sys.argv[3:]]
    if what == "ship":
        ex, ey = args
        at = findship(Picture(path), ex, ey)
        print(f"ship at {at[:2] if at else None}, want ({ex}, {ey})")
        return 0 if at and near(at, ex, ey) else 1
    w, h, px = load(path)
    k = args[0]
    box = playfield(w, h, px)
    sharp = box[2] > 0 and blocky(w, px, box, k)
    print(f"screen {w}x{h}: playfield {box[2]}x{box[3]} at ({box[0]}, {box[1]}),"
          f" {'sharp' if sharp else 'not sharp'} at {k}x")
    ok = box[2] == 480 * k and box[3] == 480 * k and sharp
    if what == "fullscreen":
        lit = litoutside(w, h, px, box)
        print(f"lit pixels outside it: {lit}")
        ok = ok and (box[0], box[1]) == (args[1], args[2]) and lit == 0
    elif what == "windowed":
        # The side bars are 80 picture pixels either side; the picture is 480 high.
        ok = ok and box[0] - 80 * k >= 0 and box[0] + box[2] + 80 * k <= w and box[1] >= 0 \
            and box[1] + box[3] <= h
    else:
        sys.exit(f"unknown check {what}")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
