#!/usr/bin/env python3
"""Runs one Wine test entry so that it always ends.

Each piece of the entry (the whole command, or with --gtest-suites one
process per GoogleTest suite) runs under a time bound. A piece hangs when it
runs past that bound, when its test process reports that a step ran past a
bound of its own (a line starting "[watchdog]"), or when it ends with
HUNG (an end-to-end scenario whose wait timed out; it has printed its
backtraces already). A hung piece is diagnosed first: the Wine backtraces
of every thread of the programs it started. Then they are ended by their
process ids, the class registrations a killed server leaves behind are
cleared, and the piece runs again alone, once. A rerun that passes is
written to the reruns file for the summary of the run; a second hang fails.

Usage: wine_guard.py --name NAME --bound SECONDS [--gtest-suites]
                     [--reruns FILE] -- COMMAND...
"""

import argparse
import codecs
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

HUNG = 3  # the exit code of a piece that hung
SKIPPED = 77  # the exit code of a piece that says it was skipped (ctest's SKIP_RETURN_CODE)
WATCHDOG = "[watchdog]"
# Wine's own programs live under C:\windows; everything else in the prefix
# was started by the tests.
SYSTEM_DIR = "c:\\windows\\"


def log(message):
    print(f"[wine-guard] {message}", flush=True)


# ---- the prefix's processes ----------------------------------------------------

def prefix_processes(prefix):
    """(unix pid, Windows command line) of every Wine program running in the
    prefix. Wine shows a program's Windows command line as its argv."""
    found = []
    marker = b"WINEPREFIX=" + os.fsencode(prefix)
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/environ", "rb") as f:
                if marker not in f.read().split(b"\0"):
                    continue
            with open(f"/proc/{entry}/cmdline", "rb") as f:
                argv = f.read().split(b"\0")
        except OSError:
            continue
        found.append((int(entry), os.fsdecode(argv[0])))
    return found


def is_test_program(argv0):
    """A program the tests started: a Windows executable outside Wine's own folder."""
    lower = argv0.lower()
    return lower.endswith(".exe") and not lower.startswith(SYSTEM_DIR)


def test_programs(prefix):
    return [(pid, argv0) for pid, argv0 in prefix_processes(prefix) if is_test_program(argv0)]


def parse_thread_list(text):
    """winedbg's "info thread": {Windows pid: (program name, [thread ids])}."""
    processes = {}
    current = None
    for line in text.splitlines():
        m = re.match(r"^([0-9a-fA-F]{8}) (?:\(D\) )?(.+?)\s*$", line)
        if m:
            current = int(m.group(1), 16)
            processes[current] = (program_name(m.group(2)), [])
            continue
        m = re.match(r"^\t([0-9a-fA-F]{8})\s", line)
        if m and current is not None:
            processes[current][1].append(int(m.group(1), 16))
    return processes


def backtrace_scripts(processes, names):
    """(header, winedbg commands) that print every thread of each named program."""
    scripts = []
    for pid, (name, tids) in sorted(processes.items()):
        if name.lower() in names:
            commands = [f"attach {pid:#x}"] + [f"bt {tid:#x}" for tid in tids] + ["detach", "quit"]
            scripts.append((f"== {name} (Windows pid {pid:#x})", commands))
    return scripts


def program_name(argv0):
    """The executable's file name, of a Windows or a Unix path."""
    return re.split(r"[\\/]", argv0)[-1].lower()


def run_bounded(argv, bound, env, stdin_text=None):
    """The output of a helper program, ended after `bound` seconds."""
    with tempfile.TemporaryFile() as out:
        p = subprocess.Popen(argv, env=env, stdout=out, stderr=subprocess.STDOUT,
                             stdin=subprocess.PIPE if stdin_text else subprocess.DEVNULL, start_new_session=True)
        try:
            p.communicate(stdin_text.encode() if stdin_text else None, timeout=bound)
        except subprocess.TimeoutExpired:
            os.killpg(p.pid, signal.SIGKILL)
            p.wait()
            log(f"{argv[0]} ran past {bound} s and was ended")
        out.seek(0)
        return out.read().decode("utf-8", "replace")


def print_backtraces(env, programs):
    """Every thread's backtrace of the given programs, from winedbg."""
    names = {program_name(argv0) for _, argv0 in programs}
    if not names:
        log("no test program is running in the prefix: no backtraces")
        return
    threads = parse_thread_list(run_bounded(["winedbg", "--command", "info thread"], 60, env))
    scripts = backtrace_scripts(threads, names)
    if not scripts:
        log(f"winedbg lists none of {sorted(names)}")
    for header, commands in scripts:
        text = run_bounded(["winedbg"], 120, env, "\n".join(commands) + "\n")
        print(header + "\n" + text.replace("Wine-dbg>", ""), flush=True)


def wait_gone(pids, bound=15):
    end = time.monotonic() + bound
    while time.monotonic() < end:
        alive = [p for p in pids if running(p)]
        if not alive:
            return True
        time.sleep(0.05)
    return False


