"""A user reads the table of table_in_context.dxf with the layer filter off,
after someone has drawn a note just above the table. Three texts read are
not shown: "仕様" lies on the construction line, "65,000" is hidden by the
later "旧 60,000" in the same cell, and the note lies outside the table. The
log's line after Acquire's own counts and names them, the crowded cell shows
its own mark in its top-left corner, and "表示されない文字…" lists all three
with their reasons; choosing the note centres the CAD's view on it."""

import os

import e2e
from e2e import check
from test_acquire_sheet import memo_text, sheet
from test_update_locate import FIRST_COL_WIDTH, ROW_PITCH, calls, log_lines
from test_wrong_drawing import close_morvane

SAMPLE = "table_in_context.dxf"
WINDOW = "-5,45,165,105"
NOTE = ("注記", 25.0, 103.0)  # above the table's top rule at y = 100, inside the window
CROWDED = (0, 160, 160)  # the mark of a cell holding more than one text
MENU_HIDDEN = 21  # 表示されない文字… in the popup menu, separators not counted
HIDDEN_LINE = ("表示されない文字 = 3 (罫線上 = 1, 表の外 = 1, 同じセルの後の文字に隠れる = 1): "
               "「仕様」「65,000」「注記」")
LISTED = ["【罫線上】「仕様」", "【同じセルの後の文字に隠れる】「65,000」 (列 5・行 3 は「旧 60,000」)", "【表の外】「注記」"]


def handle_of(path, text):
    """The handle of the one TEXT of the drawing reading `text`, found by an independent reader."""
    import ezdxf
    found = [e.dxf.handle for e in ezdxf.readfile(path).modelspace() if e.dxftype() == "TEXT" and e.dxf.text == text]
    check(len(found) == 1, f"texts {text!r}: {found}")
    return found[0]


def crowded_marks(s, main, shot):
    """The pixels of the crowded mark's colour in the sheet, sheet-relative."""
    import subprocess
    l, t, r, b = sheet(s, main).rect
    out = subprocess.run(["convert", shot, "-crop", f"{r - l}x{b - t}+{l}+{t}", "-depth", "8", "txt:-"],
                         capture_output=True, text=True, check=True).stdout
    found = []
    for line in out.splitlines()[1:]:
        at, rest = line.split(":", 1)
        rgb = tuple(int(float(v)) for v in rest.split("(", 1)[1].split(")", 1)[0].split(",")[:3])
        if rgb == CROWDED:
            found.append(tuple(int(v) for v in at.split(",")))
    return found


def open_hidden_list(s, main):
    """The list window, opened from the popup menu over the sheet; returns its handle."""
    g = sheet(s, main)
    # A left click first: without a window manager the keys go to the window
    # last clicked, and the menu reads them only through its owner.
    s.click_at(g.rect[0] + FIRST_COL_WIDTH + 12, g.rect[1] + ROW_PITCH + 10)
    s.click_at(g.rect[0] + FIRST_COL_WIDTH + 14, g.rect[1] + ROW_PITCH + 10, button=3)
    # The keys go to the menu only once it is up: a loaded machine shows it late.
    s.wait_until(lambda: any(cls == "#32768" for cls, _ in s.process_windows(main)), 15, "the popup menu")
    s.menu_choose(MENU_HIDDEN)
    shown = s.wait_window("表示されない文字")
    s.wait_until(lambda: s.windows(shown)[0].visible, 15, "the list window shown")
    return shown


def list_items(s, hwnd):
    _, out = s.driver("list-items", hwnd)
    return [l for l in out.split("\n") if l]


def escape_and_end(s, hidden, main, morvane_proc, cad, cad_proc):
    """Escape closes the list; then Morvane and the CAD end."""
    s.keys("Escape")
    s.wait_until(lambda: not s.windows(hidden)[0].visible, 15, "the list closed by Escape")
    close_morvane(s, main, morvane_proc)
    s.close_window(cad)
    s.wait_until(lambda: cad_proc.poll() is not None, 30, "the CAD to end")


def scenario(s):
    calls_path = os.path.join(s.work, "calls.log")
    cad = s.start_standin(s.sample(SAMPLE), f"--auto-select=window:{WINDOW}", "--auto-select-delay=300",
                          f"--call-log={calls_path}")
    cad_proc = s.procs[-1]
    s.driver("cad-copy-text", handle_of(s.sample(SAMPLE), "項目"), *NOTE)
    s.main = main = s.start_morvane({"AcadMRV": {"Left": 700, "Top": 640}})
    morvane_proc = s.procs[-1]
    check(not s.find(main, "Button", "更新").enabled, "更新 before any Acquire")
    s.click_button(main, "除外画層フィルター")
    s.click_button(main, "取得")
    log = s.wait_until(lambda: "Yoko = " in memo_text(s, main) and log_lines(s, main), 60, "the Acquire log")
    check(log[2:] == ["Line = 12, Text = 21", "Yoko = 6, Tate = 6", HIDDEN_LINE], f"Acquire log {log}")

    # The crowded cell, 5/3: a triangle of 21 pixels in its top-left corner, 6 by 6.
    def one_mark():
        pts = crowded_marks(s, main, s.screenshot("1-acquired"))
        if len(pts) != 21:
            return None
        xs, ys = [p[0] for p in pts], [p[1] for p in pts]
        return (max(xs) - min(xs), max(ys) - min(ys), min(xs), min(ys))

    width, height, left, top = s.wait_until(one_mark, 15, "the crowded cell's mark")
    check((width, height) == (5, 5), f"the mark is {width + 1} x {height + 1}")
    check(left > FIRST_COL_WIDTH and top == 3 * ROW_PITCH, f"the mark at {left}, {top}: not at the top of row 3")

    hidden = open_hidden_list(s, main)
    s.wait_until(lambda: list_items(s, hidden) == LISTED, 15, f"the list {LISTED}")
    s.screenshot("2-hidden-list")
    before = len(calls(calls_path))
    s.keys("Down", "Down", "Return")
    s.wait_until(lambda: not s.windows(hidden)[0].visible, 15, "the list closed")
    zoom = s.wait_until(lambda: [l for l in calls(calls_path)[before:] if l.startswith("zoom ")], 20,
                        "the CAD to be asked to zoom")[-1]
    x1, y1, x2, y2 = (float(v) for v in zoom.split()[1:])
    check(abs((x1 + x2) / 2 - NOTE[1]) < 1e-6 and abs((y1 + y2) / 2 - NOTE[2]) < 1e-6, f"zoom window {zoom}")
    s.wait_until(lambda: s.status_panel(main, 0).startswith(" Handle = "), 15, "the note's handle in the status bar")
    s.screenshot("3-located")

    escape_and_end(s, open_hidden_list(s, main), main, morvane_proc, cad, cad_proc)


if __name__ == "__main__":
    e2e.run("hidden_texts", scenario, served_driver=False)
