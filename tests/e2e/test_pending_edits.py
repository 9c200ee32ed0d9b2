"""A user's edits that Update has not written are never thrown away unasked.
The user reads a table and types into a cell; 取得 then asks "未更新の変更が
1 件あります。破棄しますか？", and No leaves the sheet, the log and the status
bar as they were, with the CAD never asked to select. Closing the window asks
the same, and No keeps it open. Inside the cell editor Ctrl+V pastes a
fragment into the text; a paste that reaches past the sheet says in the log
what it dropped. With a tolerance of 0 typed, 取得 asks again, Yes drops the
edits, the table is read with 0.1 and the log says so. With the CAD gone,
更新 says why in status panel 3 and nowhere else; with nothing pending the
window closes without a question."""

import os

import e2e
from e2e import check
from test_acquire_sheet import copy_all
from test_update_locate import go_to, log_lines, type_into, editor_shows, editor_closed

SAMPLE = "parts_list.dxf"
WINDOW = "5,139,175,203"
DRAWN_LOG_END = "Yoko = 8, Tate = 5"


def scenario(s):
    with open(s.sample(SAMPLE.replace(".dxf", ".expected.tsv")), encoding="utf-8", newline="") as f:
        drawn = f.read()
    rows = [line.split("\t") for line in drawn.split("\r\n")[:-1]]
    calls_path = os.path.join(s.work, "calls.log")
    cad = s.start_standin(s.sample(SAMPLE), f"--auto-select=window:{WINDOW}", "--auto-select-delay=300",
                          f"--call-log={calls_path}")
    main = s.start_morvane({"AcadMRV": {"Left": 600, "Top": 560}})
    morvane = s.procs[-1]

    def selections():
        if not os.path.exists(calls_path):
            return 0
        with open(calls_path, encoding="utf-8") as f:
            return sum(1 for line in f if line.strip() == "SelectOnScreen")

    def panel(n):
        return s.status_panel(main, n)

    s.click_button(main, "取得")
    s.wait_until(lambda: log_lines(s, main)[-1:] == [DRAWN_LOG_END], 60, "the Acquire log")
    check(selections() == 1, f"{selections()} selections for one Acquire")
    # Locate is not part of this story: without the arrowhead a click keeps the focus here.
    s.arrowhead_off(main)

    # 1. One edit, pending; 取得 asks, No keeps everything.
    type_into(s, main, 1, 2, "EDITED")
    s.wait_until(lambda: panel(2) == "編集 1 / 追加 0 / 削除 0 / 不可 0", 15, "the pending count")
    log = log_lines(s, main)
    caption = s.windows(main)[0].text
    s.click_button(main, "取得")
    question = s.answer_pending(main, False)
    check(question == "未更新の変更が 1 件あります。破棄しますか？", f"the question: {question!r}")
    check(log_lines(s, main) == log, f"after No the log reads {log_lines(s, main)}")
    check(panel(2) == "編集 1 / 追加 0 / 削除 0 / 不可 0", f"after No panel 2 reads {panel(2)!r}")
    check(s.windows(main)[0].text == caption, "after No the caption changed")
    check(selections() == 1, "after No the CAD was asked to select")
    s.screenshot("1-no-keeps-the-edit")

    # 2. The close asks the same; No keeps the window open.
    s.close_window(main)
    question = s.answer_pending(main, False)
    check(question == "未更新の変更が 1 件あります。破棄しますか？", f"the close asked {question!r}")
    check(morvane.poll() is None, "Morvane ended after No")
    check(panel(2) == "編集 1 / 追加 0 / 削除 0 / 不可 0", "after the close's No panel 2 changed")

    # 3. Ctrl+V inside the cell editor pastes into the text: "15" becomes "15-frag".
    s.set_clipboard("-frag\r\nsecond line\r\n")
    go_to(s, main, 3, 2)
    s.keys("F2")
    s.wait_until(lambda: editor_shows(s, main, "15"), 15, "the editor on 15")
    s.keys("End", "ctrl+v")
    s.wait_until(lambda: editor_shows(s, main, "15-frag"), 15, "the fragment in the editor")
    s.keys("Return")
    s.wait_until(lambda: editor_closed(s, main), 15, "the edit to end")

    # 4. 1,000 lines pasted into the last row: 999 are dropped, and the log says so.
    s.set_clipboard("x\r\n" * 1000)
    go_to(s, main, 1, 7)
    s.keys("ctrl+v")
    s.wait_until(lambda: log_lines(s, main)[-2:] == ["[CTRL]+[V]", "[ペースト] シートに収まらず捨てた行 = 999, 列 = 0"],
                 15, "the paste's log lines")
    edited = [r[:] for r in rows]
    edited[1][0], edited[1][2], edited[6][0] = "EDITED", "15-frag", "x"
    got = copy_all(s, main)
    check(got == "".join("\t".join(r) + "\r\n" for r in edited), f"the edited sheet: {got!r}")
    s.wait_until(lambda: panel(2) == "編集 3 / 追加 0 / 削除 0 / 不可 0", 15, "three edits pending")
    s.screenshot("2-three-edits")

    # 5. A tolerance of 0; 取得 asks about the three edits, Yes drops them, 0.1 is used.
    edit1 = [w for w in s.windows(main) if w.cls.lower() == "edit" and w.text == "0.1"][0]
    s.click_at(*edit1.centre())
    s.keys("End", "shift+Home")
    s.type_text("0")
    s.wait_until(lambda: any(w.cls.lower() == "edit" and w.text == "0" for w in s.windows(main)), 15,
                 "the tolerance 0")
    s.click_button(main, "取得")
    question = s.answer_pending(main, True)
    check(question == "未更新の変更が 3 件あります。破棄しますか？", f"the second question: {question!r}")
    s.wait_until(lambda: log_lines(s, main)[-1:] == ['[取得] 許容 "0" は使えないため 0.1 を使いました'], 60,
                 "the tolerance's log line")
    log = log_lines(s, main)
    check(log[0] == "Select = 39" and log[-2] == DRAWN_LOG_END, f"the Acquire under 0 logged {log}")
    check(selections() == 2, f"{selections()} selections after Yes")
    check(copy_all(s, main) == drawn, "after Yes the sheet is not the drawn table")
    s.wait_until(lambda: panel(2) == "", 15, "nothing pending after Yes")
    s.screenshot("3-yes-drops-the-edits")

    # 6. The CAD gone: 更新 ends without a box or a log line and says why in panel 3.
    s.close_window(cad)
    s.wait_until(lambda: s.procs[0].poll() is not None, 30, "the stand-in CAD to end")
    log = log_lines(s, main)
    s.click_button(main, "更新")
    s.wait_until(lambda: panel(3) == "nanoCAD 5 が見つかりません", 15, "the reason in panel 3")
    check(log_lines(s, main) == log, f"更新 without a CAD logged {log_lines(s, main)}")
    check(s.pending_question(main) is None and s.driver("dialog", 500, main, check_rc=False)[0] != 0,
          "更新 without a CAD showed a box")
    s.screenshot("4-no-cad")

    # 7. Nothing pending: the close asks nothing and Morvane ends.
    s.close_window(main)
    s.wait_until(lambda: morvane.poll() is not None, 20, "Morvane to end without a question")


if __name__ == "__main__":
    e2e.run("pending_edits", scenario, served_driver=False)
