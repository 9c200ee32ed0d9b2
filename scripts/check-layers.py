#!/usr/bin/env python3
"""Fails when an include crosses the program's layers the wrong way.

Each folder under src/ is a layer, and a layer may include only itself and
the layers below it. The order, bottom up (the top CMakeLists.txt links the
libraries in the same order):

    platform < cad < table < sheet < {writeback, text, export} < app

writeback, text and export sit side by side and include none of one another.
A folder's win32/ adapters belong to its layer. Besides the order:
  - the portable core (every file outside a win32/ folder) includes no
    adapter header and no Windows header, so that it builds on Linux;
  - the stand-ins under tools/ share with the program only src/platform/:
    a fault shared by both sides of a call would hide in every test. The
    stand-in CAD draws an MTEXT with the program's decoder (text/mtext.h);
    what it serves and saves never passes through it.

    python3 scripts/check-layers.py [REPOSITORY]

Prints one line per fault (file:line: what crosses what) and ends with 1 if
there is any.
"""

import os
import re
import sys

LAYER_RANK = {"platform": 0, "cad": 1, "table": 2, "sheet": 3, "writeback": 4, "text": 4, "export": 4, "app": 5}
SOURCE_SUFFIXES = (".cpp", ".h", ".hpp", ".c", ".rc", ".idl")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')
# The system headers that only the adapters may include.
WINDOWS_HEADERS = {"windows.h", "windowsx.h", "winuser.h", "wingdi.h", "objbase.h", "ole2.h", "oleauto.h",
                   "oaidl.h", "unknwn.h", "commctrl.h", "commdlg.h", "shellapi.h", "shlwapi.h", "shellscalingapi.h",
                   "imm.h", "objidl.h", "combaseapi.h", "winbase.h"}


def source_files(root):
    for top, dirs, files in os.walk(root):
        dirs.sort()
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.join(top, name)


def includes(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            if m:
                yield number, m.group(1) == "<", m.group(2)


def resolve(repo, path, target):
    """Where a quoted include lands, as the compiler looks: beside the file
    first, then under src/. None for a file of neither place (generated)."""
    for base in (os.path.dirname(path), os.path.join(repo, "src")):
        candidate = os.path.normpath(os.path.join(base, target))
        if os.path.exists(candidate):
            return candidate
    return None


def place(repo, path):
    """(layer, is an adapter) of a file under src/, or None."""
    parts = os.path.relpath(path, os.path.join(repo, "src")).split(os.sep)
    if parts[0] not in LAYER_RANK or len(parts) < 2:
        return None
    return parts[0], "win32" in parts[1:-1]


def may_include(layer, other):
    if layer == other:
        return True
    return LAYER_RANK[other] < LAYER_RANK[layer]


def check_program_file(repo, path, rel):
    layer, adapter = place(repo, path)
    for number, system, target in includes(path):
        if system:
            if not adapter and target.lower() in WINDOWS_HEADERS:
                yield f"{rel}:{number}: the portable {layer} layer includes <{target}>: only win32/ adapters may"
            continue
        landed = resolve(repo, path, target)
        where = place(repo, landed) if landed else None
        if where is None:
            continue
        other, other_adapter = where
        if not may_include(layer, other):
            how = "beside it" if LAYER_RANK[other] == LAYER_RANK[layer] else "above it"
            yield (f"{rel}:{number}: {layer} includes {target}: the {other} layer is {how} "
                   f"({layer} may include only itself and what lies below it)")
        elif other_adapter and not adapter:
            yield f"{rel}:{number}: the portable {layer} layer includes the adapter {target}"


# What a stand-in may take from a layer above platform: (folder under tools/, header).
TOOL_SHARED = {("standin-cad", "src/text/mtext.h")}


def check_tool_file(repo, path, rel):
    for number, system, target in includes(path):
        if system:
            continue
        landed = resolve(repo, path, target)
        where = place(repo, landed) if landed else None
        tool = rel.replace(os.sep, "/").split("/")[1]
        shared = (tool, os.path.relpath(landed, repo).replace(os.sep, "/")) in TOOL_SHARED if landed else False
        if where is not None and where[0] != "platform" and not shared:
            yield f"{rel}:{number}: a stand-in includes {target}: the stand-ins may use only src/platform"


def faults(repo):
    for path in source_files(os.path.join(repo, "src")):
        if place(repo, path) is not None:
            yield from check_program_file(repo, path, os.path.relpath(path, repo))
    for path in source_files(os.path.join(repo, "tools")):
        yield from check_tool_file(repo, path, os.path.relpath(path, repo))


def main(argv):
    repo = os.path.abspath(argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    found = list(faults(repo))
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} include(s) against the layers", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
