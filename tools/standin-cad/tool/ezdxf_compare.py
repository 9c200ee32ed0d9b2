#!/usr/bin/python3
"""Checks the stand-in CAD's DXF reader and writer against ezdxf.

For every drawing given (files or folders of .dxf files):
  * the model space entities (type, handle, layer) and the TEXT strings,
    alignments and anchor points that `standin_dxf_tool dump` prints must be
    the ones ezdxf reads;
  * a file saved unchanged (`roundtrip`) must open in ezdxf with the same
    entities and no more audit errors than the original;
  * a file saved after an edit (`edit`: the first TEXT copied with a new
    string, the first LINE erased) must open in ezdxf with the copy under a
    handle above every other and below $HANDSEED, and without the line.

A folder that does not exist is reported and skipped (a clone of the project
alone has no shared drawings). Exit status 0 when everything matched.
"""
import argparse
import math
import os
import re
import subprocess
import sys
import tempfile

try:
    import ezdxf
except ImportError:
    print("ezdxf is not installed (Debian: python3-ezdxf); skipped")
    sys.exit(77)

ALIGNMENTS = {(0, 0): 0, (1, 0): 1, (2, 0): 2, (3, 0): 3, (4, 0): 4, (5, 0): 5,
              (0, 3): 6, (1, 3): 7, (2, 3): 8, (0, 2): 9, (1, 2): 10, (2, 2): 11,
              (0, 1): 12, (1, 1): 13, (2, 1): 14}


def alignment(halign, valign):
    if 3 <= halign <= 5:
        return halign
    return ALIGNMENTS.get((halign, valign), 0)


def decode_unicode(s):
    """The CAD hands out \\U+XXXX as the character it stands for; ezdxf 0.18 leaves TEXT strings as written."""
    s = re.sub(r"\\U\+([0-9A-Fa-f]{4})", lambda m: chr(int(m.group(1), 16)), s)
    return s.encode("utf-16", "surrogatepass").decode("utf-16")


def escape(s):
    return s.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")


def ezdxf_view(path):
    """(entities, texts) of model space as ezdxf reads them."""
    doc = ezdxf.readfile(path)
    entities, texts = [], []
    for e in doc.modelspace():
        # ezdxf does not give every entity it only preserves (ACAD_TABLE) a layer.
        layer = e.dxf.get("layer") if e.dxf.is_supported("layer") else None
        entities.append((e.dxftype(), e.dxf.handle.upper(), escape(layer) if layer is not None else None))
        if e.dxftype() == "TEXT":
            code = alignment(e.dxf.get("halign", 0), e.dxf.get("valign", 0))
            anchor = e.dxf.insert if code == 0 else e.dxf.get("align_point", e.dxf.insert)
            texts.append((e.dxf.handle.upper(), code, anchor[0], anchor[1], escape(decode_unicode(e.dxf.text))))
    return doc, entities, texts


def tool_view(tool, path):
    out = subprocess.run([tool, "dump", path], check=True, capture_output=True, timeout=60).stdout.decode("utf-8")
    entities, texts = [], []
    for line in out.splitlines():
        fields = line.split("\t")
        if fields[0] == "entity":
            entities.append((fields[1], fields[2], fields[3]))
        elif fields[0] == "text":
            texts.append((fields[1], int(fields[2]), float(fields[3]), float(fields[4]), "\t".join(fields[5:])))
    return entities, texts


def same_entities(a, b):
    return len(a) == len(b) and all(x[:2] == y[:2] and (x[2] is None or y[2] is None or x[2] == y[2])
                                    for x, y in zip(a, b))


def same_texts(a, b):
    if len(a) != len(b):
        return False
    for x, y in zip(a, b):
        if x[0] != y[0] or x[1] != y[1] or x[4] != y[4]:
            return False
        if not (math.isclose(x[2], y[2], abs_tol=1e-6) and math.isclose(x[3], y[3], abs_tol=1e-6)):
            return False
    return True


def first_difference(a, b):
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return "item %d: ezdxf %r, model %r" % (i, x, y)
    return "ezdxf has %d, model %d" % (len(a), len(b))


def audit_errors(doc):
    return len(doc.audit().errors)


def max_handle_in_file(path, except_handle):
    """The highest handle (groups 5 and 105) written in the file, other than except_handle.
    Read from the file itself: ezdxf adds objects of its own when it loads."""
    with open(path, "rb") as f:
        lines = f.read().decode("latin-1").splitlines()
    top = 0
    in_header = False
    for code, value in zip(lines[0::2], lines[1::2]):
        code, value = code.strip(), value.strip()
        if code == "2" and value == "HEADER":
            in_header = True
        elif code == "0" and value == "ENDSEC":
            in_header = False
        elif code in ("5", "105") and not in_header and value.upper() != except_handle:
            try:
                top = max(top, int(value, 16))
            except ValueError:
                pass
    return top


