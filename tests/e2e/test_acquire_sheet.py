"""A user starts Morvane beside the CAD, presses "取得", the selection is
completed by the CAD, and the sheet shows the drawn table: the log holds the
four lines, the whole sheet copied with a click on the top-left header cell and
Ctrl+C equals the table drawn in the sample, typing into a cell and Escape put
the old text back, and closing writes the settings file. The CAD's call log
of the whole story equals the one kept in golden/acquire_sheet.calls: what
Morvane asks the CAD for a plain Acquire never changes unnoticed."""

import os
import re

import e2e
from e2e import check

SAMPLE = "parts_list.dxf"
WINDOW = "5,139,175,203"  # the table's selection window in drawing units (samples/README.md)
CAPTIONS = ["取得", "更新", "Excelへ", "1行目固定", "Enter:[→]", "Enter:[↓]", "a -> A", "矢印描画",
            "除外画層フィルター", "入力候補", "UNDO"]
GOLDEN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "golden", "acquire_sheet.calls")
SETTINGS_KEYS = ["Left", "Top", "chk2", "chk3", "chk4", "edt1", "ProgID", "chk5", "edt2", "mtext", "xltext", "chk6", "Title", "CLSID"]


def memo_text(s, main):
    memo = [w for w in s.windows(main) if w.cls.lower() == "edit" and "Select = " in w.text]
    return memo[0].text if memo else ""


def normalised_calls(path):
    """The call log with what differs from run to run put in words: the
    stand-in's process id on the first line. The log holds no times, window
    handles or addresses (the line "HWND" names the member, not its value)."""
    with open(path, encoding="utf-8") as f:
        return re.sub(r"\Apid \d+\n", "pid <pid>\n", f.read())


def check_golden_calls(path, golden):
    """The run's normalised call log equals the golden one, byte for byte;
    MORVANE_WRITE_GOLDEN=1 writes it there instead, for a change meant to alter it."""
    got = normalised_calls(path)
    if os.environ.get("MORVANE_WRITE_GOLDEN") == "1":
        with open(golden, "w", encoding="utf-8", newline="") as f:
            f.write(got)
        print(f"wrote {golden}")
        return
    with open(golden, encoding="utf-8", newline="") as f:
        want = f.read()
    if got != want:
        import difflib
        diff = "".join(difflib.unified_diff(want.splitlines(True), got.splitlines(True), "golden", "this run"))
        raise e2e.Failure(f"the CAD's call log differs from {golden}:\n{diff}")


def sheet(s, main):
    return s.find(main, "MorvaneSheet")


def copy_all(s, main):
    g = sheet(s, main)
    s.driver("clear-clipboard")
    s.click_at(g.rect[0] + 8, g.rect[1] + 8)  # the top-left header cell selects every data cell
    s.keys("ctrl+c")
    return s.wait_until(lambda: s.clipboard(), 15, "the sheet on the clipboard")


def scenario(s):
    with open(s.sample(SAMPLE.replace(".dxf", ".expected.tsv")), encoding="utf-8", newline="") as f:
        expected = f.read()

    calls_path = os.path.join(s.work, "calls.log")
    s.start_standin(s.sample(SAMPLE), f"--auto-select=window:{WINDOW}", "--auto-select-delay=500",
                    f"--call-log={calls_path}")
    cad_proc = s.procs[-1]
    main = s.start_morvane()
    top = s.windows(main)[0]
    check(top.text == "Morvane 2025.06.08a [ nanoCAD 5 ]", f"caption at start: {top.text!r}")
    for caption in CAPTIONS:
        s.find(main, "Button", caption)
    check(not s.find(main, "Button", "更新").enabled, "更新 is enabled before any Acquire")
    sheet(s, main)
    s.screenshot("1-start")

    s.click_button(main, "取得")
    log = s.wait_until(lambda: "Yoko = " in memo_text(s, main) and memo_text(s, main), 60, "the Acquire log")
    lines = [l for l in log.split("\r\n") if l]
    check(len(lines) == 4, f"log lines: {lines}")
    check(lines[0] == "Select = 39", f"first log line {lines[0]!r}")
    check(re.fullmatch(r"\d+\.\d{3} sec", lines[1]) is not None, f"time line {lines[1]!r}")
    check(lines[2] == "Line = 13, Text = 26", f"third log line {lines[2]!r}")
    check(lines[3] == "Yoko = 8, Tate = 5", f"fourth log line {lines[3]!r}")
    caption = s.windows(main)[0].text
    check(caption == "Morvane 2025.06.08a [ nanoCAD 5 ] parts_list.dxf", f"caption after Acquire: {caption!r}")
    check(s.find(main, "Button", "更新").enabled, "更新 stays disabled after a table was read")
    check(s.find(main, "Button", "Excelへ").enabled, "Excelへ stays disabled after a table was read")
    s.screenshot("2-after-acquire")

    copied = copy_all(s, main)
    check(copied == expected, f"sheet copied {copied!r}, drawn {expected!r}")

    # Typing into cell (1, 2) starts an edit that replaces its text; Escape puts it back.
    g = sheet(s, main)
    first_col_width = 40
    s.click_at(g.rect[0] + first_col_width + 12, g.rect[1] + 2 * 20 + 10)
    s.type_text("abc")
    s.wait_until(lambda: any(w.cls.lower() == "edit" and w.visible and w.text == "abc" for w in s.windows(main)),
                 15, "the in-place editor showing the typed text")
    s.screenshot("3-editing")
    s.keys("Escape")
    s.wait_until(lambda: "[ESC]" in memo_text(s, main).split("\r\n"), 15, "the [ESC] log line")
    copied = copy_all(s, main)
    check(copied == expected, f"after Escape the sheet reads {copied!r}")
    s.screenshot("4-after-escape")

    s.close_window(main)
    ini = s.morvane_exe[:-4] + ".ini"
    s.wait_until(lambda: os.path.exists(ini) and os.path.getsize(ini) > 0, 20, "the settings file")
    s.wait_until(lambda: s.procs[1].poll() is not None, 20, "Morvane to end")
    raw = open(ini, "rb").read()
    text = raw.decode("utf-16") if raw.startswith(b"\xff\xfe") else raw.decode("latin-1")
    keys = [l.split("=", 1)[0] for l in text.replace("\r", "").split("\n") if "=" in l]
    check(sorted(keys) == sorted(SETTINGS_KEYS), f"settings keys {keys}")
    check("edt2=HOJO*,JOGAI*" in text, "the excluded layers are not in the settings file")
    check("mtext=0" in text, "the MTEXT option is not kept off in the settings file")
    s.close_window(s.wait_window("nanoCAD 5"))
    s.wait_until(lambda: cad_proc.poll() is not None, 30, "the CAD to end")
    check_golden_calls(calls_path, GOLDEN)


if __name__ == "__main__":
    e2e.run("acquire_sheet", scenario)
