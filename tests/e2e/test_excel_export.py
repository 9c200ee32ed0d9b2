"""A user acquires a table and presses "Excelへ" beside the stand-in Excel:
the worksheet holds exactly the sheet's data cells from A1, Japanese intact,
the header row and column left out, and the cells it held outside the range
are still there, and nothing is shown. A table of 27 columns reaches column
AA. (Excel missing, without a workbook, refusing the assignment or ending
inside the call: the faults scenario.)"""

import os

import e2e
from e2e import check

SAMPLE = "parts_list.dxf"
WINDOW = "5,139,175,203"  # the table's selection window in drawing units (samples/README.md)
ACQUIRE_LOG = ["Select = 39", "Line = 13, Text = 26", "Yoko = 8, Tate = 5"]


def read_tsv(path):
    with open(path, encoding="utf-8", newline="") as f:
        return [line.split("\t") for line in f.read().split("\r\n")[:-1]]


def write_tsv(path, rows):
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write("".join("\t".join(r) + "\r\n" for r in rows))


def overlay(base, block):
    """What a worksheet holding `base` holds after `block` was written from A1."""
    rows = max(len(base), len(block))
    cols = max([len(r) for r in base] + [len(r) for r in block])
    grid = [[""] * cols for _ in range(rows)]
    for source in (base, block):
        for r, row in enumerate(source):
            for c, text in enumerate(row):
                if source is block or text:
                    grid[r][c] = text
    return grid


def default_text(r, c):
    return "幅広表" if (r, c) == (0, 0) else f"{r + 1}/{c + 1}"


def wide_table(path, rows=2, cols=27, text_at=default_text):
    """A UTF-8 drawing of a table of rows x cols cells ruled with lines, cell
    (r, c) counted from 0 holding text_at(r, c) (none when empty); returns the
    cells' texts."""
    body = []
    handle = [0x100]

    def entity(kind, layer, *groups):
        body.extend([(0, kind), (5, f"{handle[0]:X}"), (100, "AcDbEntity"), (8, layer), *groups])
        handle[0] += 1

    w, h = 12.0, 6.0
    for c in range(cols + 1):
        entity("LINE", "TABLE", (10, c * w), (20, 0), (30, 0), (11, c * w), (21, -rows * h), (31, 0))
    for r in range(rows + 1):
        entity("LINE", "TABLE", (10, 0), (20, -r * h), (30, 0), (11, cols * w), (21, -r * h), (31, 0))
    cells = []
    for r in range(rows):
        cells.append([])
        for c in range(cols):
            text = text_at(r, c)
            cells[-1].append(text or "")
            if not text:
                continue
            entity("TEXT", "TEXT", (100, "AcDbText"), (10, c * w + 1), (20, -r * h - 4), (30, 0), (40, 2.5),
                   (1, text), (100, "AcDbText"))
    groups = [(0, "SECTION"), (2, "HEADER"), (9, "$ACADVER"), (1, "AC1027"), (9, "$HANDSEED"), (5, "FFFF"),
              (0, "ENDSEC"), (0, "SECTION"), (2, "ENTITIES"), *body, (0, "ENDSEC"), (0, "EOF")]
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(f"{code}\n{value}\n" for code, value in groups))
    return cells


class Morvane:
    def __init__(self, s, main):
        self.s = s
        self.main = main

    def memo(self):
        memo = [w for w in self.s.windows(self.main) if w.cls.lower() == "edit" and "Select = " in w.text]
        return [line for line in memo[0].text.split("\r\n") if line] if memo else []

    def status(self):
        return [w.text for w in self.s.windows(self.main) if w.cls.lower() == "msctls_statusbar32"]

    def acquire(self, selected, timeout=120):
        """Acquire, waiting for its log (which it empties first) to show the selection's size."""
        self.s.click_button(self.main, "取得")
        return self.s.wait_until(
            lambda: (log := self.memo()) and log[0] == f"Select = {selected}" and log[-1].startswith("Yoko = ") and log,
            timeout, f"the Acquire log of {selected} entities")

    def press_excel(self):
        self.s.click_button(self.main, "Excelへ")

    def check_nothing_shown(self, log, status):
        """No message box, no log line, no status text since the Acquire."""
        shown = [w for w in self.s.process_windows(self.main) if not w[1].startswith(e2e.MAIN_TITLE)]
        check(not shown, f"windows shown by Morvane: {shown}")
        check(self.memo() == log, f"the log changed: {self.memo()}")
        check(self.status() == status, f"the status bar changed: {self.status()}")


