#!/usr/bin/python3
"""Builds src/platform/font8x16.cpp, the game's built-in 8x16 text font.

The glyphs come from the Terminus Font 8x16 console font that Debian ships in
the console-setup-linux package (SIL Open Font License 1.1, see
src/platform/FONT-LICENSE.md).  Codes 32..126 are looked up through the
font's Unicode table; code 127 gets a small house glyph (U+2302) when the font
has one.

    /usr/bin/python3 tools/artgen/fontgen.py            # writes the .cpp
    /usr/bin/python3 tools/artgen/fontgen.py --sample build-art/font.png
"""
import gzip
import os
import shutil
import struct
import subprocess
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
FONTFILE = "/usr/share/consolefonts/Lat15-Terminus16.psf.gz"
OUT = os.path.join(ROOT, "src", "platform", "font8x16.cpp")


# Our own glyph for code 127 when the font has no U+2302: a small house.
HOUSE = [0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x28, 0x44, 0x82, 0x82, 0x82, 0x82, 0xfe, 0x00,
         0x00, 0x00]


def read_psf(path):
    """Returns (glyph rows list, {codepoint: glyph index}, width, height)."""
    data = gzip.open(path).read()
    if data[:4] == b"\x72\xb5\x4a\x86":
        _, hsize, flags, count, csize, height, width = struct.unpack("<7I", data[4:32])
        pos = hsize
        glyphs = [data[pos + i * csize: pos + (i + 1) * csize] for i in range(count)]
        pos += count * csize
        umap = {}
        if flags & 1:
            # UTF-8 sequences separated by 0xFE (sequence start) and 0xFF (end of glyph).
            for idx in range(count):
                end = data.index(b"\xff", pos)
                entry = data[pos:end]
                pos = end + 1
                single = entry.split(b"\xfe")[0]
                for ch in single.decode("utf-8"):
                    umap.setdefault(ord(ch), idx)
        return glyphs, umap, width, height
    if data[:2] == b"\x36\x04":
        mode, csize = data[2], data[3]
        count = 512 if mode & 1 else 256
        glyphs = [data[4 + i * csize: 4 + (i + 1) * csize] for i in range(count)]
        pos = 4 + count * csize
        umap = {}
        if mode & 6:
            for idx in range(count):
                while True:
                    (u,) = struct.unpack("<H", data[pos:pos + 2])
                    pos += 2
                    if u == 0xFFFF:
                        break
                    if u != 0xFFFE:
                        umap.setdefault(u, idx)
        return glyphs, umap, 8, csize
    raise SystemExit("%s: not a PSF console font" % path)


def build_table(path=FONTFILE):
    if not os.path.exists(path):
        raise SystemExit("missing %s: apt-get install console-setup-linux" % path)
    glyphs, umap, width, height = read_psf(path)
    if width != 8 or height != 16:
        raise SystemExit("%s: glyphs are %dx%d, need 8x16" % (path, width, height))
    table = []
    for code in range(32, 128):
        cp = 0x2302 if code == 127 else code
        if cp in umap:
            table.append(list(glyphs[umap[cp]][:16]))
        elif code == 127:
            table.append(list(HOUSE))
        else:
            raise SystemExit("%s: no glyph for code %d" % (path, code))
    return table


def write_cpp(table, out=OUT):
    lines = [
        "// The built-in 8x16 text font for the character codes 32 to 127, one byte a row,",
        "// leftmost pixel in the high bit. Glyphs from Terminus Font (SIL Open Font",
        "// License 1.1, see FONT-LICENSE.md); made by tools/artgen/fontgen.py.",
        '#include "platform/draw.h"',
        "",
        "namespace vx {",
        "",
        "const uint8_t kFont8x16[96][16] = {",
    ]
    for i, rows in enumerate(table):
        code = 32 + i
        name = "DEL" if code == 127 else ("backslash" if code == 92 else "'%s'" % chr(code))
        body = ", ".join("0x%02x" % b for b in rows)
        lines.append("    // %d %s" % (code, name))
        lines.append("    {%s}," % body)
    lines += ["};", "", "}  // namespace vx", ""]
    with open(out, "w") as f:
        f.write("\n".join(lines))
    # Keep the file in the repository's C++ style when clang-format is present.
    fmt = shutil.which("clang-format")
    if fmt:
        subprocess.run([fmt, "-i", "--style=file", out], cwd=ROOT, check=True)


def png_bytes(w, h, rgb_rows):
    raw = b"".join(b"\x00" + bytes(r) for r in rgb_rows)

    def chunk(kind, body):
        c = struct.pack(">I", len(body)) + kind + body
        return c + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def sample(table, path, zoom=3):
    lines = ["".join(chr(c) for c in range(32, 64)), "".join(chr(c) for c in range(64, 96)),
             "".join(chr(c) for c in range(96, 128)), "",
             "** Paused **", "F2=Adjust Music Volume:(100%)", "x2",
             "Score 012345  The quick brown fox jumps over the lazy dog."]
    cols = max(len(s) for s in lines) + 2
    w, h = cols * 8, (len(lines) + 2) * 16
    px = [[(0, 0, 8)] * w for _ in range(h)]
    colours = [(255, 255, 255), (255, 255, 255), (255, 255, 255), (0, 0, 0),
               (255, 255, 0), (0, 255, 0), (255, 255, 255), (120, 200, 255)]
    for li, s in enumerate(lines):
        for ci, ch in enumerate(s):
            g = table[ord(ch) - 32]
            for v in range(16):
                for u in range(8):
                    if g[v] & (0x80 >> u):
                        px[(li + 1) * 16 + v][(ci + 1) * 8 + u] = colours[li]
    rows = []
    for r in px:
        row = []
        for p in r:
            row += list(p) * zoom
        for _ in range(zoom):
            rows.append(row)
    with open(path, "wb") as f:
        f.write(png_bytes(w * zoom, h * zoom, rows))


def main(argv):
    table = build_table()
    if "--sample" in argv:
        out = argv[argv.index("--sample") + 1]
        os.makedirs(os.path.dirname(out) or ".", exist_ok=True)
        sample(table, out)
        print("wrote", out)
    else:
        write_cpp(table)
        print("wrote", OUT)


if __name__ == "__main__":
    main(sys.argv[1:])
