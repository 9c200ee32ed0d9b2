#!/usr/bin/python3
"""Writes the sample drawings of this folder and what Acquire shows of them.

Needs Debian's python3-ezdxf (0.18). Run from anywhere:
    /usr/bin/python3 samples/make_samples.py            (into this folder)
    /usr/bin/python3 samples/make_samples.py --out DIR  (elsewhere)

For each sample it writes <name>.dxf, and <name>.expected.tsv: the sheet's
data cells after an Acquire of the selection window given in README.md with
the default excluded layers ("HOJO*,JOGAI*", filter on), rows top to bottom,
cells separated by TAB, each row ended by CR LF, UTF-8. table_in_context also
gets <name>.unfiltered.tsv for an Acquire with the filter off. The selection
windows go to selection_windows.tsv (file, minx, miny, maxx, maxy).

The expected sheets are not typed in by hand: every sample declares the table
it means to draw, and the script reads the written file back, selects what
lies in the window as the CAD would, rebuilds the rows and columns from the
ruling as Acquire does (tolerance 0.1) and fills the cells; it stops with an
error when that sheet is not the declared table.
"""
import fnmatch
import os
import re
import sys

# ezdxf writes some objects in set order: a fixed hash seed gives the same bytes on every run.
if os.environ.get("PYTHONHASHSEED") != "0":
    os.execve(sys.executable, [sys.executable] + sys.argv, dict(os.environ, PYTHONHASHSEED="0"))

import ezdxf
from ezdxf.enums import TextEntityAlignment

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = HERE  # --out DIR writes elsewhere, for the test that the committed files are current
TOLERANCE = 0.1
EXCLUDED = "HOJO*,JOGAI*"

# Automation Alignment values and the ezdxf names of the same placements.
ALIGN = {
    0: TextEntityAlignment.LEFT,
    1: TextEntityAlignment.CENTER,
    2: TextEntityAlignment.RIGHT,
    6: TextEntityAlignment.TOP_LEFT,
    7: TextEntityAlignment.TOP_CENTER,
    9: TextEntityAlignment.MIDDLE_LEFT,
    10: TextEntityAlignment.MIDDLE_CENTER,
    11: TextEntityAlignment.MIDDLE_RIGHT,
    12: TextEntityAlignment.BOTTOM_LEFT,
    14: TextEntityAlignment.BOTTOM_RIGHT,
}
CODES = {(0, 0): 0, (1, 0): 1, (2, 0): 2, (3, 0): 3, (4, 0): 4, (5, 0): 5, (0, 3): 6, (1, 3): 7, (2, 3): 8,
         (0, 2): 9, (1, 2): 10, (2, 2): 11, (0, 1): 12, (1, 1): 13, (2, 1): 14}


def new_doc(version, encoding=None):
    ezdxf.options.write_fixed_meta_data_for_testing = True  # the same bytes on every run
    doc = ezdxf.new(version, setup=True)
    doc.units = ezdxf.units.MM
    if encoding:
        doc.encoding = encoding
    return doc


def add_layers(doc, names):
    for name, colour in names:
        doc.layers.add(name, color=colour)


def add_text(msp, text, x, y, alignment, layer="TEXT", height=3.5):
    t = msp.add_text(text, dxfattribs={"layer": layer, "height": height})
    t.set_placement((x, y), align=ALIGN[alignment])
    return t


def place_in_cell(xs, ys, col, row, alignment, pad=1.5):
    """A text's anchor for an alignment, inside cell (col, row) counted from 0, top row first."""
    left, right = xs[col], xs[col + 1]
    top, bottom = ys[row], ys[row + 1]
    middle = (top + bottom) / 2
    centre = (left + right) / 2
    return {
        0: (left + pad, bottom + pad),
        1: (centre, bottom + pad),
        2: (right - pad, bottom + pad),
        6: (left + pad, top - pad),
        7: (centre, top - pad),
        9: (left + pad, middle),
        10: (centre, middle),
        11: (right - pad, middle),
        12: (left + pad, bottom + pad / 2),
        14: (right - pad, bottom + pad / 2),
    }[alignment]


def rule_grid(msp, xs, ys, layer="TABLE"):
    for y in ys:
        msp.add_line((xs[0], y), (xs[-1], y), dxfattribs={"layer": layer})
    for x in xs:
        msp.add_line((x, ys[0]), (x, ys[-1]), dxfattribs={"layer": layer})


