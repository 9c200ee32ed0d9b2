"""Acquire under load: tables of growing size drawn with python3-ezdxf, read by
the real morvane.exe from the stand-in CAD under Wine. For each size it
prints one JSON line: entities, seconds (Morvane's own time line), ms and
calls per entity, and after the largest the memory peak of morvane.exe.
Then the smallest size once more with each cell an MTEXT (its height code
written in front, as CADs write it) and the option to read MTEXT set; every
line also gives the calls of one cell text beside those of one ruling line,
taken from the stand-in's call log, so that what an MTEXT costs stands beside
what a TEXT costs.
Before each size and after the last it measures the round trip of one call
that costs the CAD nothing (bench/win32/cad_round_trip.cpp) into
round_trip.jsonl, so that the report can set each Acquire beside what its
calls alone cost at that time: on a shared machine the round trip moves. It also checks what a user sees on the way: the progress in the status bar
moving while the window answers, and the right sheet at the end.

  python3 bench/acquire_load.py --build build/win --source . --sizes 500,2000,10000 --out DIR
  (--mtext-size N measures the MTEXT table at N entities, 0 leaves it out)
"""

import argparse
import json
import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import e2e  # noqa: E402
from e2e import check  # noqa: E402

ROUND_TRIP = "bench/win32/cad_round_trip.exe"
COLUMNS = 30
CELL_W, CELL_H = 20.0, 8.0


def rows_for(entities):
    # (rows + 1) horizontal lines, (COLUMNS + 1) vertical ones, rows * COLUMNS texts.
    return max(1, round((entities - COLUMNS - 2) / (COLUMNS + 1)))


def make_table(path, rows, mtext=False):
    """Writes the drawing and returns (entity count, the sheet as copied)."""
    import ezdxf
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    width, height = COLUMNS * CELL_W, rows * CELL_H
    for r in range(rows + 1):
        msp.add_line((0, height - r * CELL_H), (width, height - r * CELL_H), dxfattribs={"layer": "TABLE"})
    for c in range(COLUMNS + 1):
        msp.add_line((c * CELL_W, 0), (c * CELL_W, height), dxfattribs={"layer": "TABLE"})
    lines = []
    for r in range(rows):
        cells = []
        for c in range(COLUMNS):
            text = f"R{r + 1}C{c + 1}" if c else f"部品{r + 1}"
            cells.append(text)
            at = (c * CELL_W + 1, height - (r + 1) * CELL_H + 2)
            if mtext:
                # Bottom left, so that the insertion point is where the TEXT's would be.
                msp.add_mtext("\\H2.5;" + text, dxfattribs={"layer": "TEXT", "char_height": 2.5, "insert": at,
                                                             "attachment_point": 7})
            else:
                msp.add_text(text, dxfattribs={"layer": "TEXT", "height": 2.5, "insert": at})
        lines.append("\t".join(cells) + "\r\n")
    doc.saveas(path)
    return rows + 1 + COLUMNS + 1 + rows * COLUMNS, "".join(lines)


def memo_lines(s, main):
    # The log is the one tall edit control under the sheet.
    memo = [w for w in s.windows(main) if w.cls.lower() == "edit" and w.rect[3] - w.rect[1] > 40]
    return [l for l in memo[0].text.split("\r\n") if l] if memo else []


def status_text(s, main):
    return s.find(main, "msctls_statusbar32").text


def copy_all(s, main):
    g = s.find(main, "MorvaneSheet")
    s.driver("clear-clipboard")
    s.click_at(g.rect[0] + 8, g.rect[1] + 8)
    s.keys("ctrl+c")
    return s.wait_until(lambda: s.clipboard(), 60, "the sheet on the clipboard")


def calls_per_kind(reading):
    """The reading loop's calls split at each entity's "Item": (calls of one
    ruling line, calls of one text, number of texts), lines being the
    entities whose end points are asked for."""
    starts = [i for i, m in enumerate(reading) if m == "Item"] + [len(reading)]
    entities = [reading[a:b] for a, b in zip(starts, starts[1:])]
    lines = [e for e in entities if "StartPoint" in e]
    texts = [e for e in entities if "StartPoint" not in e]
    return (sum(map(len, lines)) / max(1, len(lines)), sum(map(len, texts)) / max(1, len(texts)), len(texts),
            sorted({" ".join(e) for e in texts}))


