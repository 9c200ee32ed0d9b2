"""Users edit in the CAD and in the sheet at once. A user reads the parts
list and, in the sheet, edits "六角ボルト M8×20", empties "ステンレス" and edits
"平座金 M8"; meanwhile the first two are changed in the CAD. "更新" writes
only the third: the log counts the two left alone, the status bar counts
them, each keeps a mark of its own, and a second "更新" leaves them alone
again without asking the CAD about them. The drawing the CAD saves, read
with ezdxf, holds the CAD's two texts and the sheet's one edit. The calls
each written cell costs are read from the CAD's call log."""

import os

import e2e

ezdxf = e2e.require_ezdxf()
from e2e import check
from test_acquire_sheet import memo_text
from test_update_locate import calls, log_lines, type_into, wait_for_marks
from test_wrong_drawing import close_morvane

SAMPLE = "parts_list.dxf"
WINDOW = "5,139,175,203"
# (column, row, handle, typed in the sheet, set in the CAD meanwhile)
BOTH = [(1, 2, "9D", "SHEET EDIT", "CAD EDIT"), (4, 2, "A0", "", "CAD EDIT 2")]
SHEET_ONLY = (1, 3, "A1", "PLAIN EDIT")


def members_per_cell(segment):
    """The members called for each cell the run asked the CAD about, from its call log."""
    members = [l for l in segment if not l.startswith(("zoom ", "pid ", "error"))
               and l not in ("StartUndoMark", "EndUndoMark", "Regen", "HWND")]
    starts = [i for i, m in enumerate(members) if m == "HandleToObject"] + [len(members)]
    return [members[a:b] for a, b in zip(starts, starts[1:])]


def scenario(s):
    calls_path = os.path.join(s.work, "calls.log")
    saved = os.path.join(s.work, "saved.dxf")
    cad = s.start_standin(s.sample(SAMPLE), f"--auto-select=window:{WINDOW}", "--auto-select-delay=300",
                          f"--call-log={calls_path}", f"--save-on-close={saved}")
    cad_proc = s.procs[-1]
    s.main = main = s.start_morvane({"AcadMRV": {"Left": 700, "Top": 640}})
    morvane_proc = s.procs[-1]
    s.click_button(main, "取得")
    s.wait_until(lambda: "Yoko = " in memo_text(s, main), 60, "the Acquire log")

    s.click_button(main, "矢印描画")  # no Locate while typing
    for col, row, _, typed, _ in BOTH:
        type_into(s, main, col, row, typed)
    type_into(s, main, SHEET_ONLY[0], SHEET_ONLY[1], SHEET_ONLY[3])
    s.wait_until(lambda: s.status_panel(main, 2) == "編集 2 / 追加 0 / 削除 1 / 不可 0", 15, "the edits pending")
    wait_for_marks(s, main, "1-edited", [("edit", 2), ("edit", 3), ("delete", 2)])
    for _, _, handle, _, in_cad in BOTH:
        s.driver("cad-set-text", handle, in_cad)

    before = len(calls(calls_path))
    s.click_button(main, "更新")
    s.wait_until(lambda: "[更新] 図面側で変更されていたため飛ばしたセル = 2" in log_lines(s, main), 60,
                 "the Update's log lines")
    check(log_lines(s, main)[-2:] == ["[更新] 編集 = 1, 追加 = 0, 削除 = 0",
                                      "[更新] 図面側で変更されていたため飛ばしたセル = 2"], f"log {log_lines(s, main)}")
    s.wait_until(lambda: "Regen" in calls(calls_path)[before:], 20, "the regeneration")
    cells = members_per_cell(calls(calls_path)[before:])
    print(f"calls for each cell: {cells}")
    read_only = ["HandleToObject", "ObjectName", "TextString"]
    check(cells[:2] == [read_only, read_only], f"the cells changed in the CAD cost {cells[:2]}")
    check(cells[2:] == [read_only + ["TextString", "Update"]], f"the written cell cost {cells[2:]}")

    counted = "編集 0 / 追加 0 / 削除 0 / 不可 0 / 図面側で変更 2"
    s.wait_until(lambda: s.status_panel(main, 2) == counted, 15, "the two cells counted")
    wait_for_marks(s, main, "2-changed-in-drawing", [("changed", 2), ("changed", 2)])

    # The second run leaves the two alone without a call for them.
    before = len(calls(calls_path))
    s.click_button(main, "更新")
    s.wait_until(lambda: log_lines(s, main)[-2:] == ["[更新] 編集 = 0, 追加 = 0, 削除 = 0",
                                                     "[更新] 図面側で変更されていたため飛ばしたセル = 2"], 60,
                 "the second Update's log lines")
    s.wait_until(lambda: "Regen" in calls(calls_path)[before:], 20, "the second regeneration")
    check("HandleToObject" not in calls(calls_path)[before:], f"second run {calls(calls_path)[before:]}")
    check(s.status_panel(main, 2) == counted, f"after the second run: {s.status_panel(main, 2)!r}")

    s.close_window(cad)
    s.wait_until(lambda: cad_proc.poll() is not None, 30, "the CAD to save and end")
    check(cad_proc.returncode == 0, f"the CAD ended with {cad_proc.returncode}")
    original = {e.dxf.handle: e.dxf.text for e in ezdxf.readfile(s.sample(SAMPLE)).modelspace()
                if e.dxftype() == "TEXT"}
    after = {e.dxf.handle: e.dxf.text for e in ezdxf.readfile(saved).modelspace() if e.dxftype() == "TEXT"}
    expected = dict(original)
    for _, _, handle, _, in_cad in BOTH:
        expected[handle] = in_cad
    expected[SHEET_ONLY[2]] = SHEET_ONLY[3]
    check(after == expected, f"texts saved {sorted(set(after.items()) ^ set(expected.items()))}")

    close_morvane(s, main, morvane_proc)


if __name__ == "__main__":
    e2e.run("drawing_changed", scenario)
