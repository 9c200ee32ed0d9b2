"""A user edits an acquired sheet through the real windows: pastes a block
copied from another program with Ctrl+V, converts a block to full width from
the popup menu, replaces text through the replace dialog with keys typed into
its edit boxes, and picks an input candidate from the popup with the arrow
key; each command is taken back with one Ctrl+Z. Screenshots of the replace
dialog and the candidates popup are saved."""

import e2e
from e2e import check

SAMPLE = "parts_list.dxf"
WINDOW = "5,139,175,203"
# Places in the popup menu, separators not counted.
MENU_REPLACE = 7    # 置換
MENU_TO_WIDE = 9    # 半角->全角
ROW_HEIGHT = 20
COL0_WIDTH = 40


def memo_lines(s, main):
    for w in s.windows(main):
        if w.cls.lower() == "edit" and "Select = " in w.text:
            return [l for l in w.text.split("\r\n") if l]
    return []


def read_table(text):
    return [line.split("\t") for line in text.split("\r\n")[:-1]]


class Sheet:
    def __init__(self, s, main):
        self.s = s
        self.main = main

    def rect(self):
        return self.s.find(self.main, "MorvaneSheet").rect

    def click(self, row, button=1):
        """A click into column 1 of a data row (the other columns' widths follow their texts)."""
        l, t, _, _ = self.rect()
        self.s.click_at(l + COL0_WIDTH + 12, t + row * ROW_HEIGHT + 10, button=button)

    def select(self, row, bottom):
        """Rows row..bottom of column 1: a click on the first, then Shift+Down."""
        self.click(row)
        if bottom > row:
            self.s.keys(*["shift+Down"] * (bottom - row))

    def table(self):
        s = self.s
        s.driver("clear-clipboard")
        l, t, _, _ = self.rect()
        s.click_at(l + 8, t + 8)  # the top-left header cell selects every data cell
        s.keys("ctrl+c")
        return read_table(s.wait_until(lambda: s.clipboard(), 15, "the sheet on the clipboard"))


def scenario(s):
    with open(s.sample(SAMPLE.replace(".dxf", ".expected.tsv")), encoding="utf-8", newline="") as f:
        drawn = read_table(f.read())

    s.start_standin(s.sample(SAMPLE), f"--auto-select=window:{WINDOW}", "--auto-select-delay=500")
    main = s.start_morvane()
    s.click_button(main, "取得")
    s.wait_until(lambda: any(l.startswith("Yoko = ") for l in memo_lines(s, main)), 60, "the Acquire log")
    # Locate is not part of this story: without the arrowhead a move of the
    # current cell keeps the focus here.
    s.arrowhead_off(main)
    sheet = Sheet(s, main)
    check(sheet.table() == drawn, "the sheet does not show the drawn table")

    # Reading the sheet goes through Ctrl+C, which sets the group count to 1:
    # each command is therefore run, taken back with one Ctrl+Z and checked,
    # then run again and its result read.
    def undone_by_one_ctrl_z(before, what):
        s.keys("ctrl+z")
        got = sheet.table()
        check(got == before, f"one Ctrl+Z after the {what} left {got}")

    def shows(want, what):
        s.wait_until(lambda: sheet.table() == want, 15, what)

    def replaced(table, rows, col, values):
        out = [row[:] for row in table]
        for row, value in zip(rows, values):
            out[row - 1][col - 1] = value
        return out

    # 1. A block copied from another program, pasted with Ctrl+V into rows
    # 3..6 of column 1: two lines repeated whole downwards, their second
    # fields in column 2.
    def paste():
        s.set_clipboard("ﾎﾞﾙﾄ\t１２\r\nAbc\tx\r\n")
        sheet.select(3, 6)
        lines = len(memo_lines(s, main))
        s.keys("ctrl+v")
        s.wait_until(lambda: len(memo_lines(s, main)) > lines and memo_lines(s, main)[-1] == "[CTRL]+[V]", 15,
                     "the [CTRL]+[V] log line")

    paste()
    undone_by_one_ctrl_z(drawn, "paste")
    paste()
    pasted = replaced(replaced(drawn, range(3, 7), 1, ["ﾎﾞﾙﾄ", "Abc"] * 2), range(3, 7), 2, ["１２", "x"] * 2)
    shows(pasted, "the pasted block")
    s.screenshot("1-pasted")

    # 2. 半角->全角 from the popup menu over rows 5..7 of column 1.
    def convert():
        sheet.select(5, 7)
        sheet.click(6, button=3)
        s.menu_choose(MENU_TO_WIDE)

    convert()
    undone_by_one_ctrl_z(pasted, "conversion")
    convert()
    converted = replaced(pasted, range(5, 8), 1, ["ボルト", "Ａｂｃ", "Ｓｈａｆｔ\u3000⌀２０"])
    shows(converted, "the converted block")

    # 3. Replace through the dialog over rows 2..4 of column 1: "m8" typed
    # into the find box matches "M8" (the case box is ticked), "M10" into the
    # replacement box.
    def replace(screenshot):
        sheet.select(2, 4)
        sheet.click(3, button=3)
        s.menu_choose(MENU_REPLACE)
        dialog = s.wait_window("文字列置換")
        edits = [w for w in s.windows(dialog) if w.cls.lower() == "edit"]
        check([e.text for e in edits] == ["六角ボルト M8×20"] * 2, f"edit boxes open with {[e.text for e in edits]}")
        check(s.find(dialog, "Button", "大文字/小文字を無視").checked == 1, "the case box is not ticked")
        s.type_text("m8")
        s.keys("Tab")
        s.type_text("M10")
        s.wait_until(lambda: [w.text for w in s.windows(dialog) if w.cls.lower() == "edit"] == ["m8", "M10"], 15,
                     "the typed texts in the edit boxes")
        if screenshot:
            s.screenshot("2-replace-dialog")
        s.click_button(dialog, "実行")
        s.wait_until(lambda: not s.windows(dialog)[0].visible, 15, "the dialog to close")

    replace(True)
    undone_by_one_ctrl_z(converted, "replace")
    replace(False)
    after_replace = replaced(converted, [2], 1, ["六角ボルト M10×20"])
    shows(after_replace, "the replaced text")

    # 4. Input candidates for rows 6..7 of column 4 (備考), from the speed
    # button. The first candidate is selected; Down selects the second and
    # picks it at once: in the locale's order, "NSK" then "ステンレス".
    def pick(screenshot):
        sheet.click(6)
        s.keys("Right", "Right", "Right", "shift+Down")
        s.click_button(main, "入力候補")
        popup = s.wait_window("入力候補")
        if screenshot:
            s.screenshot("3-candidates")
        s.keys("Down")
        s.wait_until(lambda: not s.windows(popup)[0].visible, 15, "the popup to close")

    pick(True)
    undone_by_one_ctrl_z(after_replace, "candidate")
    pick(False)
    shows(replaced(after_replace, [6, 7], 4, ["ステンレス"] * 2), "the picked candidate in rows 6 and 7")
    s.screenshot("4-picked")

    # The edits were never written to the drawing: the close asks first.
    s.close_morvane(main, s.procs[1])
    s.close_window(s.wait_window("nanoCAD 5"))


if __name__ == "__main__":
    e2e.run("editing", scenario)
