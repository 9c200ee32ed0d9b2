"""A user edits the real process-sheet form, whose cells are MTEXT with a
height code in front ("\\H2;"), with "MTEXTも対象" set. Someone has coloured a
word of "Ime in Priimek" in the CAD. The sheet reads as ezdxf reads the file.
The user rewrites the title (with braces and a backslash, which the drawing
must keep as characters), empties "Pregledal", types a new text under
"Izdelal" and shortens the coloured "Ime in Priimek". Before Update that last
cell carries the mark saying its inner formatting will be replaced, and the
status bar counts it. After Update the drawing the CAD saves, read with
ezdxf, holds the two edits inside their "\\H2;" with their attachment, no
"Pregledal", one new MTEXT that is a copy of "Izdelal" at the same place in
its own cell, and every other entity as it was."""

import os
import shutil
import sys

import e2e

ezdxf = e2e.require_ezdxf()
from e2e import check  # noqa: E402
from mtext_reference import Sheet  # noqa: E402
from test_acquire_sheet import copy_all  # noqa: E402
from test_drawing_changed import members_per_cell  # noqa: E402
from test_mtext_sheets import FORM, acquire, skip_without_drawings  # noqa: E402
import test_update_locate as update_locate  # noqa: E402
from test_update_locate import calls, log_lines, wait_for_marks  # noqa: E402
from test_wrong_drawing import close_morvane  # noqa: E402

# The coloured word, set in the CAD before the table is read: the cell shows the same text.
COLOURED = ("81", "\\H2;Ime in {\\C1;Priimek}")
# (column, row, handle, typed, the string Update writes)
EDITED = (2, 1, "7C", "Plan {A}\\B", "\\H2;Plan \\{A\\}\\\\B")
SHORTENED = (4, 2, "81", "Ime", "\\H2;Ime")
EMPTIED = (1, 4, "7A")
# Column 1 takes "Izdelal" (7B, cell 1/3, anchored 1 right of and 1 below its
# cell's top-left corner (20, 272)) as its template; cell 1/5's corner is (20, 262).
ADDED = (1, 5, "NEW", "\\H2;NEW", (21.0, 261.0))
TEMPLATE = "7B"
# The edit whose inner formatting goes is counted apart from the plain edits.
PENDING = "編集 1 / 追加 1 / 削除 1 / 不可 0 / 書式置換 1"


def type_into(s, main, col, row, text):
    """Types `text` into the cell ("" empties it) and ends the edit with Enter.
    The form's sheet is taller than its view, and copying it scrolls: the cell
    is reached through Ctrl+Home, which also brings the view back to the
    sheet's top-left corner for the marks."""
    update_locate.type_into(s, main, col, row, text, home=True)


def mtext_state(e):
    """What an entity of the saved drawing is, for comparison."""
    if e.dxftype() == "MTEXT":
        return ("MTEXT", e.dxf.layer, e.text, tuple(round(v, 9) for v in e.dxf.insert), e.dxf.attachment_point,
                e.dxf.char_height, e.dxf.get("width"), e.dxf.get("style"), e.dxf.get("rotation", 0.0))
    if e.dxftype() == "LINE":
        return ("LINE", e.dxf.layer, tuple(round(v, 9) for v in e.dxf.start), tuple(round(v, 9) for v in e.dxf.end))
    return (e.dxftype(), e.dxf.layer)


def check_saved(original, saved):
    before = {e.dxf.handle: mtext_state(e) for e in ezdxf.readfile(original).modelspace()}
    after = {e.dxf.handle: mtext_state(e) for e in ezdxf.readfile(saved).modelspace()}
    expected = dict(before)
    for _, _, handle, _, written in (EDITED, SHORTENED):
        kind, layer, _, *rest = before[handle]
        expected[handle] = (kind, layer, written, *rest)
    del expected[EMPTIED[2]]
    new = [h for h in after if h not in before]
    check(len(new) == 1, f"new entities {new}")
    kind, layer, _, _, *kept = before[TEMPLATE]
    expected[new[0]] = (kind, layer, ADDED[3], ADDED[4] + (0.0,), *kept)
    changed = sorted((h, expected.get(h), after.get(h)) for h in set(expected) | set(after)
                     if expected.get(h) != after.get(h))
    check(not changed, f"entities (handle, expected, saved) {changed}")