def fill_table(msp, xs, ys, rows, alignments):
    """rows: the cell texts ("" = no text); alignments: per column, or a function (row, col) -> alignment."""
    for r, cells in enumerate(rows):
        for c, text in enumerate(cells):
            if not text:
                continue
            a = alignments(r, c)
            x, y = place_in_cell(xs, ys, c, r, a)
            add_text(msp, text, x, y, a)


# --- Acquire as the program does it, on what ezdxf reads back ---------------------------------

def wildcard(patterns, name):
    return any(fnmatch.fnmatchcase(name.upper(), p.upper()) for p in patterns.split(",") if p)


def in_window(points, window):
    (x0, y0), (x1, y1) = window
    return all(x0 <= x <= x1 and y0 <= y <= y1 for x, y in points)


def char_width(c):
    """Advance in text heights, as the stand-in CAD estimates it: full-width square, the rest 0.7."""
    o = ord(c)
    wide = (0x1100 <= o <= 0x115F or 0x2E80 <= o <= 0xA4CF or 0xAC00 <= o <= 0xD7A3 or 0xF900 <= o <= 0xFAFF
            or 0xFE30 <= o <= 0xFE4F or 0xFF00 <= o <= 0xFF60 or 0xFFE0 <= o <= 0xFFE6)
    return 1.0 if wide else 0.7


def text_box_points(t):
    """Corners of a text's box as the stand-in CAD estimates it (no rotation in these samples)."""
    h = t.dxf.height
    w = h * sum(char_width(c) for c in decode(t.dxf.text))
    halign, valign = t.dxf.get("halign", 0), t.dxf.get("valign", 0)
    x, y = anchor(t)
    left = {0: 0.0, 1: -w / 2, 2: -w, 4: -w / 2}.get(halign, 0.0)
    bottom = -h if valign == 3 else (-h / 2 if valign == 2 or halign == 4 else 0.0)
    return [(x + left, y + bottom), (x + left + w, y + bottom + h)]


def decode(s):
    """\\U+XXXX as the character it stands for, as the CAD hands texts out."""
    return re.sub(r"\\U\+([0-9A-Fa-f]{4})", lambda m: chr(int(m.group(1), 16)), s)


def anchor(t):
    code = CODES.get((t.dxf.get("halign", 0), t.dxf.get("valign", 0)), 0)
    p = t.dxf.insert if code == 0 else t.dxf.align_point
    return float(p[0]), float(p[1])


def acquire(path, window, filtered):
    doc = ezdxf.readfile(path)
    lines, texts = [], []
    for e in doc.modelspace():
        kind = e.dxftype()
        if not wildcard("TEXT,*LINE", kind):
            continue
        if filtered and wildcard(EXCLUDED, e.dxf.layer):
            continue
        if kind == "LINE":
            s, t = e.dxf.start, e.dxf.end
            if in_window([(s[0], s[1]), (t[0], t[1])], window):
                lines.append(((s[0], s[1]), (t[0], t[1])))
        elif kind == "LWPOLYLINE":
            points = [(p[0], p[1]) for p in e.get_points("xy")]
            if in_window(points, window):
                if e.closed:
                    points.append(points[0])
                lines += list(zip(points, points[1:]))
        elif kind == "TEXT":
            if in_window(text_box_points(e), window):
                texts.append((anchor(e), decode(e.dxf.text)))
    return sheet(lines, texts)


def sheet(lines, texts):
    tate, yoko = [], []
    for (x1, y1), (x2, y2) in lines:
        if abs(x1 - x2) < TOLERANCE:
            tate.append(x1)
        elif abs(y1 - y2) < TOLERANCE:
            yoko.append(y1)

    def merged(values, descending):
        values = sorted(values, reverse=descending)
        kept = values[:1]
        for v in values[1:]:
            if (kept[-1] - v if descending else v - kept[-1]) > TOLERANCE:
                kept.append(v)
        return kept

    tate, yoko = merged(tate, False), merged(yoko, True)
    cells = [["" for _ in range(len(tate) - 1)] for _ in range(len(yoko) - 1)]
    for (x, y), text in texts:
        for i in range(len(yoko) - 1):
            j = next((j for j in range(len(tate) - 1) if tate[j] < x < tate[j + 1]), None)
            if yoko[i] > y > yoko[i + 1] and j is not None:
                cells[i][j] = text
                break
    return cells, tate, yoko


def write_tsv(path, cells):
    with open(path, "wb") as f:
        for row in cells:
            f.write(("\t".join(row) + "\r\n").encode("utf-8"))


# --- The samples -------------------------------------------------------------------------------

