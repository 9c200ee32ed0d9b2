"""A short scripted Morvane session on an Xvfb display: the stand-in CAD opens
a sample table, Morvane acquires it, and the screenshots and the log are left
in build/demo/."""

import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import e2e  # noqa: E402

drawing = sys.argv[sys.argv.index("--drawing") + 1]
del sys.argv[sys.argv.index("--drawing"):sys.argv.index("--drawing") + 2]

s = e2e.Session("demo")
out = os.path.join(s.source, "build", "demo")
os.makedirs(out, exist_ok=True)
s.shots = out
try:
    s.start_standin(drawing, "--auto-select=all", "--auto-select-delay=1500")
    main = s.start_morvane()
    s.screenshot("1-start")
    s.click_button(main, "取得")
    memo = lambda: next((w for w in s.windows(main) if w.cls.lower() == "edit" and "Yoko = " in w.text), None)
    log = s.wait_until(memo, 60, "the Acquire log").text
    s.screenshot("2-after-acquire")
    with open(os.path.join(out, "log.txt"), "w", encoding="utf-8") as f:
        f.write(log)
    print("Morvane's log:")
    print(log.replace("\r\n", "\n"))
    s.close_window(main)
    s.close_window(s.wait_window("nanoCAD 5"))
    ini = os.path.join(s.work, "morvane.ini")
    s.wait_until(lambda: os.path.exists(ini), 20, "the settings file")
    shutil.copy(ini, os.path.join(out, "morvane.ini"))
    print(f"screenshots, log and settings file: {out}")
finally:
    s.cleanup()
