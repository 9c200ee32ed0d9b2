#!/usr/bin/env python3
"""Tests of the Wine test guard: what it reads from winedbg and GoogleTest,
how it handles a piece that hangs once, twice, or says so through the
watchdog; and, with --tests <morvane_win32_tests.exe>, one real hang under
Wine: a COM call that the stand-in CAD never answers in time is backtraced
on both sides, both processes are ended, the stand-in's class registration
is cleared, and the case passes when it runs again."""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import wine_guard  # noqa: E402

GUARD = os.path.join(HERE, "wine_guard.py")
TESTS_EXE = None

THREADS = """process  tid      prio    name (all IDs are in hex)
00000038 services.exe
\t0000003c    0     
\t00000048    0     wine_rpcrt4_server
00000120 (D) C:\\windows\\system32\\ping.exe
\t00000124    0     
\t000001a8    0 <== 
00000198 standin-cad.exe
\t0000019c    0     
\t000001a0    0     wine_rpcrt4_io
"""

LISTING = ("Running main() from gmock_main.cc\r\nSettingsFile.\r\n  ReadsUnicode\r\n  WritesBom\r\n"
           "Pool/DrawingCase.  # GetParam() = x\r\n  Reads/0  # GetParam() = a.dxf\r\nGuardSelfTest.\r\n"
           "  AFreshStandinIsReachedAfterAHang\r\n")


class Parsing(unittest.TestCase):
    def test_thread_list(self):
        got = wine_guard.parse_thread_list(THREADS)
        self.assertEqual(got, {0x38: ("services.exe", [0x3c, 0x48]), 0x120: ("ping.exe", [0x124, 0x1a8]),
                               0x198: ("standin-cad.exe", [0x19c, 0x1a0])})

    def test_backtrace_scripts_name_only_the_given_programs(self):
        scripts = wine_guard.backtrace_scripts(wine_guard.parse_thread_list(THREADS), {"standin-cad.exe", "ping.exe"})
        self.assertEqual(scripts, [
            ("== ping.exe (Windows pid 0x120)", ["attach 0x120", "bt 0x124", "bt 0x1a8", "detach", "quit"]),
            ("== standin-cad.exe (Windows pid 0x198)", ["attach 0x198", "bt 0x19c", "bt 0x1a0", "detach", "quit"])])

    def test_program_names_of_windows_and_unix_paths(self):
        for argv0, name in [("Z:\\work\\build\\Standin-CAD.exe", "standin-cad.exe"),
                            ("/work/build/win/tests/win32/morvane_win32_tests.exe", "morvane_win32_tests.exe"),
                            ("morvane.exe", "morvane.exe")]:
            self.assertEqual(wine_guard.program_name(argv0), name)

    def test_suites(self):
        self.assertEqual(wine_guard.parse_suites(LISTING), ["SettingsFile", "Pool/DrawingCase", "GuardSelfTest"])

    def test_which_programs_are_the_tests(self):
        for argv0, expected in [("Z:\\work\\build\\win\\tests\\win32\\morvane_win32_tests.exe", True),
                                ("Z:\\tmp\\morvane-e2e-faults-x\\morvane.exe", True),
                                ("C:\\windows\\system32\\rpcss.exe", False),
                                ("C:\\Windows\\System32\\services.exe", False),
                                ("/usr/bin/python3", False), ("wineserver", False)]:
            self.assertEqual(wine_guard.is_test_program(argv0), expected, argv0)


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def guard(tmp, name, bound, command, env_extra=None, *extra):
    """Runs the guard over a command: (exit code, output, reruns file lines, seconds)."""
    reruns = os.path.join(tmp, "reruns.txt")
    env = dict(os.environ)
    env.setdefault("WINEPREFIX", os.path.join(tmp, "no-prefix"))
    env.update(env_extra or {})
    started = time.monotonic()
    r = subprocess.run([sys.executable, GUARD, "--name", name, "--bound", str(bound), "--reruns", reruns, *extra,
                        "--", *command], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=600)
    lines = read(reruns).splitlines() if os.path.exists(reruns) else []
    return r.returncode, r.stdout.decode("utf-8", "replace"), lines, time.monotonic() - started


