"""One Update is one step of the CAD's own undo: a user edits a cell, empties
one and fills one, presses "更新", then undoes once in the CAD. The drawing
the CAD saves holds the same entities as before the Update, read by ezdxf."""

import os

import e2e
from e2e import check
from test_update_locate import calls, ezdxf, log_lines, type_into

SAMPLE = "parts_list.dxf"
WINDOW = "5,139,175,203"
WM_COMMAND = 0x0111
CAD_COMMAND_UNDO = 105  # the stand-in's 編集 > 元に戻す (Ctrl+Z)


def entities(path):
    out = {}
    for e in ezdxf.readfile(path).modelspace():
        key = [e.dxftype(), e.dxf.layer]
        if e.dxftype() == "TEXT":
            key += [e.dxf.text, tuple(e.dxf.insert), tuple(e.dxf.get("align_point", (0, 0, 0)))]
        elif e.dxftype() == "LINE":
            key += [tuple(e.dxf.start), tuple(e.dxf.end)]
        out[e.dxf.handle] = tuple(key)
    return out


def scenario(s):
    calls_path = os.path.join(s.work, "calls.log")
    saved = os.path.join(s.work, "saved.dxf")
    cad = s.start_standin(s.sample(SAMPLE), f"--auto-select=window:{WINDOW}", "--auto-select-delay=300",
                          f"--call-log={calls_path}", f"--save-on-close={saved}")
    main = s.start_morvane({"AcadMRV": {"Left": 700, "Top": 640}})
    s.click_button(main, "取得")
    s.wait_until(lambda: "Yoko = 8, Tate = 5" in log_lines(s, main), 60, "the Acquire log")
    s.click_button(main, "矢印描画")
    type_into(s, main, 1, 2, "BOLT")
    type_into(s, main, 4, 5, "")
    type_into(s, main, 4, 3, "SUS")
    s.click_button(main, "更新")
    s.wait_until(lambda: "[更新] 編集 = 1, 追加 = 1, 削除 = 1" in log_lines(s, main), 60, "the Update log line")
    s.wait_until(lambda: "Regen" in calls(calls_path), 20, "the regeneration")
    members = calls(calls_path)
    check(members.count("StartUndoMark") == 1 and members.count("EndUndoMark") == 1, "one undo group")
    s.screenshot("1-updated")

    s.post(cad, WM_COMMAND, CAD_COMMAND_UNDO)
    s.wait_until(lambda: "undo" in calls(calls_path), 20, "the CAD's undo")
    s.screenshot("2-undone")
    s.close_window(cad)
    s.wait_until(lambda: s.procs[0].poll() is not None, 30, "the CAD to save and end")
    check(s.procs[0].returncode == 0, f"the CAD ended with {s.procs[0].returncode}")
    before, after = entities(s.sample(SAMPLE)), entities(saved)
    check(after == before, f"after one undo the drawing differs: {set(after.items()) ^ set(before.items())}")
    s.close_window(main)
    s.wait_until(lambda: s.procs[1].poll() is not None, 20, "Morvane to end")


if __name__ == "__main__":
    # Each command in a driver of its own, for the typing of test_update_locate.
    e2e.run("update_undo", scenario, served_driver=False)