def running(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def end_processes(programs):
    for pid, argv0 in programs:
        log(f"ending {argv0} (pid {pid})")
        try:
            os.kill(pid, signal.SIGKILL)
        except OSError:
            pass
    if not wait_gone([pid for pid, _ in programs]):
        log("some of them did not end")


def clear_registrations(prefix):
    """A server that was killed leaves its class registration (and its entry
    in the running object table) with COM's service, which hands the dead
    server to the next client. Ending the service forgets them; the next COM
    activation starts it afresh, and the wineserver stays up."""
    services = [(pid, argv0) for pid, argv0 in prefix_processes(prefix) if argv0.lower().endswith("\\rpcss.exe")]
    for pid, _ in services:
        os.kill(pid, signal.SIGKILL)
    wait_gone([pid for pid, _ in services])
    log(f"cleared the class registrations ({len(services)} COM service process ended)")


def diagnose_and_clear(env, reason):
    """What a hang leaves: backtraces of the test programs, then they are ended and
    their registrations cleared."""
    prefix = env["WINEPREFIX"]
    log(f"HANG: {reason}")
    started = time.monotonic()
    programs = test_programs(prefix)
    print_backtraces(env, programs)
    end_processes(test_programs(prefix))
    clear_registrations(prefix)
    log(f"diagnosed and cleared in {time.monotonic() - started:.1f} s")


# ---- running a piece ---------------------------------------------------------------

def run_piece(argv, bound, env):
    """Runs one piece: ("passed" | "failed" | "hung", why it hung)."""
    decoder = codecs.getincrementaldecoder("utf-8")("replace")
    with tempfile.TemporaryFile() as out:
        # The output goes through a file: a Wine program may hand a pipe on to
        # a daemon that keeps it open after the program ended.
        p = subprocess.Popen(argv, env=env, stdout=out, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                             start_new_session=True)
        end = time.monotonic() + bound
        shown = 0
        partial = ""
        why = None
        while why is None:
            rc = p.poll()
            out.seek(shown)
            data = out.read()
            shown += len(data)
            text = decoder.decode(data)
            sys.stdout.write(text)
            sys.stdout.flush()
            *lines, partial = (partial + text).split("\n")
            why = next((l.strip() for l in lines if l.lstrip().startswith(WATCHDOG)), None)
            if why is None and rc is not None:
                if rc == HUNG:
                    return "hung", "a wait of the scenario timed out"
                return ("passed" if rc == 0 else "skipped" if rc == SKIPPED else "failed"), None
            if why is None and time.monotonic() > end:
                why = f"ran past its bound of {bound:g} s"
            if why is None:
                time.sleep(0.1)
        diagnose_and_clear(env, why)
        try:
            os.killpg(p.pid, signal.SIGKILL)
        except OSError:
            pass
        p.wait()
        return "hung", why


def guarded(name, argv, bound, env, reruns):
    """Runs a piece, and once more after a hang. True when it passed."""
    started = time.monotonic()
    result, why = run_piece(argv, bound, env)
    if result == "hung":
        log(f"{name} hung ({why}); running it again alone, once")
        result, why2 = run_piece(argv, bound, env)
        if result == "hung":
            log(f"FAILED: {name} HUNG TWICE ({why}; then {why2})")
        note = f"{name}: hung ({why}); the rerun {result}"
        log(note)
        if reruns:
            with open(reruns, "a", encoding="utf-8") as f:
                f.write(note + "\n")
    log(f"{name}: {result} in {time.monotonic() - started:.1f} s")
    return result


def parse_suites(listing):
    """The suite names of --gtest_list_tests output ("Suite." lines, a
    parameterised suite as "Prefix/Suite.")."""
    suites = []
    for line in listing.splitlines():
        m = re.match(r"^([A-Za-z_][\w/]*)\.\s*(?:#.*)?$", line.rstrip("\r"))
        if m:
            suites.append(m.group(1))
    return suites


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--name", required=True)
    ap.add_argument("--bound", type=float, required=True, help="seconds one piece may take")
    ap.add_argument("--gtest-suites", action="store_true", help="one process per GoogleTest suite")
    ap.add_argument("--reruns", help="the file that collects the reruns of the whole run")
    ap.add_argument("command", nargs=argparse.REMAINDER)
    args = ap.parse_args()
    argv = args.command[1:] if args.command[:1] == ["--"] else args.command
    env = dict(os.environ)
    env.setdefault("WINEPREFIX", os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build", "wineprefix"))
    env["WINEPREFIX"] = os.path.abspath(env["WINEPREFIX"])
    # The test process's watchdog leaves the ending to this guard, which
    # takes the backtraces first.
    env["MORVANE_WINE_GUARD"] = "1"
    if not args.gtest_suites:
        result = guarded(args.name, argv, args.bound, env, args.reruns)
        sys.exit({"passed": 0, "skipped": SKIPPED}.get(result, 1))
    listing = run_bounded(argv + ["--gtest_list_tests"], 60, env)
    suites = parse_suites(listing)
    if not suites:
        log(f"no test suites listed:\n{listing}")
        sys.exit(1)
    failed = [s for s in suites
              if guarded(f"{args.name} {s}", argv + [f"--gtest_filter={s}.*"], args.bound, env, args.reruns) != "passed"]
    log(f"{len(suites) - len(failed)} of {len(suites)} suites passed" + (f"; failed: {' '.join(failed)}" if failed else ""))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
