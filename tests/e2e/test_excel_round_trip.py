"""A user sends a price list to Excel, edits it there and reads it back.
The drawing holds zero-padded part numbers, a price with a thousands
separator, one with a trailing zero and dates, all of which Excel turns into
numbers and dates on the way in. In the stand-in Excel three cells change
and a zero-padded number is set to the number Excel makes of it; "Excelから
取込" then marks exactly the three cells, the padded and separated texts
stay as they were, one Ctrl+Z takes all three back and a second read brings
them again. Update writes exactly those three texts into the drawing, read
back with ezdxf. With "Excelへ文字列で" checked, the export leaves every cell a
string in Excel and a read-back changes nothing. Excel refusing the read,
answering with the wrong shape, without a workbook and missing each leave
one log line, the sheet and its undo history as they were."""

import os

import e2e
from e2e import check
from test_acquire_sheet import copy_all
from test_excel_export import Excel, Morvane, read_tsv, wide_table
from test_update_locate import click_cell, ezdxf, go_to, log_lines, wait_for_marks

TABLE = [["品番", "数量", "単価", "納期"],
         ["0012", "24", "1,200", "2026/12/10"],
         ["0305", "3", "12.50", "未定"],
         ["A-7", "10", "850", "2027/01/15"]]
# What Excel holds after a plain export: numbers and dates where it could read them.
CONVERTED = [["品番", "数量", "単価", "納期"],
             ["12", "24", "1,200", "2026/12/10"],
             ["305", "3", "12.5", "未定"],
             ["A-7", "10", "850", "2027/01/15"]]
# The user's edits in Excel: three changes, and A3 set again to the number Excel made of "0305".
EDITS = "A4=s:A-8\nB2=n:30\nC4=n:900\nA3=n:305\n"
EDITED = {(3, 0): "A-8", (1, 1): "30", (3, 2): "900"}  # (row, col) from 0 -> the new text
MARKS = [("edit", 4), ("edit", 2), ("edit", 4)]  # left to right: A4, B2, C4
RELOAD_PRESET = 0x8000 + 18  # the stand-in Excel's message to set its preset's cells again
MENU_IMPORT = 19  # Excelから取込 in the popup menu, separators not counted
MENU_AS_TEXT = 20  # Excelへ文字列で
NONE_PENDING = ("", "編集 0 / 追加 0 / 削除 0 / 不可 0")  # panel 2 with nothing pending
IMPORT = "[Excelから取込] "


def tsv(rows):
    return "".join("\t".join(r) + "\r\n" for r in rows)


def texts(path):
    """The drawing's TEXT entities: handle -> text."""
    return {e.dxf.handle: e.dxf.text for e in ezdxf.readfile(path).modelspace() if e.dxftype() == "TEXT"}


