#!/usr/bin/python3
"""Regenerates the samples into a temporary folder and compares them with the
committed ones: the expected sheets and windows byte for byte, the drawings by
their model space (entity types, layers, texts), since ezdxf's own bookkeeping
in a file may differ between its versions. Exit status 77 without ezdxf."""
import os
import subprocess
import sys
import tempfile

try:
    import ezdxf
except ImportError:
    print("ezdxf is not installed (Debian: python3-ezdxf); skipped")
    sys.exit(77)

HERE = os.path.dirname(os.path.abspath(__file__))


def model_space(path):
    doc = ezdxf.readfile(path)
    out = []
    for e in doc.modelspace():
        item = [e.dxftype(), e.dxf.get("layer")]
        if e.dxftype() == "TEXT":
            item += [e.dxf.text, tuple(round(v, 6) for v in e.dxf.insert)]
        elif e.dxftype() == "LINE":
            item += [tuple(round(v, 6) for v in e.dxf.start), tuple(round(v, 6) for v in e.dxf.end)]
        out.append(item)
    return out


def main():
    failures = []
    with tempfile.TemporaryDirectory() as work:
        subprocess.run([sys.executable, os.path.join(HERE, "make_samples.py"), "--out", work], check=True, timeout=300)
        for name in sorted(os.listdir(work)):
            committed = os.path.join(HERE, name)
            if not os.path.exists(committed):
                failures.append("%s is generated but not committed" % name)
            elif name.endswith(".dxf"):
                if model_space(committed) != model_space(os.path.join(work, name)):
                    failures.append("%s: the committed drawing is not what the script draws" % name)
            else:
                with open(committed, "rb") as a, open(os.path.join(work, name), "rb") as b:
                    if a.read() != b.read():
                        failures.append("%s: the committed file is not what the script writes" % name)
    for failure in failures:
        print(failure)
    print("samples %s" % ("out of date" if failures else "current"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
