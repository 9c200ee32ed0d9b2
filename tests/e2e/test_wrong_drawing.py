"""A user reads the parts list, types "WRONGDRAWING" into the cell of the
text whose handle, in another drawing, names "50A 3.7kW", then opens that
other drawing in the CAD (as ファイル → 開く) and presses "更新". Nothing is
written: the log names both drawings, a box tells the user to open the
drawing or read the table again, the edit is still pending and marked, and
the caption still names the parts list. A click on a cell does not move the
CAD's view. The other drawing, saved when the CAD closes, is byte for byte
what the CAD saves of it untouched, and ezdxf finds every text as it was."""

import os

import e2e

ezdxf = e2e.require_ezdxf()
from e2e import check
from test_acquire_sheet import memo_text
from test_update_locate import calls, click_cell, log_lines, type_into, wait_for_marks

SAMPLE = "parts_list.dxf"
WINDOW = "5,139,175,203"
OTHER = "table_in_context.dxf"
WRITES = ("HandleToObject", "Copy", "Erase", "StartUndoMark", "Regen")


def close_morvane(s, main, proc):
    """Closes the main window; a question about edits not yet written, if
    one is asked, is answered Yes."""
    s.close_window(main)

    def ended():
        if proc.poll() is not None:
            return True
        rc, out = s.driver("dialog", 0, main, check_rc=False)
        if rc == 0:
            s.post(int(out.strip().splitlines()[0]), 0x0111, 6, 0)  # WM_COMMAND IDYES
        return False

    s.wait_until(ended, 30, "Morvane to end")


def untouched_save(s, path):
    """What the CAD writes of the drawing when nothing touched it: the
    stand-in opens it and saves it as it closes."""
    saved = os.path.join(s.work, "untouched.dxf")
    s.start_standin(path, f"--save-on-close={saved}")
    cad = s.wait_window("nanoCAD 5")
    s.close_window(cad)
    s.wait_until(lambda: s.procs[-1].poll() is not None, 30, "the reference CAD to save and end")
    check(s.procs[-1].returncode == 0, f"the reference CAD ended with {s.procs[-1].returncode}")
    with open(saved, "rb") as f:
        return f.read()


def scenario(s):
    other = os.path.join(s.work, OTHER)
    with open(s.sample(OTHER), "rb") as src, open(other, "wb") as dst:
        dst.write(src.read())
    reference = untouched_save(s, other)

    calls_path = os.path.join(s.work, "calls.log")
    saved = os.path.join(s.work, "saved.dxf")
    cad = s.start_standin(s.sample(SAMPLE), f"--auto-select=window:{WINDOW}", "--auto-select-delay=300",
                          f"--call-log={calls_path}", f"--save-on-close={saved}")
    cad_proc = s.procs[-1]
    s.main = main = s.start_morvane({"AcadMRV": {"Left": 700, "Top": 640}})
    morvane_proc = s.procs[-1]
    s.click_button(main, "取得")
    s.wait_until(lambda: "Yoko = " in memo_text(s, main), 60, "the Acquire log")
    caption = "Morvane 2025.06.08a [ nanoCAD 5 ] parts_list.dxf"
    check(s.windows(main)[0].text == caption, f"caption {s.windows(main)[0].text!r}")

    s.click_button(main, "矢印描画")  # no Locate while typing
    type_into(s, main, 1, 3, "WRONGDRAWING")  # 平座金 M8, handle A1: "50A 3.7kW" in the other drawing
    pending = "編集 1 / 追加 0 / 削除 0 / 不可 0"
    s.wait_until(lambda: s.status_panel(main, 2) == pending, 15, "the edit pending")

    s.driver("cad-open", other)
    opened = len(calls(calls_path))
    s.click_button(main, "更新")
    rc, out = s.driver("dialog", 30000, main, check_rc=False)
    check(rc == 0, "no box after the Update in another drawing")
    box = out.strip().splitlines()
    s.screenshot("1-wrong-drawing-box")
    check(any("parts_list.dxf" in line for line in box[1:]) and any("取得し直して" in line for line in box[1:]),
          f"the box said {box[1:]}")
    s.post(int(box[0]), 0x0111, 1, 0)  # WM_COMMAND IDOK
    s.wait_until(lambda: s.driver("dialog", 0, main, check_rc=False)[0] != 0, 15, "the box to close")

    line = log_lines(s, main)[-1]
    check(line.startswith("[更新] 取得した図面ではないため書き込みませんでした: 取得 = ")
          and "parts_list.dxf, 現在 = " in line and line.endswith(OTHER), f"the log's last line {line!r}")
    check(not any(l.startswith("[更新] 編集") for l in log_lines(s, main)), f"log {log_lines(s, main)}")
    check(s.status_panel(main, 2) == pending, f"pending after the refused Update: {s.status_panel(main, 2)!r}")
    wait_for_marks(s, main, "2-still-pending", [("edit", 3)])
    check(s.windows(main)[0].text == caption, f"caption {s.windows(main)[0].text!r}")

    # Locate in the other drawing: the handle shows, the view stays.
    s.click_button(main, "矢印描画")
    click_cell(s, main, 1, 2)
    s.wait_until(lambda: "Handle = " in s.status_panel(main, 0), 20, "the handle in the status bar")
    served = calls(calls_path)[opened:]
    check("FullName" in served, f"no check of the drawing: {served}")
    check(not any(l.startswith("zoom ") for l in served), f"the view moved: {served}")
    check(not any(l in WRITES for l in served), f"calls into the other drawing: {served}")

    s.close_window(cad)
    s.wait_until(lambda: cad_proc.poll() is not None, 30, "the CAD to save and end")
    check(cad_proc.returncode == 0, f"the CAD ended with {cad_proc.returncode}")
    with open(saved, "rb") as f:
        check(f.read() == reference, "the other drawing is not byte for byte as the CAD saves it untouched")
    before = {e.dxf.handle: e.dxf.text for e in ezdxf.readfile(s.sample(OTHER)).modelspace() if e.dxftype() == "TEXT"}
    after = {e.dxf.handle: e.dxf.text for e in ezdxf.readfile(saved).modelspace() if e.dxftype() == "TEXT"}
    check(after == before and after["A1"] == "50A 3.7kW", f"texts of the other drawing {after}")

    close_morvane(s, main, morvane_proc)


if __name__ == "__main__":
    e2e.run("wrong_drawing", scenario)
