#!/usr/bin/python3
"""Checks the stand-in CAD's DXF reader and writer against ezdxf.

For every drawing given (files or folders of .dxf files):
  * the model space entities (type, handle, layer) and the TEXT strings,
    alignments and anchor points, and the MTEXT strings (codes as written),
    attachments, insertion points, heights and widths that
    `standin_dxf_tool dump` prints must be the ones ezdxf reads;
  * a file saved unchanged (`roundtrip`) must open in ezdxf with the same
    entities and no more audit errors than the original;
  * a file saved after an edit (`edit`: the first TEXT copied with a new
    string, the first MTEXT copied with a string longer than three groups
    hold, the first LINE erased) must open in ezdxf with the copies under
    handles above every other and below $HANDSEED, the MTEXT's string whole
    and its other properties the source's, and without the line.

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


# What the tool's edit writes into the MTEXT it copies (its longMText()).
LONG_MTEXT = "{\\fＭＳ ゴシック|b0|i0|c128|p49;寸法\\P%%c10}材質\\~SS400 " * 12


def as_written(s, encoding):
    """A string as a file in that encoding holds it: characters it lacks as \\U+XXXX."""
    out = []
    for c in s:
        try:
            c.encode(encoding)
            out.append(c)
        except UnicodeEncodeError:
            out.append("\\U+%04X" % ord(c))
    return "".join(out)


def escape(s):
    return s.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")


def ezdxf_view(path):
    """(entities, texts, mtexts) of model space as ezdxf reads them."""
    doc = ezdxf.readfile(path)
    entities, texts, mtexts = [], [], []
    for e in doc.modelspace():
        # ezdxf does not give every entity it only preserves (ACAD_TABLE) a layer.
        layer = e.dxf.get("layer") if e.dxf.is_supported("layer") else None
        entities.append((e.dxftype(), e.dxf.handle.upper(), escape(layer) if layer is not None else None))
        if e.dxftype() == "TEXT":
            code = alignment(e.dxf.get("halign", 0), e.dxf.get("valign", 0))
            anchor = e.dxf.insert if code == 0 else e.dxf.get("align_point", e.dxf.insert)
            texts.append((e.dxf.handle.upper(), code, anchor[0], anchor[1], escape(decode_unicode(e.dxf.text))))
        elif e.dxftype() == "MTEXT":
            insert = e.dxf.insert
            mtexts.append((e.dxf.handle.upper(), e.dxf.get("attachment_point", 1), insert[0], insert[1],
                           e.dxf.get("char_height", 0.0), e.dxf.get("width", 0.0), escape(e.dxf.text)))
    return doc, entities, texts, mtexts


def tool_view(tool, path):
    out = subprocess.run([tool, "dump", path], check=True, capture_output=True, timeout=60).stdout.decode("utf-8")
    entities, texts, mtexts = [], [], []
    for line in out.splitlines():
        fields = line.split("\t")
        if fields[0] == "entity":
            entities.append((fields[1], fields[2], fields[3]))
        elif fields[0] == "text":
            texts.append((fields[1], int(fields[2]), float(fields[3]), float(fields[4]), "\t".join(fields[5:])))
        elif fields[0] == "mtext":
            mtexts.append((fields[1], int(fields[2])) + tuple(float(f) for f in fields[3:7]) +
                          ("\t".join(fields[7:]),))
    return entities, texts, mtexts


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


def same_mtexts(a, b):
    """Handle, attachment and string exactly; insertion point, height and width within rounding."""
    return len(a) == len(b) and all(
        x[:2] == y[:2] and x[6] == y[6] and all(math.isclose(p, q, abs_tol=1e-6) for p, q in zip(x[2:6], y[2:6]))
        for x, y in zip(a, b))


def first_difference(a, b):
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return "item %d: ezdxf %r, model %r" % (i, x, y)
    return "ezdxf has %d, model %d" % (len(a), len(b))


def audit_errors(doc):
    return len(doc.audit().errors)


def max_handle_in_file(path, except_handles):
    """The highest handle (groups 5 and 105) written in the file, other than except_handles.
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
        elif code in ("5", "105") and not in_header and value.upper() not in except_handles:
            try:
                top = max(top, int(value, 16))
            except ValueError:
                pass
    return top


