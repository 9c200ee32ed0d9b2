"""The user guide's pictures, taken from the program itself: one session of
the end-to-end scenarios (the stand-in CAD and Morvane under Wine on Xvfb)
is replayed, and each picture is cropped to the window it shows and written
to docs/img/. Run through scripts/guide-screenshots.sh."""

import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import e2e  # noqa: E402
from e2e import check  # noqa: E402
from test_acquire_sheet import memo_text  # noqa: E402
from test_editing import MENU_REPLACE  # noqa: E402
from test_hidden_texts import open_hidden_list  # noqa: E402
from test_update_locate import (EDITED, NOT_ADDED, ADDED, SAMPLE, WINDOW, click_cell, go_to, type_into,  # noqa: E402
                                wait_for_marks)

MAX_BYTES = 150 * 1024


def rect_of(s, hwnd):
    return s.windows(hwnd)[0].rect


def union(*rects):
    return (min(r[0] for r in rects), min(r[1] for r in rects), max(r[2] for r in rects), max(r[3] for r in rects))


def save(s, name, rect):
    """Takes the screen, crops it to rect and writes docs/img/<name>.png,
    with fewer colours when the crop would be larger than MAX_BYTES."""
    shot = s.screenshot(f"guide-{name}")
    target = os.path.join(s.source, "docs", "img", f"{name}.png")
    l, t, r, b = (max(v, 0) for v in rect)
    crop = ["convert", shot, "-crop", f"{r - l}x{b - t}+{l}+{t}", "+repage", "-strip"]
    subprocess.run(crop + [target], check=True)
    subprocess.run(["optipng", "-quiet", "-o2", target], check=True)
    for colours in (256, 64):
        if os.path.getsize(target) <= MAX_BYTES:
            break
        subprocess.run(crop + ["-colors", str(colours), f"PNG8:{target}"], check=True)
        subprocess.run(["optipng", "-quiet", "-o2", target], check=True)
    check(os.path.getsize(target) <= MAX_BYTES, f"{target} is {os.path.getsize(target)} bytes")
    print(f"picture: {target} ({r - l}x{b - t}, {os.path.getsize(target)} bytes)", flush=True)


def shown_menu(s, main):
    """The window of the popup menu Morvane shows, or None."""
    lines = [line.split("\t") for line in s.driver("process-windows", main)[1].split("\n") if line.strip()]
    return next((int(parts[0]) for parts in lines if parts[1] == "#32768"), None)


def menu_window(s, main):
    return s.wait_until(lambda: shown_menu(s, main), 15, "the popup menu")


def scenario(s):
    calls_path = os.path.join(s.work, "calls.log")
    cad = s.start_standin(s.sample(SAMPLE), f"--auto-select=window:{WINDOW}", "--auto-select-delay=300",
                          f"--call-log={calls_path}")
    # Morvane bottom right, clear of the middle of the CAD's view where the arrowhead goes.
    s.main = main = s.start_morvane({"AcadMRV": {"Left": 700, "Top": 560}})
    s.click_button(main, "除外画層フィルター")
    s.click_button(main, "取得")
    s.wait_until(lambda: "Yoko = " in memo_text(s, main), 60, "the Acquire log")

    # The CAD with the text of a clicked cell pointed at.
    click_cell(s, main, 1, 1)
    s.wait_until(lambda: "Handle = " in s.find(main, "msctls_statusbar32").text, 20, "the handle in the status bar")
    save(s, "cad-locate", rect_of(s, cad))

    # The main window with an edit, a deletion, an addition and a cell that cannot be written.
    s.arrowhead_off(main)
    type_into(s, main, 1, 2, EDITED[1])
    type_into(s, main, 5, 4, "")
    type_into(s, main, 2, 4, ADDED)
    type_into(s, main, 3, 3, NOT_ADDED)
    s.wait_until(lambda: s.status_panel(main, 2) == "編集 1 / 追加 1 / 削除 1 / 不可 1", 15, "the pending counts")
    go_to(s, main, 2, 5)
    wait_for_marks(s, main, "guide-marks", [("edit", 2), ("add", 4), ("unwritable", 3), ("delete", 4)])
    save(s, "main-marks", rect_of(s, main))

    # The popup menu over the sheet, opened on a cell.
    go_to(s, main, 1, 3)
    sheet = s.find(main, "MorvaneSheet")
    s.click_at(sheet.rect[0] + 52, sheet.rect[1] + 3 * 20 + 10, button=3)
    menu = menu_window(s, main)
    save(s, "popup-menu", union(rect_of(s, main), rect_of(s, menu)))
    s.keys("Escape")
    s.wait_until(lambda: shown_menu(s, main) is None, 15, "the menu to close")

    # The replace dialog. Another pixel: a synchronous move to where the
    # pointer is already waits in vain.
    s.click_at(sheet.rect[0] + 54, sheet.rect[1] + 3 * 20 + 11, button=3)
    menu_window(s, main)
    s.menu_choose(MENU_REPLACE)
    dialog = s.wait_window("文字列置換")
    s.type_text("NONE")
    s.keys("Tab")
    s.type_text("-")
    s.wait_until(lambda: [w.text for w in s.windows(dialog) if w.cls.lower() == "edit"] == ["NONE", "-"], 15,
                 "the typed texts in the dialog")
    save(s, "replace-dialog", rect_of(s, dialog))
    s.click_button(dialog, "取り消し")
    s.wait_until(lambda: not s.windows(dialog)[0].visible, 15, "the dialog to close")

    # The list of the texts the sheet does not show.
    hidden = open_hidden_list(s, main)
    save(s, "hidden-list", rect_of(s, hidden))
    s.keys("Escape")
    s.wait_until(lambda: not s.windows(hidden)[0].visible, 15, "the list to close")

    # The pick list of a column's texts, opened by its button.
    go_to(s, main, 4, 4)
    s.click_button(main, "入力候補")
    popup = s.wait_window("入力候補")
    s.wait_until(lambda: s.windows(popup)[0].visible, 15, "the pick list shown")
    save(s, "input-candidates", union(rect_of(s, main), rect_of(s, popup)))
    s.keys("Escape")
    s.wait_until(lambda: not s.windows(popup)[0].visible, 15, "the pick list to close")

    s.close_morvane(main, s.procs[1])
    s.close_window(cad)


if __name__ == "__main__":
    e2e.run("guide", scenario)
