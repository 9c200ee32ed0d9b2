"""Times "Excelから取込" on a sheet of 1,000 rows by 30 columns under Wine:
from the menu choice to the changed cells counted in the status bar (which
the window updates as it paints the marks). Not a test (the suite runs
test_*.py only); run it by hand:

    python3 tests/e2e/time_excel_read_back.py --build build/win --source .

The table is the one time_excel_export.py sends. After the export the
stand-in Excel changes every row's cell in column B, so that the read-back
reads 30,000 typed cells and writes 1,000 of them into the sheet (100 edits, 900 additions)."""

import os
import time

import e2e
from e2e import check
from test_excel_export import Excel, Morvane, wide_table
from test_excel_round_trip import MENU_IMPORT, RELOAD_PRESET
from test_update_locate import click_cell, log_lines
from time_excel_export import COLS, ROWS, text_at

# Column B holds a text in every tenth row: the others are additions.
CHANGED = f"編集 {ROWS // 10} / 追加 {ROWS - ROWS // 10} / 削除 0 / 不可 0"


def scenario(s):
    dxf = os.path.join(s.work, "big.dxf")
    cells_expected = wide_table(dxf, ROWS, COLS, text_at)
    entities = (ROWS + 1) + (COLS + 1) + sum(1 for row in cells_expected for t in row if t)
    s.start_standin(dxf, "--auto-select=all", "--auto-select-delay=300")
    m = Morvane(s, s.start_morvane())
    started = time.monotonic()
    m.acquire(entities, timeout=600)
    print(f"Acquire of {entities} entities: {time.monotonic() - started:.1f} s")
    s.click_button(m.main, "矢印描画")
    xl = Excel(s)
    preset = os.path.join(s.work, "edits.txt")
    open(preset, "w").close()
    p, w = xl.start(f"--preset={preset}")
    m.press_excel()
    s.wait_until(lambda: os.path.exists(xl.cells), 120, "the export")
    with open(preset, "w", encoding="utf-8") as f:
        f.write("".join(f"B{r + 1}=s:変更 {r + 1}\n" for r in range(ROWS)))
    s.post(w, RELOAD_PRESET)
    s.wait_until(lambda: f"preset {ROWS} cells" in xl.served(), 60, "Excel to take the changes")

    click_cell(s, m.main, 1, 1)  # the keyboard to Morvane, away from the Excel started last
    g = s.find(m.main, "MorvaneSheet")
    s.click_at(g.rect[0] + 61, g.rect[1] + 30, button=3)
    s.wait_until(lambda: any(c == "#32768" for c, _ in s.process_windows(m.main)), 15, "the popup menu")
    before = time.monotonic()
    s.menu_choose(MENU_IMPORT)
    chosen = time.monotonic()
    s.wait_until(lambda: s.status_panel(m.main, 2) == CHANGED, 120, "the changed cells counted")
    done = time.monotonic()
    check(log_lines(s, m.main)[-1] == f"[Excelから取込] 変更 = {ROWS}", f"log {log_lines(s, m.main)[-3:]}")
    print(f"read-back, {ROWS} x {COLS}: {(done - chosen) * 1000:.0f} ms after the menu choice was sent, "
          f"{(done - before) * 1000:.0f} ms including the keystrokes")
    s.screenshot("big-read-back")
    xl.close(p, w)
    s.close_window(s.wait_window("nanoCAD 5"))


if __name__ == "__main__":
    e2e.run("time_excel_read_back", scenario)