class Reruns(unittest.TestCase):
    """Pieces that hang without Wine: the guard's decisions alone."""

    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="wine-guard-test-")
        self.env = {"WINEPREFIX": os.path.join(self.tmp, "no-prefix")}

    def tearDown(self):
        shutil.rmtree(self.tmp, ignore_errors=True)

    def test_a_scenario_that_timed_out_once_passes_when_run_again_and_is_reported(self):
        marker = os.path.join(self.tmp, "hung-once")
        rc, out, reruns, _ = guard(self.tmp, "e2e_once", 30,
                                   ["sh", "-c", f'test -e {marker} && exit 0; touch {marker}; exit {wine_guard.HUNG}'],
                                   self.env)
        self.assertEqual(rc, 0, out)
        self.assertEqual(reruns, ["e2e_once: hung (a wait of the scenario timed out); the rerun passed"])

    def test_a_piece_past_its_bound_twice_is_ended_and_fails_loudly(self):
        pids = os.path.join(self.tmp, "pids")
        rc, out, reruns, seconds = guard(self.tmp, "sleeper", 1, ["sh", "-c", f"echo $$ >>{pids}; exec sleep 60"],
                                         self.env)
        self.assertEqual(rc, 1, out)
        self.assertIn("FAILED: sleeper HUNG TWICE", out)
        self.assertEqual(reruns, ["sleeper: hung (ran past its bound of 1 s); the rerun hung"])
        self.assertLess(seconds, 30)
        started = [int(p) for p in read(pids).split()]
        self.assertEqual(len(started), 2)
        for pid in started:
            self.assertFalse(wine_guard.running(pid), f"the hung piece {pid} still runs")

    def test_the_watchdogs_report_ends_the_piece_before_its_bound(self):
        rc, out, reruns, seconds = guard(self.tmp, "reported", 120, [
            "sh", "-c", "echo '[watchdog] Suite.Case: connecting ran past 30 s'; exec sleep 120"], self.env)
        self.assertEqual(rc, 1, out)
        self.assertEqual(reruns, ["reported: hung ([watchdog] Suite.Case: connecting ran past 30 s); the rerun hung"])
        self.assertLess(seconds, 60)

    def test_a_failure_is_not_run_again(self):
        rc, out, reruns, _ = guard(self.tmp, "failing", 30, ["sh", "-c", "exit 1"], self.env)
        self.assertEqual((rc, reruns), (1, []), out)


@unittest.skipUnless(os.environ.get("DISPLAY"), "needs the Wine session's display")
class HangUnderWine(unittest.TestCase):
    def test_a_com_call_that_hangs_is_backtraced_ended_cleared_and_run_again(self):
        if TESTS_EXE is None:
            self.skipTest("no --tests given")
        tmp = tempfile.mkdtemp(prefix="wine-guard-test-")
        self.addCleanup(shutil.rmtree, tmp, True)
        marker = os.path.join(tmp, "hung-once")
        rc, out, reruns, seconds = guard(
            tmp, "selftest", 90, ["wine", TESTS_EXE, "--gtest_filter=GuardSelfTest.*"],
            {"MORVANE_GUARD_SELFTEST_HANG": marker}, "--gtest-suites")
        print(out)
        print(f"the hang and the rerun took {seconds:.1f} s")
        self.assertEqual(rc, 0)
        self.assertIn("[watchdog] GuardSelfTest.AFreshStandinIsReachedAfterAHang: a call to the stand-in CAD ran past 5 s",
                      out)
        for program in ("morvane_win32_tests.exe", "standin-cad.exe"):
            section = out.split(f"== {program} (Windows pid")[1:]
            self.assertTrue(section and "Backtrace:" in section[0], f"no backtrace of {program}")
        # The test process waits inside the COM call, the stand-in sleeps inside the member it serves.
        self.assertIn("CoWaitForMultipleHandles", out)
        self.assertIn("cleared the class registrations", out)
        self.assertEqual(reruns, ["selftest GuardSelfTest: hung ([watchdog] GuardSelfTest.AFreshStandinIsReachedAfterAHang: "
                                  "a call to the stand-in CAD ran past 5 s); the rerun passed"])
        left = wine_guard.test_programs(os.path.abspath(os.environ["WINEPREFIX"]))
        self.assertEqual(left, [])


if __name__ == "__main__":
    ap = argparse.ArgumentParser()
    ap.add_argument("--tests")
    args, rest = ap.parse_known_args()
    TESTS_EXE = args.tests
    unittest.main(argv=[sys.argv[0], "-v", *rest])