def check(tool, path, work):
    failures = []
    name = os.path.basename(path)
    doc, entities, texts = ezdxf_view(path)
    ours, our_texts = tool_view(tool, path)
    if not same_entities(entities, ours):
        failures.append("%s: entities differ: %s" % (name, first_difference(entities, ours)))
    if not same_texts(texts, our_texts):
        failures.append("%s: texts differ: %s" % (name, first_difference(texts, our_texts)))

    saved = os.path.join(work, "roundtrip-" + name)
    subprocess.run([tool, "roundtrip", path, saved], check=True, timeout=60)
    saved_doc, saved_entities, saved_texts = ezdxf_view(saved)
    if not same_entities(saved_entities, entities) or not same_texts(saved_texts, texts):
        failures.append("%s: saved unchanged, ezdxf reads other entities" % name)
    before, after = audit_errors(doc), audit_errors(saved_doc)
    if after > before:
        failures.append("%s: saved unchanged, %d audit errors instead of %d" % (name, after, before))

    edited = os.path.join(work, "edit-" + name)
    result = subprocess.run([tool, "edit", path, edited], check=True, capture_output=True, timeout=60)
    report = dict(line.split("\t", 1) for line in result.stdout.decode("utf-8").splitlines())
    edited_doc, edited_entities, edited_texts = ezdxf_view(edited)
    handles = [h for _, h, _ in edited_entities]
    if "copied" in report:
        source, copy = report["copied"].split("\t")
        copies = [t for t in edited_texts if t[0] == copy]
        if len(copies) != 1 or copies[0][4] != "複製 copy":
            failures.append("%s: edited, the copy %s is not there as written" % (name, copy))
        if int(copy, 16) <= max_handle_in_file(edited, copy):
            failures.append("%s: edited, the copy's handle %s is not above every other" % (name, copy))
        seed = int(edited_doc.header["$HANDSEED"], 16)
        if seed <= int(copy, 16):
            failures.append("%s: edited, $HANDSEED %X is not above the copy %s" % (name, seed, copy))
        if source not in handles:
            failures.append("%s: edited, the copied text %s is gone" % (name, source))
    if "erased" in report and report["erased"] in handles:
        failures.append("%s: edited, the erased line %s is still there" % (name, report["erased"]))
    expected = len(entities) + ("copied" in report) - ("erased" in report)
    if len(edited_entities) != expected:
        failures.append("%s: edited, %d entities instead of %d" % (name, len(edited_entities), expected))
    print("%-40s %4d entities %3d texts  %s" % (name, len(entities), len(texts), "FAILED" if failures else "ok"))
    return failures


def check_new(tool, work):
    """The empty drawing the model starts with must open in ezdxf without audit errors."""
    path = os.path.join(work, "new.dxf")
    subprocess.run([tool, "new", path], check=True, timeout=60)
    doc = ezdxf.readfile(path)
    failures = []
    if len(doc.modelspace()) != 0:
        failures.append("new drawing: model space is not empty")
    if audit_errors(doc):
        failures.append("new drawing: %d audit errors" % audit_errors(doc))
    print("%-40s %s" % ("(new drawing)", "FAILED" if failures else "ok"))
    return failures


def r12_drawing(work):
    """An R12 file (no subclass markers), where the writer must not add any."""
    doc = ezdxf.new("R12")
    msp = doc.modelspace()
    msp.add_line((0, 0), (10, 0))
    msp.add_line((0, 0), (0, 10))
    msp.add_text("R12 text", dxfattribs={"height": 2.5}).set_placement((1, 1))
    path = os.path.join(work, "r12.dxf")
    doc.saveas(path)
    return path


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True)
    parser.add_argument("inputs", nargs="+")
    args = parser.parse_args()
    paths = []
    for item in args.inputs:
        if os.path.isdir(item):
            paths += sorted(os.path.join(item, f) for f in os.listdir(item) if f.lower().endswith(".dxf"))
        elif os.path.isfile(item):
            paths.append(item)
        else:
            print("skipped (absent): %s" % item)
    if not paths:
        print("no drawings to compare")
        return 77
    failures = []
    with tempfile.TemporaryDirectory() as work:
        for path in paths + [r12_drawing(work)]:
            failures += check(args.tool, path, work)
        failures += check_new(args.tool, work)
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
