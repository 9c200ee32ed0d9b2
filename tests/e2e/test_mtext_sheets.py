"""A user reads three real drawings whose table cells are MTEXT. Without
"MTEXTも対象" the process-sheet form comes up empty, and the log's last line
says how to read it. With the option set in the settings file, each of the
three drawings, opened in turn in the CAD and read whole, gives the sheet an
independent reader (ezdxf, and a decoder of its own) finds in the file: the
log's counts, and every cell as the whole sheet copied to the clipboard shows
it. The drawings live in ../shared/drawings beside the clone: without them
this story is skipped, and says so."""

import os
import shutil
import sys

import e2e

e2e.require_ezdxf()
from e2e import check  # noqa: E402
from mtext_reference import Sheet  # noqa: E402
from test_acquire_sheet import copy_all  # noqa: E402
from test_update_locate import log_lines  # noqa: E402
from test_wrong_drawing import close_morvane  # noqa: E402

FORM = "qcad-tehnoloski_list.dxf"
DRAWINGS = [FORM, "exploded-table-7cells-mtext.dxf", "exploded-table-20cells-mtext.dxf"]
SKIPPED = 77  # CTest's SKIP_RETURN_CODE for this test
PLACE = {"Left": 600, "Top": 560}


def shared_drawings(argv):
    """The folder of real drawings beside the clone, or None when it or one of the drawings is absent."""
    source = argv[argv.index("--source") + 1]
    folder = os.path.join(os.path.abspath(source), "..", "shared", "drawings")
    return folder if all(os.path.exists(os.path.join(folder, d)) for d in DRAWINGS) else None


def skip_without_drawings(argv):
    folder = shared_drawings(argv)
    if folder is None:
        print(f"SKIPPED: this story reads {', '.join(DRAWINGS)} from ../shared/drawings, which is absent")
        sys.exit(SKIPPED)
    return folder


def acquire(s, main, path, selected):
    """Presses 取得 and returns the log of the Acquire that read `selected` entities of `path`."""
    name = os.path.basename(path)
    s.click_button(main, "取得")
    return s.wait_until(lambda: (lines := log_lines(s, main))[:1] == [f"Select = {selected}"]
                        and any(l.startswith("Yoko = ") for l in lines)
                        and s.windows(main)[0].text.endswith(" " + name) and lines, 60, f"the Acquire of {name}")


def check_sheet(s, main, path):
    """Reads the drawing open in the CAD and compares the log's counts and every cell with the reference."""
    ref = Sheet(path)
    log = acquire(s, main, path, ref.selected)
    hidden = len(ref.texts) - len(ref.cells)
    check(log[2:4] == ref.log(), f"{os.path.basename(path)}: log {log}, the reference counts {ref.log()}")
    if hidden:
        check(len(log) == 5 and log[4].startswith(f"表示されない文字 = {hidden} ("), f"the hidden texts' line {log}")
    else:
        check(len(log) == 4, f"{os.path.basename(path)}: log {log}")
    got = copy_all(s, main)
    want = ref.tsv()
    diff = [(r + 1, c + 1, g, w) for r, (gl, wl) in enumerate(zip(got.split("\r\n"), want.split("\r\n")))
            for c, (g, w) in enumerate(zip(gl.split("\t"), wl.split("\t"))) if g != w]
    check(got == want, f"{os.path.basename(path)}: cells (row, column, shown, read by ezdxf) {diff}; "
                       f"{got.count(chr(10))} rows shown, {want.count(chr(10))} read")
    print(f"{os.path.basename(path)}: {len(ref.cells)} cells as ezdxf reads them, {hidden} hidden")


def scenario(s, folder):
    copies = []
    for name in DRAWINGS:
        copies.append(os.path.join(s.work, name))
        shutil.copy(os.path.join(folder, name), copies[-1])
    cad = s.start_standin(copies[0], "--auto-select=all", "--auto-select-delay=300")
    cad_proc = s.procs[-1]

    # 1. The option unchecked: lines and not a single text; the log says how to read the MTEXTs.
    main = s.start_morvane({"AcadMRV": dict(PLACE)})
    log = acquire(s, main, copies[0], 87)
    check(log[2:4] == ["Line = 87, Text = 0", "Yoko = 73, Tate = 12"], f"the Acquire without MTEXT: {log}")
    check(len(log) == 5 and "MTEXTも対象" in log[4], f"no hint after the usual lines: {log}")
    s.screenshot("1-without-mtext")
    close_morvane(s, main, s.procs[-1])

    # 2. The option set in the settings file: every drawing reads as ezdxf reads it.
    main = s.start_morvane({"AcadMRV": dict(PLACE, mtext=1)})
    morvane_proc = s.procs[-1]
    for i, path in enumerate(copies):
        if i:
            s.driver("cad-open", path)
        check_sheet(s, main, path)
        s.screenshot(f"{i + 2}-{os.path.splitext(os.path.basename(path))[0]}")
    check(not any("MTEXTも対象" in l for l in log_lines(s, main)), f"a hint with the option set: {log_lines(s, main)}")

    close_morvane(s, main, morvane_proc)
    raw = open(s.morvane_exe[:-4] + ".ini", "rb").read()
    text = raw.decode("utf-16") if raw.startswith(b"\xff\xfe") else raw.decode("latin-1")
    check("mtext=1" in text.replace("\r", "").split("\n"), f"the option is not kept in the settings file: {text!r}")
    s.close_window(cad)
    s.wait_until(lambda: cad_proc.poll() is not None, 30, "the CAD to end")


if __name__ == "__main__":
    drawings = skip_without_drawings(sys.argv)
    e2e.run("mtext_sheets", lambda s: scenario(s, drawings))
