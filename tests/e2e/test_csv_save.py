"""A user saves an acquired sheet as CSV through the real save dialog: after
pasting a cell that holds a quote and a comma, "CSVで保存..." from the popup
menu offers the drawing's name with ".csv"; the path typed into the dialog's
file name box gets a file that Python's csv module reads back equal to the
sheet (Japanese text, the drawing's "4,500" and the pasted quote included),
with a byte order mark and CR LF line ends. Then the user saves over a
read-only file: one box names the path, the old file keeps its bytes and no
temporary file is left. (A write-protected folder cannot be shown here: the
tests run as root, whom no folder refuses; the Win32 tests cover a folder
that takes no file.)"""

import csv
import os
import stat

import e2e
from e2e import check
from test_editing import COL0_WIDTH, ROW_HEIGHT, Sheet, memo_lines

SAMPLE = "parts_list.dxf"
WINDOW = "5,139,175,203"
MENU_CSV = 18  # CSVで保存... in the popup menu, separators not counted
DIALOG_TITLE = "CSVで保存"
QUOTED = 'Pipe 6" x 2, bent'
WM_COMMAND, BM_CLICK, IDOK, IDYES = 0x0111, 0x00F5, 1, 6
OLD_BYTES = b"old,file\r\n"


def wine_path(path):
    return "Z:" + path.replace("/", "\\")


def top_windows(s, main):
    """The visible top-level windows of Morvane's process: (hwnd, class, title)."""
    _, out = s.driver("process-windows", main)
    return [(int(p[0]), p[1], p[2] if len(p) > 2 else "") for p in (l.split("\t") for l in out.split("\n") if l.strip())]


def open_save_dialog(s, main, sheet):
    sheet.click(2)
    # Two pixels aside: a move to where the pointer already is never ends.
    l, t, _, _ = sheet.rect()
    s.click_at(l + COL0_WIDTH + 14, t + 2 * ROW_HEIGHT + 10, button=3)
    s.wait_until(lambda: any(cls == "#32768" for _, cls, _ in top_windows(s, main)), 15, "the popup menu")
    s.menu_choose(MENU_CSV)
    return s.wait_window(DIALOG_TITLE)


def name_box(s, dialog):
    """The dialog's file name box: the one edit control that is shown."""
    boxes = [w for w in s.windows(dialog)[1:] if w.cls.lower() == "edit" and w.visible]
    check(len(boxes) == 1, f"file name boxes {boxes}")
    return boxes[0]


def save_through_dialog(s, main, sheet, path, replaces):
    """Chooses the menu item, types `path` into the file name box and presses
    Enter; answers Yes when the dialog asks whether to replace the file."""
    dialog = open_save_dialog(s, main, sheet)
    box = s.wait_until(lambda: name_box(s, dialog), 15, "the file name box")
    offered = box.text
    s.click_at(*box.centre())
    s.keys("ctrl+a", "BackSpace")
    s.type_text(wine_path(path))
    s.wait_until(lambda: name_box(s, dialog).text == wine_path(path), 20, f"{path} in the file name box")
    if not replaces:
        s.screenshot("0-save-dialog")
    s.keys("Return")
    if replaces:
        prompt = s.wait_until(lambda: [h for h, cls, _ in top_windows(s, main) if cls == "#32770" and h != dialog],
                              15, "the question whether to replace the file")[0]
        yes = s.wait_until(lambda: [w for w in s.windows(prompt) if w.cls.lower() == "button" and w.id == IDYES],
                           10, "the Yes button")[0]
        s.post(yes.hwnd, BM_CLICK)
    s.wait_until(lambda: all(h != dialog for h, _, _ in top_windows(s, main)), 15, "the save dialog to close")
    return offered


def error_box(s, main):
    rc, out = s.driver("dialog", 15000, main, check_rc=False)
    check(rc == 0, "no message box")
    lines = out.strip().split("\n")
    return int(lines[0]), "\n".join(lines[1:])


def refused(s, main, sheet, folder, name, shot):
    """Saving over folder/name is refused with one box naming the path; the
    old file and the folder stay as they were."""
    path = os.path.join(folder, name)
    before = sorted(os.listdir(folder))
    save_through_dialog(s, main, sheet, path, replaces=True)
    box, text = error_box(s, main)
    s.screenshot(shot)
    check(text.startswith(wine_path(path) + " に書き込めません"), f"the box says {text!r}")
    s.post(box, WM_COMMAND, IDOK)
    s.wait_until(lambda: all(cls != "#32770" for _, cls, _ in top_windows(s, main)), 15, "the box to close")
    with open(path, "rb") as f:
        check(f.read() == OLD_BYTES, f"{path} was changed")
    check(sorted(os.listdir(folder)) == before, f"{folder} now holds {os.listdir(folder)}")


def scenario(s):
    s.start_standin(s.sample(SAMPLE), f"--auto-select=window:{WINDOW}", "--auto-select-delay=500")
    main = s.start_morvane()
    s.click_button(main, "取得")
    s.wait_until(lambda: any(l.startswith("Yoko = ") for l in memo_lines(s, main)), 60, "the Acquire log")
    # Without the arrowhead a click on the sheet keeps the focus here.
    s.arrowhead_off(main)
    sheet = Sheet(s, main)

    s.set_clipboard(QUOTED + "\r\n")
    sheet.click(3)
    s.keys("ctrl+v")
    s.wait_until(lambda: memo_lines(s, main)[-1:] == ["[CTRL]+[V]"], 15, "the [CTRL]+[V] log line")
    table = sheet.table()
    check(table[2][0] == QUOTED and table[6][2] == "4,500" and table[0][0] == "品名", f"the sheet reads {table}")

    out = os.path.join(s.work, "out")
    os.mkdir(out)
    target = os.path.join(out, "parts.csv")
    offered = save_through_dialog(s, main, sheet, target, replaces=False)
    check(offered == "parts_list.csv", f"the dialog offered {offered!r}")
    s.wait_until(lambda: os.path.exists(target), 15, "the CSV file")
    with open(target, "rb") as f:
        raw = f.read()
    check(raw.startswith(b"\xef\xbb\xbf"), "no byte order mark")
    check(raw.count(b"\n") == raw.count(b"\r\n") == len(table), f"line ends in {raw!r}")
    with open(target, encoding="utf-8-sig", newline="") as f:
        read_back = list(csv.reader(f))
    check(read_back == table, f"csv reads {read_back}, the sheet is {table}")
    check(os.listdir(out) == ["parts.csv"], f"left in the folder: {os.listdir(out)}")
    s.screenshot("1-saved")

    # A read-only file in a writable folder: the rename over it is refused.
    readonly = os.path.join(out, "readonly.csv")
    with open(readonly, "wb") as f:
        f.write(OLD_BYTES)
    os.chmod(readonly, stat.S_IRUSR)
    refused(s, main, sheet, out, "readonly.csv", "2-refused")
    os.chmod(readonly, stat.S_IRUSR | stat.S_IWUSR)

    # The paste was never written to the drawing: the close asks first.
    s.close_morvane(main, s.procs[1])
    s.close_window(s.wait_window("nanoCAD 5"))


if __name__ == "__main__":
    e2e.run("csv_save", scenario)
