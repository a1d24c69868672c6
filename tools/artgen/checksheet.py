#!/usr/bin/env python3
"""Checks the layout of the game's two built-in pictures.

    python3 tools/artgen/checksheet.py src/assets/sheet.png src/assets/logo.png

Verifies: the sizes (sheet 637x423, logo 420x236); 8-bit RGB without alpha,
not interlaced; every frame rectangle of every image lies inside the sheet,
holds no fence pixel (190, 27, 1) and shows something (a pixel that is not
pure black); the sprites have no near-black pixel that a 16-bit back buffer
would store as black; the fence lines run just outside every frame; the ship's
frame 0 has flame pixels on its last row; the logo is not empty.  Uses only the standard library.  Exits 1 with a message per fault.
"""
import struct
import sys
import zlib

from cells import SPARE_CELLS, game_cells

SHEET_SIZE = (637, 423)
LOGO_SIZE = (420, 236)
FENCE = (190, 27, 1)

# name: (width, height, frames, x of frame 0, y), as the game cuts them.
IMAGES = game_cells()

# Sprites whose pixels are never so dark that a 16-bit (5-6-5) back buffer
# stores them as black: only pure black may turn transparent in them.
NO_FAINT = {"shipimg", "beeimg", "splatimg", "ptsimg", "shotimg", "beeshotimg"}

# Corners (inclusive) that the game's cutting depends on.
KNOWN_CORNERS = [
    ("shipimg", 3, (112, 1), (147, 58)),
    ("splatimg", 6, (373, 261), (433, 305)),
    ("digitimg", 9, (376, 1), (391, 16)),
]


class PngError(Exception):
    pass


def read_png(path):
    """Returns (width, height, rows of RGB tuples) of an 8-bit RGB PNG."""
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as e:
        raise PngError("%s: cannot read: %s" % (path, e.strerror))
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise PngError("%s: not a PNG file" % path)
    pos, ihdr, idat = 8, None, []
    while pos + 8 <= len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        if len(body) != length:
            raise PngError("%s: truncated %s chunk" % (path, kind.decode("latin-1")))
        if kind == b"IHDR":
            ihdr = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat.append(body)
        elif kind == b"IEND":
            break
        pos += 12 + length
    if ihdr is None:
        raise PngError("%s: no IHDR chunk" % path)
    w, h, depth, ctype, _, _, interlace = ihdr
    problems = []
    if depth != 8:
        problems.append("bit depth %d, want 8" % depth)
    if ctype != 2:
        problems.append("colour type %d, want 2 (RGB without alpha)" % ctype)
    if interlace != 0:
        problems.append("interlaced, want non-interlaced")
    if problems:
        raise PngError("%s: %s" % (path, "; ".join(problems)))
    try:
        raw = zlib.decompress(b"".join(idat))
    except zlib.error as e:
        raise PngError("%s: broken image data: %s" % (path, e))
    stride = w * 3
    if len(raw) != h * (stride + 1):
        raise PngError("%s: image data has %d bytes, want %d" % (path, len(raw), h * (stride + 1)))
    rows, prev = [], bytearray(stride)
    for y in range(h):
        ft = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 3] if i >= 3 else 0
            b = prev[i]
            c = prev[i - 3] if i >= 3 else 0
            if ft == 0:
                pass
            elif ft == 1:
                line[i] = (line[i] + a) & 255
            elif ft == 2:
                line[i] = (line[i] + b) & 255
            elif ft == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif ft == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pred) & 255
            else:
                raise PngError("%s: bad filter type %d in row %d" % (path, ft, y))
        rows.append([tuple(line[x * 3:x * 3 + 3]) for x in range(w)])
        prev = line
    return w, h, rows


def frame_rect(name, i):
    w, h, _, x0, y0 = IMAGES[name] if name in IMAGES else SPARE_CELLS[name]
    return x0 + i * (w + 1), y0, w, h


def check_sheet(path):
    faults = []
    w, h, rows = read_png(path)
    if (w, h) != SHEET_SIZE:
        return ["%s: size %dx%d, want %dx%d" % ((path, w, h) + SHEET_SIZE)]
    for name, i, top_left, bottom_right in KNOWN_CORNERS:
        x, y, fw, fh = frame_rect(name, i)
        if (x, y) != top_left or (x + fw - 1, y + fh - 1) != bottom_right:
            faults.append("%s frame %d: table puts it at (%d,%d)..(%d,%d), want %s..%s"
                          % (name, i, x, y, x + fw - 1, y + fh - 1, top_left, bottom_right))
    for name, (fw, fh, n, _, _) in list(IMAGES.items()) + list(SPARE_CELLS.items()):
        for i in range(n):
            x, y, _, _ = frame_rect(name, i)
            where = "%s frame %d at (%d,%d)..(%d,%d)" % (name, i, x, y, x + fw - 1, y + fh - 1)
            if x < 0 or y < 0 or x + fw > w or y + fh > h:
                faults.append("%s: outside the %dx%d sheet" % (where, w, h))
                continue
            fence_at, lit, faint = None, 0, None
            for yy in range(y, y + fh):
                for xx in range(x, x + fw):
                    p = rows[yy][xx]
                    if p == FENCE and fence_at is None:
                        fence_at = (xx, yy)
                    if p != (0, 0, 0):
                        lit += 1
                        if faint is None and p[0] < 8 and p[1] < 4 and p[2] < 8:
                            faint = ((xx, yy), p)
            if fence_at:
                faults.append("%s: fence colour %s inside, at %s" % (where, FENCE, fence_at))
            if faint and name in NO_FAINT:
                faults.append("%s: pixel %s at %s is so dark a 16-bit buffer makes it black"
                              % (where, faint[1], faint[0]))
            if lit == 0:
                faults.append("%s: frame is empty (all pure black)" % where)
            # The fence runs just outside the frame on all four sides.
            ring = [(xx, yy) for xx in range(x - 1, x + fw + 1) for yy in (y - 1, y + fh)]
            ring += [(xx, yy) for yy in range(y, y + fh) for xx in (x - 1, x + fw)]
            bad = [p for p in ring if 0 <= p[0] < w and 0 <= p[1] < h and rows[p[1]][p[0]] != FENCE]
            if bad:
                faults.append("%s: fence missing just outside, e.g. at %s" % (where, bad[0]))
    # The ship's whole frame 0 is its hit area, so its flames, the longest of
    # the four frames, reach the frame's last row.
    x, y, fw, fh = frame_rect("shipimg", 0)
    if all(rows[y + fh - 1][xx] == (0, 0, 0) for xx in range(x, x + fw)):
        faults.append("shipimg frame 0: no flame pixel on its last row")
    return faults


def check_logo(path):
    w, h, rows = read_png(path)
    if (w, h) != LOGO_SIZE:
        return ["%s: size %dx%d, want %dx%d" % ((path, w, h) + LOGO_SIZE)]
    if all(p == (0, 0, 0) for r in rows for p in r):
        return ["%s: logo is empty (all pure black)" % path]
    return []


def main(argv):
    if len(argv) != 2:
        print("usage: checksheet.py SHEET.png LOGO.png", file=sys.stderr)
        return 2
    faults = []
    for fn, path in ((check_sheet, argv[0]), (check_logo, argv[1])):
        try:
            faults += fn(path)
        except PngError as e:
            faults.append(str(e))
    for f in faults:
        print("checksheet: " + f, file=sys.stderr)
    if faults:
        print("checksheet: %d fault(s)" % len(faults), file=sys.stderr)
        return 1
    print("checksheet: %s and %s are laid out correctly" % (argv[0], argv[1]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
