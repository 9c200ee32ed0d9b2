"""The user's own selection: "取得" hands over to the CAD, a rubber band drawn
with the mouse from left to right over the drawing picks what lies wholly
inside it, Enter ends the selection, and the sheet shows the table."""

import os

import e2e
from e2e import check
from test_acquire_sheet import copy_all, memo_text

SAMPLE = "parts_list.dxf"


def scenario(s):
    with open(s.sample(SAMPLE.replace(".dxf", ".expected.tsv")), encoding="utf-8", newline="") as f:
        expected = f.read()
    calls = os.path.join(s.work, "calls.log")
    cad = s.start_standin(s.sample(SAMPLE), f"--call-log={calls}")
    main = s.start_morvane()
    s.click_button(main, "取得")
    # The CAD waits for the user once SelectOnScreen has reached it.
    s.wait_until(lambda: os.path.exists(calls) and "SelectOnScreen" in open(calls, encoding="utf-8").read(),
                 30, "the CAD to be asked for an on-screen selection")
    view = s.find(cad, "StandinCadView")
    l, t, r, b = view.rect
    x1, y1, x2, y2 = l + 10, t + 10, r - 10, b - 10
    s.xdo("mousemove", "--sync", x1, y1, "mousedown", 1)
    for k in range(1, 9):
        s.xdo("mousemove", "--sync", x1 + (x2 - x1) * k // 8, y1 + (y2 - y1) * k // 8)
    s.screenshot("1-rubber-band")
    s.xdo("mouseup", 1)
    s.keys("Return")
    log = s.wait_until(lambda: "Yoko = " in memo_text(s, main) and memo_text(s, main), 60, "the Acquire log")
    lines = [l for l in log.split("\r\n") if l]
    # Everything of the drawing lies inside the band: the title above the table too.
    check(lines[0] == "Select = 40", f"first log line {lines[0]!r}")
    check(lines[2:] == ["Line = 13, Text = 27", "Yoko = 8, Tate = 5", "表示されない文字 = 1 (表の外 = 1): 「部品表」"],
          f"log {lines}")
    s.screenshot("2-after-acquire")
    copied = copy_all(s, main)
    check(copied == expected, f"sheet copied {copied!r}, drawn {expected!r}")
    s.close_window(main)
    s.wait_until(lambda: s.procs[1].poll() is not None, 20, "Morvane to end")
    s.close_window(cad)


e2e.run("rubber_band", scenario)