def parts_list():
    """R2000, Shift-JIS (ANSI_932): a parts list as a Japanese user draws one."""
    doc = new_doc("R2000", "cp932")
    add_layers(doc, [("TABLE", 7), ("TEXT", 3)])
    msp = doc.modelspace()
    xs = [10.0, 70.0, 90.0, 120.0, 170.0]
    ys = [200.0 - 8 * i for i in range(8)]
    rows = [
        ["品名", "数量", "単価", "備考"],
        ["六角ボルト M8×20", "24", "15", "ステンレス"],
        ["平座金 M8", "24", "3", ""],
        ["スプリングワッシャー M8", "24", "4", ""],
        ["Bearing 6204ZZ", "2", "850", "NSK"],
        ["オイルシール TC20-35-7", "2", "320", "要確認"],
        ["Shaft ⌀20", "1", "4,500", "図番 S-102"],
    ]
    rule_grid(msp, xs, ys)

    def alignment(r, c):
        if r == 0:
            return 10                 # header: middle centre
        if c == 0:
            return 0                  # names: left, at the insertion point
        if c == 1:
            return 2                  # quantities: right, on the baseline
        if c == 2:
            return 11                 # prices: middle right
        return 10 if r == 6 else 9    # remarks: middle left, the drawing number centred

    fill_table(msp, xs, ys, rows, alignment)
    add_text(msp, "部品表", 10.0, 205.0, 0, height=5.0)  # the title, above the table
    return doc, rows, ((5.0, 139.0), (175.0, 203.0)), {}


def double_ruled():
    """R2004, ANSI_1252 (the Japanese texts go out as \\U+ escapes): the outer frame one closed
    polyline, every inner rule drawn twice on two layers, the second copy drifting by 1e-4."""
    doc = new_doc("R2004")
    add_layers(doc, [("WAKU", 1), ("KEISEN", 7), ("KEISEN2", 8), ("TEXT", 3)])
    msp = doc.modelspace()
    xs = [0.0, 40.0, 70.0, 110.0]
    ys = [100.0, 90.0, 80.0, 70.0, 60.0]
    msp.add_lwpolyline([(xs[0], ys[0]), (xs[-1], ys[0]), (xs[-1], ys[-1]), (xs[0], ys[-1])],
                       close=True, dxfattribs={"layer": "WAKU"})
    drift = 1e-4
    for k, y in enumerate(ys[1:-1]):
        msp.add_line((xs[0], y), (xs[-1], y), dxfattribs={"layer": "KEISEN"})
        # the copy: drawn the other way on odd rules, a hair above or below
        d = drift if k % 2 == 0 else -drift
        start, end = ((xs[-1], y + d), (xs[0], y + d)) if k % 2 else ((xs[0], y + d), (xs[-1], y + d))
        msp.add_line(start, end, dxfattribs={"layer": "KEISEN2"})
    for k, x in enumerate(xs[1:-1]):
        msp.add_line((x, ys[0]), (x, ys[-1]), dxfattribs={"layer": "KEISEN"})
        d = drift if k % 2 == 0 else -drift
        msp.add_line((x + d, ys[-1] - d), (x + d, ys[0] + d), dxfattribs={"layer": "KEISEN2"})
    rows = [
        ["工程", "担当", "期日"],
        ["基本設計", "山田", "2026/06/10"],
        ["詳細設計", "佐藤 (Sato)", "2026/07/01"],
        ["製作・検査", "", "2026/08/20"],
    ]
    fill_table(msp, xs, ys, rows, lambda r, c: {0: 7, 1: 6, 2: 14}[c] if r else 1)
    return doc, rows, ((-5.0, 55.0), (115.0, 105.0)), {}