def check(tool, path, work):
    failures = []
    name = os.path.basename(path)
    doc, entities, texts, mtexts = ezdxf_view(path)
    ours, our_texts, our_mtexts = tool_view(tool, path)
    if not same_entities(entities, ours):
        failures.append("%s: entities differ: %s" % (name, first_difference(entities, ours)))
    if not same_texts(texts, our_texts):
        failures.append("%s: texts differ: %s" % (name, first_difference(texts, our_texts)))
    if not same_mtexts(mtexts, our_mtexts):
        failures.append("%s: MTEXTs differ: %s" % (name, first_difference(mtexts, our_mtexts)))

    saved = os.path.join(work, "roundtrip-" + name)
    subprocess.run([tool, "roundtrip", path, saved], check=True, timeout=60)
    saved_doc, saved_entities, saved_texts, saved_mtexts = ezdxf_view(saved)
    if (not same_entities(saved_entities, entities) or not same_texts(saved_texts, texts)
            or not same_mtexts(saved_mtexts, mtexts)):
        failures.append("%s: saved unchanged, ezdxf reads other entities" % name)
    before, after = audit_errors(doc), audit_errors(saved_doc)
    if after > before:
        failures.append("%s: saved unchanged, %d audit errors instead of %d" % (name, after, before))

    edited = os.path.join(work, "edit-" + name)
    result = subprocess.run([tool, "edit", path, edited], check=True, capture_output=True, timeout=60)
    report = dict(line.split("\t", 1) for line in result.stdout.decode("utf-8").splitlines())
    edited_doc, edited_entities, edited_texts, edited_mtexts = ezdxf_view(edited)
    handles = [h for _, h, _ in edited_entities]
    # The copies are numbered one after the other: each must be above every handle but the copies'.
    copies_made = {report[k].split("\t")[1] for k in ("copied", "mcopied") if k in report}
    if "copied" in report:
        source, copy = report["copied"].split("\t")
        copies = [t for t in edited_texts if t[0] == copy]
        if len(copies) != 1 or copies[0][4] != "複製 copy":
            failures.append("%s: edited, the copy %s is not there as written" % (name, copy))
        if int(copy, 16) <= max_handle_in_file(edited, copies_made):
            failures.append("%s: edited, the copy's handle %s is not above every other" % (name, copy))
        seed = int(edited_doc.header["$HANDSEED"], 16)
        if seed <= int(copy, 16):
            failures.append("%s: edited, $HANDSEED %X is not above the copy %s" % (name, seed, copy))
        if source not in handles:
            failures.append("%s: edited, the copied text %s is gone" % (name, source))
    if "mcopied" in report:
        source, copy = report["mcopied"].split("\t")
        by_handle = {m[0]: m for m in edited_mtexts}
        original = by_handle.get(source)
        copied = by_handle.get(copy)
        expected_text = escape(LONG_MTEXT if edited_doc.dxfversion >= "AC1021"
                               else as_written(LONG_MTEXT, edited_doc.encoding))
        if copied is None or copied[6] != expected_text:
            failures.append("%s: edited, the MTEXT copy %s does not read back whole: %r" %
                            (name, copy, copied[6][:80] if copied else None))
        elif original is None or copied[1] != original[1] or copied[4:6] != original[4:6] or \
                not math.isclose(copied[3], original[3] - 10, abs_tol=1e-6):
            failures.append("%s: edited, the MTEXT copy %s lost its source's properties" % (name, copy))
        layers = {h: layer for _, h, layer in edited_entities}
        if layers.get(copy) != layers.get(source):
            failures.append("%s: edited, the MTEXT copy %s is on another layer" % (name, copy))
    if "erased" in report and report["erased"] in handles:
        failures.append("%s: edited, the erased line %s is still there" % (name, report["erased"]))
    expected = len(entities) + ("copied" in report) + ("mcopied" in report) - ("erased" in report)
    if len(edited_entities) != expected:
        failures.append("%s: edited, %d entities instead of %d" % (name, len(edited_entities), expected))
    print("%-40s %4d entities %3d texts %3d mtexts  %s" % (name, len(entities), len(texts), len(mtexts),
                                                          "FAILED" if failures else "ok"))
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
