"""Times "Excelへ" on a sheet of 1,000 rows by 30 columns under Wine: from the
press of the button to the stand-in Excel's file of cells. Not a test (the
suite runs test_*.py only); run it by hand:

    python3 tests/e2e/time_excel_export.py --build build/win --source .

The drawing keeps Acquire short: every row has texts in its first and last
column and every tenth row in all 30; the other cells are empty, and go to
Excel as empty strings all the same."""

import os
import time

import e2e
from e2e import check
from test_excel_export import Morvane, wide_table

ROWS, COLS = 1000, 30


def text_at(r, c):
    return f"{r + 1}-{c + 1} 部品" if c in (0, COLS - 1) or r % 10 == 0 else None


def scenario(s):
    dxf = os.path.join(s.work, "big.dxf")
    cells_expected = wide_table(dxf, ROWS, COLS, text_at)
    entities = (ROWS + 1) + (COLS + 1) + sum(1 for row in cells_expected for t in row if t)
    cells = os.path.join(s.work, "cells.tsv")
    s.start_standin(dxf, "--auto-select=all", "--auto-select-delay=300")
    m = Morvane(s, s.start_morvane())
    started = time.monotonic()
    m.acquire(entities, timeout=600)
    print(f"Acquire of {entities} entities: {time.monotonic() - started:.1f} s")
    p, w = s.start_standin_excel(f"--cells={cells}")
    before = time.monotonic()
    m.press_excel()
    posted = time.monotonic()
    while not os.path.exists(cells):
        check(time.monotonic() - before < 60, "no cells from the stand-in Excel within 60 s")
        time.sleep(0.005)
    done = time.monotonic()
    with open(cells, encoding="utf-8", newline="") as f:
        got = [line.split("\t") for line in f.read().split("\r\n")[:-1]]
    check(got == cells_expected, "the stand-in Excel holds other cells than the sheet")
    print(f"press to file, {ROWS} x {COLS}: {(done - posted) * 1000:.0f} ms after the press was posted, "
          f"{(done - before) * 1000:.0f} ms including the driver's start")
    s.screenshot("big-export")
    s.close_window(w)
    s.wait_until(lambda: p.poll() is not None, 20, "the stand-in Excel to end")
    s.close_window(m.main)
    s.close_window(s.wait_window("nanoCAD 5"))


if __name__ == "__main__":
    e2e.run("time_excel_export", scenario)