def measure(s, size, out_dir, last, mtext=False):
    rows = rows_for(size)
    kind = "mtext" if mtext else "text"
    dxf = os.path.join(s.work, f"table_{size}_{kind}.dxf")
    entities, expected = make_table(dxf, rows, mtext)
    calls_log = os.path.join(s.work, f"calls_{size}_{kind}.log")
    cad = s.start(s.path(e2e.STANDIN), dxf, "--auto-select=all", f"--call-log={calls_log}")
    s.wait_window("nanoCAD 5")
    # The option is left out of the settings of the TEXT tables: they read as they always did.
    main = s.start_morvane({"AcadMRV": {"mtext": 1}} if mtext else None)
    morvane = s.procs[-1]
    s.click_button(main, "取得")
    # On the way: the progress moves, read across processes, so the window
    # keeps handling its messages while it reads.
    seen = set()

    def progressed():
        text = status_text(s, main)
        if re.fullmatch(r" \d+ / \d+", text):
            seen.add(text)
        return len(seen) >= 3

    s.wait_until(progressed, 600, "the progress in the status bar")
    check(all(t.endswith(f" / {entities}") for t in seen), f"progress of {seen}, {entities} entities")
    s.screenshot(f"{size}-reading")
    log = s.wait_until(lambda: [l for l in memo_lines(s, main) if l.startswith("Yoko = ")] and memo_lines(s, main),
                       1800, "the end of Acquire")
    check(log[0] == f"Select = {entities}", f"log {log}")
    seconds = float(log[1].split()[0].replace(",", "."))
    check(log[2] == f"Line = {COLUMNS + rows + 2}, Text = {rows * COLUMNS}", f"log {log}")
    check(log[3] == f"Yoko = {rows + 1}, Tate = {COLUMNS + 1}", f"log {log}")
    s.screenshot(f"{size}-done")
    check(copy_all(s, main) == expected, f"the sheet of {entities} entities is not the drawn table")
    with open(calls_log, encoding="utf-8") as f:
        calls = [l.strip() for l in f][1:]
    reading = calls[calls.index("SelectOnScreen") + 1:]
    # The reading loop's calls: from the set's Count to the closing Clear.
    reading = reading[reading.index("Count"):]
    reading = reading[:len(reading) - 1 - reading[::-1].index("Clear")]
    per_line, per_text, texts, shapes = calls_per_kind(reading)
    check(texts == rows * COLUMNS, f"{texts} texts read in the call log, {rows * COLUMNS} drawn")
    result = {"entities": entities, "kind": kind, "seconds": seconds, "ms_per_entity": 1000.0 * seconds / entities,
              "calls_per_entity": len(reading) / entities, "calls_per_line": per_line, "calls_per_text": per_text,
              "text_calls": shapes}
    if last:
        _, out = s.driver("memory", main)
        peak_ws, peak_private = (int(v) for v in out.split())
        result["peak_working_set_mb"] = peak_ws / 2**20
        result["peak_private_mb"] = peak_private / 2**20
    print(json.dumps(result), flush=True)
    with open(os.path.join(out_dir, "acquire.jsonl"), "a", encoding="utf-8") as f:
        f.write(json.dumps(result) + "\n")
    s.close_window(main)
    s.wait_until(lambda: morvane.poll() is not None, 30, "Morvane to end")
    s.close_window(s.wait_window("nanoCAD 5"))
    s.wait_until(lambda: cad.poll() is not None, 30, "the stand-in to end")


def measure_round_trip(s, out_dir):
    cad = s.start(s.path(e2e.STANDIN), s.sample("parts_list.dxf"))
    window = s.wait_window("nanoCAD 5")
    result_path = os.path.join(s.work, "round_trip.json")
    if os.path.exists(result_path):
        os.remove(result_path)
    probe = s.start(s.path(ROUND_TRIP), result_path)
    s.wait_until(lambda: probe.poll() is not None, 300, "the round trips to end")
    check(probe.returncode == 0 and os.path.exists(result_path),
          f"cad_round_trip ended with {probe.returncode}; see {s.work}")
    with open(result_path, encoding="utf-8") as f:
        result = json.load(f)
    print(json.dumps(result), flush=True)
    with open(os.path.join(out_dir, "round_trip.jsonl"), "a", encoding="utf-8") as f:
        f.write(json.dumps(result) + "\n")
    s.close_window(window)
    s.wait_until(lambda: cad.poll() is not None, 30, "the stand-in to end")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--sizes", default="500,2000,5000,10000")
    ap.add_argument("--mtext-size", type=int, default=None)
    ap.add_argument("--out", required=True)
    args, rest = ap.parse_known_args()
    sys.argv = [sys.argv[0]] + rest
    os.makedirs(args.out, exist_ok=True)
    for name in ("acquire.jsonl", "round_trip.jsonl"):
        path = os.path.join(args.out, name)
        if os.path.exists(path):
            os.remove(path)
    sizes = [int(v) for v in args.sizes.split(",")]
    mtext_size = sizes[0] if args.mtext_size is None else args.mtext_size

    def scenario(s):
        for i, size in enumerate(sizes):
            measure_round_trip(s, args.out)
            measure(s, size, args.out, i == len(sizes) - 1)
        if mtext_size:
            measure_round_trip(s, args.out)
            measure(s, mtext_size, args.out, False, mtext=True)
        measure_round_trip(s, args.out)

    e2e.run("acquire_load", scenario)


if __name__ == "__main__":
    main()
