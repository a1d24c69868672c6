"""The sprite sheet's cells, shared by the art generator and the sheet check.

The game's own table, kSheetCells in src/assets/assets.cpp, is the one source
of the cells the game cuts; this module reads it from there, so the game, the
generator and the check cannot disagree.  Standard library only.
"""
import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))
GAME_TABLE = os.path.normpath(os.path.join(HERE, "..", "..", "src", "assets", "assets.cpp"))

_ROW = re.compile(r'\{&Images::(\w+),\s*"(\w+)",\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+),'
                  r'\s*(true|false)\}')


def game_cells(path=GAME_TABLE):
    """name: (width, height, frames, x of frame 0, y), in the game's order;
    frame i lies i*(width+1) to the right of frame 0."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    start = text.find("kSheetCells[")
    end = text.find("};", start)
    rows = _ROW.findall(text[start:end]) if start >= 0 and end >= 0 else []
    cells = {}
    for slot, name, w, h, n, x, y, _ in rows:
        if slot != name:
            raise SystemExit("%s: slot %s is named %r" % (path, slot, name))
        cells[name] = (int(w), int(h), int(n), int(x), int(y))
    if len(cells) != 15:
        raise SystemExit("%s: read %d of the 15 rows of kSheetCells" % (path, len(cells)))
    return cells


# Cells the game never cuts, drawn all the same: spare bolts, spare balls, a
# credits line.
SPARE_CELLS = {
    "blue bolts": (7, 26, 2, 159, 1),
    "spare balls": (10, 10, 3, 188, 1),
    "credits line": (404, 12, 1, 230, 242),
}
