#!/usr/bin/env python3
"""Cases of scripts/check-layers.py: each writes one include into a small
tree of the program's folders and checks what the check says of it."""

import os
import runpy
import tempfile
import types
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
# The check's file name has a dash, so it is loaded by path, not imported.
check_layers = types.SimpleNamespace(**runpy.run_path(os.path.join(HERE, "check-layers.py")))

# Headers the includes below can land on.
TREE = ["src/platform/errors.h", "src/platform/win32/com_ptr.h", "src/cad/cad_ports.h", "src/table/bounds.h",
        "src/sheet/string_grid.h", "src/sheet/win32/grid_control.h", "src/writeback/update.h",
        "src/text/zen_han_util.h", "src/text/mtext.h", "src/export/excel_export.h", "src/app/version.h", "src/app/morvane_form.h"]

# (file that includes, the include line, a piece of the fault or None when it is allowed)
CASES = [
    ("src/table/fill.cpp", '#include "sheet/string_grid.h"',
     "table includes sheet/string_grid.h: the sheet layer is above it"),
    ("src/platform/errors.cpp", '#include "cad/cad_ports.h"', "the cad layer is above it"),
    ("src/sheet/win32/grid.cpp", '#include "app/morvane_form.h"', "sheet includes app/morvane_form.h"),
    ("src/text/convert.cpp", '#include "writeback/update.h"', "the writeback layer is beside it"),
    ("src/export/flow.cpp", '#include "text/zen_han_util.h"', "the text layer is beside it"),
    ("src/table/acquire.cpp", '#include "table/bounds.h"', None),
    ("src/text/convert.cpp", '#include "sheet/string_grid.h"', None),
    ("src/app/form.cpp", '#include "export/excel_export.h"', None),
    ("src/writeback/update.cpp", '  #  include "platform/errors.h"', None),
    ("src/app/win32/morvane.rc", '#include "../version.h"', None),
    ("src/app/win32/x.cpp", '#include "../../sheet/win32/grid_control.h"', None),
    ("src/sheet/win32/grid.cpp", '#include <windows.h>', None),
    ("src/sheet/grid_input.cpp", '#include <windows.h>', "the portable sheet layer includes <windows.h>"),
    ("src/sheet/grid_input.cpp", '#include "sheet/win32/grid_control.h"', "includes the adapter"),
    ("src/app/form.cpp", '#include "platform/win32/com_ptr.h"', "includes the adapter"),
    ("src/table/acquire.cpp", '#include "../sheet/string_grid.h"', "the sheet layer is above it"),
    ("src/app/form.cpp", '#include "generated/standin.h"', None),
    ("tools/standin-cad/win32/main.cpp", '#include "platform/win32/com_ptr.h"', None),
    ("tools/standin-cad/drawing.cpp", '#include "table/bounds.h"', "a stand-in includes table/bounds.h"),
    ("tools/standin-excel/win32/main.cpp", '#include "cad/cad_ports.h"', "the stand-ins may use only src/platform"),
    ("tools/standin-cad/geometry.cpp", '#include "text/mtext.h"', None),
    ("tools/standin-cad/geometry.cpp", '#include "text/zen_han_util.h"', "the stand-ins may use only src/platform"),
    ("tools/standin-excel/cells.cpp", '#include "text/mtext.h"', "the stand-ins may use only src/platform"),
]


def write(path, text=""):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


class CheckLayers(unittest.TestCase):
    def test_cases(self):
        for source, line, expected in CASES:
            with self.subTest(source=source, line=line), tempfile.TemporaryDirectory() as repo:
                for header in TREE:
                    write(os.path.join(repo, header))
                write(os.path.join(repo, source), f"// a file\n{line}\n")
                found = list(check_layers.faults(repo))
                if expected is None:
                    self.assertEqual(found, [])
                else:
                    self.assertEqual(len(found), 1, found)
                    self.assertTrue(found[0].startswith(f"{source}:2: "), found[0])
                    self.assertIn(expected, found[0])

    def test_the_exit_status_says_whether_a_fault_was_found(self):
        with tempfile.TemporaryDirectory() as repo:
            for header in TREE:
                write(os.path.join(repo, header))
            write(os.path.join(repo, "src/cad/connect.cpp"), '#include "platform/errors.h"\n')
            self.assertEqual(check_layers.main(["check-layers.py", repo]), 0)
            write(os.path.join(repo, "src/cad/connect.cpp"), '#include "app/version.h"\n')
            self.assertEqual(check_layers.main(["check-layers.py", repo]), 1)


if __name__ == "__main__":
    unittest.main()