def scenario(s, folder):
    form = os.path.join(s.work, FORM)
    shutil.copy(os.path.join(folder, FORM), form)
    calls_path = os.path.join(s.work, "calls.log")
    saved = os.path.join(s.work, "saved.dxf")
    cad = s.start_standin(form, "--auto-select=all", "--auto-select-delay=300", f"--call-log={calls_path}",
                          f"--save-on-close={saved}")
    cad_proc = s.procs[-1]
    s.driver("cad-set-text", *COLOURED)
    main = s.start_morvane({"AcadMRV": {"Left": 560, "Top": 480, "mtext": 1}})
    morvane_proc = s.procs[-1]

    ref = Sheet(form)
    log = acquire(s, main, form, ref.selected)
    check(log[2:4] == ref.log(), f"log {log}, the reference counts {ref.log()}")
    rows = [line.split("\t") for line in ref.tsv().split("\r\n")[:-1]]
    check(copy_all(s, main) == ref.tsv(), "the form's sheet is not what ezdxf reads")
    s.screenshot("1-acquired")

    s.arrowhead_off(main)
    for col, row, _, typed, _ in (EDITED, SHORTENED):
        type_into(s, main, col, row, typed)
        rows[row - 1][col - 1] = typed
    type_into(s, main, EMPTIED[0], EMPTIED[1], "")
    rows[EMPTIED[1] - 1][EMPTIED[0] - 1] = ""
    type_into(s, main, ADDED[0], ADDED[1], ADDED[2])
    rows[ADDED[1] - 1][ADDED[0] - 1] = ADDED[2]
    s.wait_until(lambda: s.status_panel(main, 2) == PENDING, 15, "the pending counts in the status bar")
    # Left to right: column 1's addition and deletion, column 2's edit, column 4's replaced formatting.
    wait_for_marks(s, main, "2-edited", [("add", ADDED[1]), ("delete", EMPTIED[1]), ("edit", EDITED[1]),
                                         ("inner", SHORTENED[1])])

    before = len(calls(calls_path))
    s.click_button(main, "更新")
    s.wait_until(lambda: "[更新] 編集 = 2, 追加 = 1, 削除 = 1" in log_lines(s, main), 60, "the Update's log line")
    s.wait_until(lambda: "Regen" in calls(calls_path)[before:], 20, "the regeneration")
    cells = members_per_cell(calls(calls_path)[before:])
    print(f"calls for each cell: {cells}")
    # Row by row: the title, "Ime in Priimek", "Pregledal", the new cell. An
    # MTEXT costs what a TEXT costs; the copy is placed by its insertion point.
    edit = ["HandleToObject", "ObjectName", "TextString", "TextString", "Update"]
    check(cells[:3] == [edit, edit, ["HandleToObject", "ObjectName", "TextString", "Erase"]], f"calls {cells}")
    check(len(cells) == 4 and cells[3][:5] == ["HandleToObject", "ObjectName", "Copy", "TextString", "InsertionPoint"]
          and "TextAlignmentPoint" not in cells[3], f"the addition's calls {cells[3:]}")
    s.wait_until(lambda: s.status_panel(main, 2) == "", 15, "nothing pending after Update")
    wait_for_marks(s, main, "3-updated", [])  # the view has not moved since the marks showed
    copied = copy_all(s, main)
    check(copied == "".join("\t".join(r) + "\r\n" for r in rows), f"the sheet after Update reads {copied!r}")

    s.close_window(cad)
    s.wait_until(lambda: cad_proc.poll() is not None, 30, "the CAD to save and end")
    check(cad_proc.returncode == 0, f"the CAD ended with {cad_proc.returncode}")
    check_saved(form, saved)
    close_morvane(s, main, morvane_proc)


if __name__ == "__main__":
    drawings = skip_without_drawings(sys.argv)
    e2e.run("mtext_update", lambda s: scenario(s, drawings))
