"""A user points Morvane at another build of the CAD through the settings
file's "CAD" section. First the CAD runs under another title and class id:
the caption names that title, Acquire reads the table, and the close writes
both keys back. Then a CAD under the old title "nanoCAD 5" is running while
the keys point elsewhere: Acquire finds no CAD, says so in the status bar
as it does today, and asks the old CAD nothing."""

import os

import e2e
from e2e import MAIN_TITLE, STANDIN, check
from test_update_locate import calls
from test_editing import memo_lines

SAMPLE = "parts_list.dxf"
WINDOW = "5,139,175,203"
TITLE = "nanoCAD x64 23.1"
CLSID = "{6E2C5F3A-0B7D-4C19-9A8E-3D2F1B0C4A57}"
SETTINGS = {"CAD": {"Title": TITLE, "CLSID": CLSID}}
ENDING_PANEL = 3


def settings_text(s):
    ini = s.morvane_exe[:-4] + ".ini"
    raw = open(ini, "rb").read()
    return raw.decode("utf-16") if raw.startswith(b"\xff\xfe") else raw.decode("latin-1")


def close_cad(s, hwnd, proc):
    s.close_window(hwnd)
    s.wait_until(lambda: proc.poll() is not None, 30, "the CAD to end")


def scenario(s):
    # 1. Another title, another class id: found, connected, read.
    s.start(s.path(STANDIN), s.sample(SAMPLE), f"--auto-select=window:{WINDOW}", "--auto-select-delay=500",
            f"--title={TITLE}", f"--clsid={CLSID}")
    cad_proc = s.procs[-1]
    cad = s.wait_window(TITLE)
    main = s.start_morvane(SETTINGS)
    morvane_proc = s.procs[-1]
    s.wait_window(f"{MAIN_TITLE} [ {TITLE} ]")
    s.click_button(main, "取得")
    log = s.wait_until(lambda: [l for l in memo_lines(s, main) if l.startswith("Yoko = ")] and memo_lines(s, main),
                       60, "the Acquire log")
    check("Yoko = 8, Tate = 5" in log, f"Acquire log {log}")
    check(not any("は使えません" in l for l in log), f"a setting was refused: {log}")
    s.wait_window(f"{MAIN_TITLE} [ {TITLE} ] parts_list.dxf")
    s.screenshot("1-other-cad")
    s.close_window(main)
    s.wait_until(lambda: morvane_proc.poll() is not None, 20, "Morvane to end")
    text = settings_text(s)
    check(f"Title={TITLE}" in text and f"CLSID={CLSID}" in text and "[CAD]" in text, f"settings file {text!r}")
    close_cad(s, cad, cad_proc)

    # 2. The old CAD under the old title: not the one the keys name.
    calls_path = os.path.join(s.work, "calls.log")
    old = s.start_standin(s.sample(SAMPLE), f"--auto-select=window:{WINDOW}", f"--call-log={calls_path}")
    old_proc = s.procs[-1]
    main = s.start_morvane()  # the keys written by the first run
    morvane_proc = s.procs[-1]
    s.click_button(main, "取得")
    s.wait_until(lambda: s.status_panel(main, ENDING_PANEL) == f"{TITLE} が見つかりません", 30,
                 "the status bar to say the CAD was not found")
    s.screenshot("2-not-found")
    check(not any(l.startswith("Select = ") for l in memo_lines(s, main)), "Acquire went on without a CAD")
    check([l for l in calls(calls_path) if not l.startswith("pid ")] == [], "the old CAD was called")
    check(not s.find(main, "Button", "更新").enabled, "更新 enabled without a table")
    s.close_window(main)
    s.wait_until(lambda: morvane_proc.poll() is not None, 20, "Morvane to end")
    close_cad(s, old, old_proc)


if __name__ == "__main__":
    e2e.run("cad_target", scenario)