def table_in_context():
    """R2013 (UTF-8): a table beside a part, dimensions and a title block, with auxiliary
    texts and a construction line on excluded layers inside the table."""
    doc = new_doc("R2013")
    add_layers(doc, [("TABLE", 7), ("TEXT", 3), ("HOJO", 8), ("JOGAI_OLD", 9), ("PART", 4), ("DIM", 2),
                     ("TITLE", 7)])
    msp = doc.modelspace()
    xs = [0.0, 50.0, 100.0, 125.0, 160.0]
    ys = [100.0, 90.0, 80.0, 70.0, 60.0, 50.0]
    rows = [
        ["項目", "仕様", "数量", "金額"],
        ["ポンプ本体", "50A 3.7kW", "1", "480,000"],
        ["架台", "SS400 溶融亜鉛めっき", "1", "65,000"],
        ["配管材", "", "1式", "38,500"],
        ["据付工事", "", "1式", "120,000"],
    ]
    rule_grid(msp, xs, ys)
    fill_table(msp, xs, ys, rows, lambda r, c: 10 if r == 0 else (11 if c >= 2 else 9))
    # Inside the table, to be left out by the layer filter: a provisional note in an empty
    # cell, an old price after the current one in its cell, a construction line through
    # the "仕様" column.
    x, y = place_in_cell(xs, ys, 1, 4, 9)
    add_text(msp, "仮", x, y, 9, layer="HOJO")
    x, y = place_in_cell(xs, ys, 3, 2, 11)
    add_text(msp, "旧 60,000", x, y - 2.0, 11, layer="JOGAI_OLD", height=2.5)
    msp.add_line((75.0, ys[0]), (75.0, ys[-1]), dxfattribs={"layer": "HOJO"})
    # Also inside, and left out by type: an MTEXT note and a circle marking a cell.
    msp.add_mtext("別途見積", dxfattribs={"layer": "TEXT", "char_height": 3.0, "insert": (52.0, 68.5),
                                       "attachment_point": 1})
    msp.add_circle((121.0, 85.0), 2.0, dxfattribs={"layer": "TEXT"})
    # Around the table: the part, its dimensions, the table's overall width, a title block.
    msp.add_circle((240.0, 80.0), 20.0, dxfattribs={"layer": "PART"})
    msp.add_circle((240.0, 80.0), 6.0, dxfattribs={"layer": "PART"})
    msp.add_lwpolyline([(210.0, 50.0), (270.0, 50.0), (270.0, 55.0), (210.0, 55.0)], close=True,
                       dxfattribs={"layer": "PART"})
    msp.add_linear_dim(base=(240.0, 112.0), p1=(220.0, 80.0), p2=(260.0, 80.0),
                       dxfattribs={"layer": "DIM"}).render()
    msp.add_linear_dim(base=(0.0, 110.0), p1=(0.0, 100.0), p2=(160.0, 100.0),
                       dxfattribs={"layer": "DIM"}).render()
    tx, ty = [180.0, 220.0, 290.0], [30.0, 20.0, 10.0, 0.0]
    for y in ty:
        msp.add_line((tx[0], y), (tx[-1], y), dxfattribs={"layer": "TITLE"})
    for x in tx:
        msp.add_line((x, ty[0]), (x, ty[-1]), dxfattribs={"layer": "TITLE"})
    for r, (label, value) in enumerate([("図名", "ポンプ据付図"), ("尺度", "1:20"), ("作成", "2026-12-09")]):
        add_text(msp, label, tx[0] + 2.0, ty[r + 1] + 3.0, 0, layer="TITLE", height=3.0)
        add_text(msp, value, tx[1] + 2.0, ty[r + 1] + 3.0, 0, layer="TITLE", height=3.0)
    return doc, rows, ((-5.0, 45.0), (165.0, 105.0)), {"unfiltered": True}


SAMPLES = [("parts_list", parts_list), ("double_ruled", double_ruled), ("table_in_context", table_in_context)]


def main():
    global OUT
    if len(sys.argv) == 3 and sys.argv[1] == "--out":
        OUT = sys.argv[2]
    failed = False
    windows = []
    for name, build in SAMPLES:
        doc, rows, window, options = build()
        path = os.path.join(OUT, name + ".dxf")
        doc.saveas(path)
        cells, tate, yoko = acquire(path, window, filtered=True)
        if cells != rows:
            print("%s: the drawing does not read back as the declared table:\n%r" % (name, cells))
            failed = True
        write_tsv(os.path.join(OUT, name + ".expected.tsv"), cells)
        (x0, y0), (x1, y1) = window
        windows.append([name + ".dxf", "%g" % x0, "%g" % y0, "%g" % x1, "%g" % y1])
        line = "%s: %d rows x %d columns, columns at %s, rows at %s" % (
            name, len(cells), len(cells[0]) if cells else 0, tate, yoko)
        if options.get("unfiltered"):
            unfiltered, tate, yoko = acquire(path, window, filtered=False)
            write_tsv(os.path.join(OUT, name + ".unfiltered.tsv"), unfiltered)
            line += "; unfiltered %d x %d" % (len(unfiltered), len(unfiltered[0]) if unfiltered else 0)
        print(line)
    # The selection window of each sample, for the tests that select by script.
    write_tsv(os.path.join(OUT, "selection_windows.tsv"), [["file", "minx", "miny", "maxx", "maxy"]] + windows)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
