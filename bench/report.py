"""Prints the one table of scripts/bench-all.sh from the results it left in
DIR (native.json from Google Benchmark, acquire.jsonl and round_trip.jsonl
from acquire_load.py) and draws ms per entity against the selection size into DIR/acquire.png.

A native benchmark named X_<suffix> is the literal algorithm of X and is
shown beside it, with the speed-up."""

import json
import os
import sys


def fmt_ms(ms):
    return f"{ms:.3f}" if ms < 10 else f"{ms:.1f}"


def native_rows(path):
    with open(path, encoding="utf-8") as f:
        runs = [b for b in json.load(f)["benchmarks"] if b.get("run_type", "iteration") == "iteration"]
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
    ms = {b["name"]: b["real_time"] * scale[b.get("time_unit", "ns")] for b in runs}
    rows = []
    for name, value in ms.items():
        if any(name.startswith(other + "_") for other in ms if other != name):
            continue  # shown beside its own benchmark
        literal = [(n, v) for n, v in ms.items() if n.startswith(name + "_")]
        if literal:
            lname, lvalue = literal[0]
            rows.append((name, fmt_ms(value), f"{fmt_ms(lvalue)} ({lname[len(name) + 1:]})", f"{lvalue / value:.0f}x"))
        else:
            rows.append((name, fmt_ms(value), "", ""))
    return rows


def round_trips(path):
    """Milliseconds per call of each round-trip measurement, in run order."""
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as f:
        return [json.loads(l)["ms_per_call"] for l in f if l.strip()]


def label(r):
    """A result's entity count, and what its cells are when they are not TEXT."""
    return f"{r['entities']:,}" + (" (MTEXT cells)" if r.get("kind") == "mtext" else "")


def per_kind(r):
    """The calls of one ruling line and of one cell text (results of older runs lack them)."""
    return f"{r['calls_per_line']:.2f} | {r['calls_per_text']:.2f}" if "calls_per_text" in r else " | "


def plot(results, path):
    try:
        import matplotlib
        matplotlib.use("Agg")
        import matplotlib.pyplot as plt
    except ImportError:
        print("(no plot: python3-matplotlib is not installed)", file=sys.stderr)
        return
    results = [r for r in results if r.get("kind", "text") == "text"]
    xs = [r["entities"] for r in results]
    fig, ax = plt.subplots(figsize=(6.4, 3.6), dpi=100)
    ax.plot(xs, [r["ms_per_entity"] for r in results], marker="o", label="Acquire, ms per entity")
    ax.set_xlabel("entities selected")
    ax.set_ylabel("ms per entity")
    ax.set_ylim(0, 1.25 * max(r["ms_per_entity"] for r in results))  # room for the labels
    ax.set_xlim(left=0)
    ax.grid(True, alpha=0.3)
    for r in results:
        ax.annotate(f"{r['ms_per_entity']:.2f}", (r["entities"], r["ms_per_entity"]), textcoords="offset points",
                    xytext=(0, 6), ha="center", fontsize=8)
    ax.set_title("Acquire through the stand-in CAD under Wine")
    fig.tight_layout()
    fig.savefig(path)


def main():
    out = sys.argv[1]
    lines = []
    native = os.path.join(out, "native.json")
    if os.path.exists(native):
        lines += ["| native benchmark (1,000 x 30 sheet) | ms | literal algorithm, ms | speed-up |",
                  "|---|---:|---:|---:|"]
        lines += [f"| {' | '.join(r)} |" for r in native_rows(native)]
        lines.append("")
    acquire = os.path.join(out, "acquire.jsonl")
    if os.path.exists(acquire):
        with open(acquire, encoding="utf-8") as f:
            results = [json.loads(l) for l in f if l.strip()]
        trips = round_trips(os.path.join(out, "round_trip.jsonl"))
        if trips:
            # Calls per entity times one round trip: what Acquire would cost if
            # all its time went into the calls. Each Acquire is set beside the
            # round trips measured just before and just after it.
            if len(trips) == len(results) + 1:
                beside = [(before + after) / 2 for before, after in zip(trips, trips[1:])]
            else:
                beside = [sum(trips) / len(trips)] * len(results)
            said = ", ".join(f"{t:.3f}" for t in trips)
            lines += [f"Round trip of a call that costs the CAD nothing (the application's HWND), before each "
                      f"Acquire and after the last: {said} ms", ""]
            lines += ["| Acquire under Wine, entities | s | ms per entity | calls per entity | calls per line "
                      "| calls per cell text | round trip, ms | its calls alone, ms per entity | Acquire / its calls |",
                      "|---:|---:|---:|---:|---:|---:|---:|---:|---:|"]
            for r, trip in zip(results, beside):
                alone = r["calls_per_entity"] * trip
                lines.append(f"| {label(r)} | {r['seconds']:.3f} | {r['ms_per_entity']:.2f} "
                             f"| {r['calls_per_entity']:.2f} | {per_kind(r)} | {trip:.3f} | {alone:.2f} "
                             f"| {r['ms_per_entity'] / alone:.2f} |")
        else:
            lines += ["| Acquire under Wine, entities | s | ms per entity | calls per entity | calls per line "
                      "| calls per cell text |",
                      "|---:|---:|---:|---:|---:|---:|"]
            lines += [f"| {label(r)} | {r['seconds']:.3f} | {r['ms_per_entity']:.2f} "
                      f"| {r['calls_per_entity']:.2f} | {per_kind(r)} |" for r in results]
        shapes = {r.get("kind", "text"): r["text_calls"] for r in results if "text_calls" in r}
        for kind, calls in shapes.items():
            lines += ["", f"The calls of one {kind.upper()} cell: " + "; ".join(calls)]
        peak = [r for r in results if "peak_working_set_mb" in r]
        if peak:
            p = peak[-1]
            lines += ["", f"Memory peak of morvane.exe after acquiring {p['entities']:,} entities: "
                          f"working set {p['peak_working_set_mb']:.1f} MiB, private bytes {p['peak_private_mb']:.1f} MiB"]
        plot(results, os.path.join(out, "acquire.png"))
    text = "\n".join(lines) + "\n"
    with open(os.path.join(out, "table.md"), "w", encoding="utf-8") as f:
        f.write(text)
    print(text, end="")


if __name__ == "__main__":
    main()