def scenario(s):
    dxf = os.path.join(s.work, "prices.dxf")
    wide_table(dxf, len(TABLE), len(TABLE[0]), lambda r, c: TABLE[r][c])
    saved = os.path.join(s.work, "saved.dxf")
    s.start_standin(dxf, "--auto-select=all", "--auto-select-delay=300", f"--save-on-close={saved}")
    cad_proc = s.procs[-1]
    m = Morvane(s, s.start_morvane({"AcadMRV": {"Left": 600, "Top": 560}}))
    main = m.main
    entities = (len(TABLE) + 1) + (len(TABLE[0]) + 1) + sum(len(r) for r in TABLE)
    m.acquire(entities)
    s.click_button(main, "矢印描画")  # no Locate: clicks on the sheet only select
    s.wait_until(lambda: s.find(main, "Button", "矢印描画").checked == 0, 15, "矢印描画 unchecked")

    def pending(n):
        return f"編集 {n} / 追加 0 / 削除 0 / 不可 0"

    def sheet_is(rows, what):
        got = copy_all(s, main)
        check(got == tsv(rows), f"{what}: the sheet holds {got!r}")

    def popup(index):
        g = s.find(main, "MorvaneSheet")
        s.clicks = getattr(s, "clicks", 0) + 1
        s.click_at(g.rect[0] + 60 + s.clicks % 6, g.rect[1] + 30, button=3)
        s.wait_until(lambda: any(w[0] == "#32768" for w in s.process_windows(main)), 15, "the popup menu")
        s.menu_choose(index)

    def read_back(line):
        """Excelから取込, waiting for its one log line."""
        before = log_lines(s, main)
        popup(MENU_IMPORT)
        s.wait_until(lambda: len(log_lines(s, main)) > len(before), 30, f"the log line {line!r}")
        added = log_lines(s, main)[len(before):]
        check(added == [line] if not line.endswith(": ") else (len(added) == 1 and added[0].startswith(line)),
              f"the read-back logged {added}, expected {line!r}")

    # 1. The table goes to Excel, which makes numbers and dates of what it can.
    xl = Excel(s)
    preset = os.path.join(s.work, "edits.txt")
    open(preset, "w").close()
    p, w = xl.start(f"--preset={preset}")
    m.press_excel()
    s.wait_until(lambda: os.path.exists(xl.cells), 30, "the stand-in Excel's cells")
    check(read_tsv(xl.cells) == CONVERTED, f"Excel holds {read_tsv(xl.cells)}")

    # 2. The user edits three cells in Excel.
    with open(preset, "w", encoding="utf-8") as f:
        f.write(EDITS)
    s.post(w, RELOAD_PRESET)
    s.wait_until(lambda: "preset 4 cells" in xl.served(), 20, "Excel to take the edits")

    # 3. The read-back marks exactly the three; the texts Excel turned into equal numbers stay.
    edited = [list(r) for r in TABLE]
    for (r, c), text in EDITED.items():
        edited[r][c] = text
    read_back(IMPORT + "変更 = 3")
    s.wait_until(lambda: s.status_panel(main, 2) == pending(3), 15, "three edits pending")
    wait_for_marks(s, main, "1-read-back", MARKS)
    check(xl.served()[-3:] == ["ActiveSheet", "Range A1 D4", "Value get"], f"Excel served {xl.served()}")
    # Before any Ctrl+C: copying the sheet ends the undo group count at one.
    click_cell(s, main, 1, 1)  # the keys go to the sheet
    s.keys("ctrl+z")
    s.wait_until(lambda: s.status_panel(main, 2) in NONE_PENDING, 15, "one Ctrl+Z to take the three back")
    wait_for_marks(s, main, "2-undone", [])
    sheet_is(TABLE, "after one Ctrl+Z")
    read_back(IMPORT + "変更 = 3")
    s.wait_until(lambda: s.status_panel(main, 2) == pending(3), 15, "three edits pending again")
    wait_for_marks(s, main, "3-read-again", MARKS)
    sheet_is(edited, "after the second read-back")

    # 4. Update writes the three texts and nothing else.
    s.click_button(main, "更新")
    s.wait_until(lambda: "[更新] 編集 = 3, 追加 = 0, 削除 = 0" in log_lines(s, main), 60, "the Update log line")
    s.close_window(s.wait_window("nanoCAD 5"))
    s.wait_until(lambda: cad_proc.poll() is not None, 30, "the CAD to save and end")
    before, after = texts(dxf), texts(saved)
    changed = {h: (before[h], after.get(h)) for h in before if before[h] != after.get(h)}
    check(sorted(changed.values()) == sorted((TABLE[r][c], t) for (r, c), t in EDITED.items())
          and set(after) == set(before), f"the drawing's texts changed: {changed}")

    # 5. Exported as text, Excel keeps every string as it was, and reading it back changes nothing.
    popup(MENU_AS_TEXT)
    m.press_excel()
    s.wait_until(lambda: xl.served()[-1:] == ["Value put 4x4 byref"], 30, "the export as text")
    check(xl.served()[-3:] == ["Range A1 D4", "NumberFormat put @", "Value put 4x4 byref"],
          f"Excel served {xl.served()}")
    s.wait_until(lambda: read_tsv(xl.cells) == edited, 15, "Excel to hold the sheet's texts")
    read_back(IMPORT + "変更 = 0")
    check(s.status_panel(main, 2) in NONE_PENDING, f"panel 2 reads {s.status_panel(main, 2)!r}")
    sheet_is(edited, "after reading back the text export")
    xl.close(p, w)

    # 6. Failures: one log line each; the sheet and its undo history stay. The
    # typed cell is the last step to undo before and after them.
    typed = [list(r) for r in edited]
    typed[2][1] = "7"
    go_to(s, main, 2, 3)
    s.type_text("7")  # one undo entry; the click of the copy ends the edit
    s.wait_until(lambda: copy_all(s, main) == tsv(typed), 15, "the typed edit in the sheet")
    s.wait_until(lambda: s.status_panel(main, 2) == pending(1), 15, "the typed edit pending")
    for name, args, title, line in [
            ("refused read", ["--refuse-read"], "Excel - Book1", IMPORT + "読み取れませんでした: "),
            ("wrong shape", ["--wrong-shape"], "Excel - Book1", IMPORT + "Excel の応答が範囲の大きさと違います: "),
            ("no workbook", ["--no-workbook"], "Excel", IMPORT + "Excel でブックが開かれていません"),
            ("no Excel", None, None, IMPORT + "Excel が見つかりません")]:
        print(f"== {name}", flush=True)
        if args is not None:
            p, w = xl.start(*args, title=title)
        read_back(line)
        check(s.status_panel(main, 2) == pending(1), f"{name}: panel 2 reads {s.status_panel(main, 2)!r}")
        wait_for_marks(s, main, f"4-{name.replace(' ', '-')}", [("edit", 3)])
        if args is not None:
            xl.close(p, w)
    sheet_is(typed, "after the failures")  # its Ctrl+C makes the next Ctrl+Z revert one entry
    s.keys("ctrl+z")
    s.wait_until(lambda: s.status_panel(main, 2) in NONE_PENDING, 15, "Ctrl+Z to take the typed cell back")
    sheet_is(edited, "after the failures and one Ctrl+Z")
    s.close_window(main)
    s.wait_until(lambda: s.procs[1].poll() is not None, 20, "Morvane to end")


if __name__ == "__main__":
    e2e.run("excel_round_trip", scenario)