class Excel:
    """Stand-in Excels started one after the other, each writing its cells
    and its calls to the same two files of the work folder."""

    def __init__(self, s):
        self.s = s
        self.cells = os.path.join(s.work, "cells.tsv")
        self.calls = os.path.join(s.work, "calls.log")

    def served(self):
        if not os.path.exists(self.calls):
            return []
        with open(self.calls, encoding="utf-8") as f:
            return [l.rstrip("\n") for l in f if not l.startswith(("pid ", "ProgID"))]

    def start(self, *args, title="Excel - Book1"):
        """Returns the process and its window (title "Excel" without a workbook)."""
        for path in (self.cells, self.calls):
            if os.path.exists(path):
                os.remove(path)
        return self.s.start_standin_excel(f"--cells={self.cells}", f"--call-log={self.calls}", *args, title=title)

    def close(self, process, window):
        self.s.close_window(window)
        self.s.wait_until(lambda: process.poll() is not None, 20, "the stand-in Excel to end")


def scenario(s):
    with open(s.sample(SAMPLE.replace(".dxf", ".expected.tsv")), encoding="utf-8", newline="") as f:
        table = [line.split("\t") for line in f.read().split("\r\n")[:-1]]
    rows, cols = len(table), len(table[0])
    xl = Excel(s)
    cells, served, excel, close = xl.cells, xl.served, xl.start, xl.close

    s.start_standin(s.sample(SAMPLE), f"--auto-select=window:{WINDOW}", "--auto-select-delay=300")
    m = Morvane(s, s.start_morvane())
    log = m.acquire(39)
    check([log[0], log[2], log[3]] == ACQUIRE_LOG, f"Acquire log {log}")
    status = m.status()

    # Cells around and inside the range: those inside are overwritten, empty ones included.
    held = [["古い"] * (cols + 2) for _ in range(rows + 2)]
    preload = os.path.join(s.work, "held.tsv")
    write_tsv(preload, held)
    p, w = excel(f"--load={preload}")
    m.press_excel()
    s.wait_until(lambda: os.path.exists(cells), 30, "the stand-in Excel's cells")
    got = read_tsv(cells)
    check(got == overlay(held, table), f"the worksheet holds {got}")
    check(served() == ["ActiveSheet", f"Range A1 {chr(ord('A') + cols - 1)}{rows}", f"Value put {rows}x{cols} byref"],
          f"calls served: {served()}")
    m.check_nothing_shown(log, status)
    s.screenshot("1-excel-after-export")
    close(p, w)

    # A table of 27 columns, into an Excel that holds the first table.
    first = os.path.join(s.work, "first.tsv")
    write_tsv(first, table)
    p, w = excel(f"--load={first}")
    s.close_window(s.wait_window("nanoCAD 5"))
    s.wait_until(lambda: s.procs[0].poll() is not None, 20, "the stand-in CAD to end")
    wide_dxf = os.path.join(s.work, "wide.dxf")
    wide = wide_table(wide_dxf)
    s.start_standin(wide_dxf, "--auto-select=all", "--auto-select-delay=300")
    m.acquire(len(wide) * len(wide[0]) + len(wide) + 1 + len(wide[0]) + 1)
    m.press_excel()
    s.wait_until(lambda: os.path.exists(cells), 30, "the wide table's cells")
    got = read_tsv(cells)
    check(got == overlay(table, wide), f"the wide table reads {got}")
    check(served()[-2:] == ["Range A1 AA2", "Value put 2x27 byref"], f"calls served: {served()}")
    close(p, w)
    s.close_window(s.wait_window(e2e.MAIN_TITLE, prefix=True))
    s.close_window(s.wait_window("nanoCAD 5"))


if __name__ == "__main__":
    e2e.run("excel_export", scenario)
