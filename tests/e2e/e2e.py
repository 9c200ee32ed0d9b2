"""Harness for the end-to-end tests: starts the stand-in CAD and morvane.exe
under Wine on an X display, drives them as a user would (the driver program
for window lookups, button clicks and the clipboard; xdotool for the mouse and
keyboard) and cleans up every process it started."""

import argparse
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import wine_guard  # noqa: E402

DRIVER = "tests/e2e/e2e_driver.exe"
STANDIN = "tools/standin-cad/win32/standin-cad.exe"
STANDIN_EXCEL = "tools/standin-excel/win32/standin-excel.exe"
MORVANE = "src/app/win32/morvane.exe"
MAIN_TITLE = "Morvane 2025.06.08a"


class Failure(Exception):
    pass


class Timeout(Failure):
    """A wait that ran past its bound: what the programs were doing is worth a backtrace."""


def check(cond, message):
    if not cond:
        raise Failure(message)


class Window:
    def __init__(self, line):
        parts = line.rstrip("\r\n").split("\t")
        self.hwnd = int(parts[0])
        self.cls = parts[1]
        self.id = int(parts[2])
        self.rect = tuple(int(v) for v in parts[3].split())
        self.visible = parts[4] == "1"
        self.enabled = parts[5] == "1"
        self.checked = int(parts[6])
        self.text = (parts[7] if len(parts) > 7 else "").replace("\x1e", "\r").replace("\x1f", "\n")

    def centre(self):
        l, t, r, b = self.rect
        return (l + r) // 2, (t + b) // 2

    def __repr__(self):
        return f"<{self.cls} {self.text!r} {self.rect}>"


class Session:
    """One scenario: a private copy of morvane.exe (its settings file lands
    beside it), the processes started, the screenshots taken."""

    def __init__(self, name, served_driver=True):
        ap = argparse.ArgumentParser()
        ap.add_argument("--build", required=True)
        ap.add_argument("--source", required=True)
        args = ap.parse_args()
        self.name = name
        self.build = os.path.abspath(args.build)
        self.source = os.path.abspath(args.source)
        self.work = tempfile.mkdtemp(prefix=f"morvane-e2e-{name}-")
        self.shots = os.path.join(self.build, "e2e-screenshots")
        os.makedirs(self.shots, exist_ok=True)
        self.procs = []
        # One driver runs all the scenario's commands (it is not among procs);
        # without it each command starts a driver of its own.
        self.served_driver = served_driver
        self.served = None
        self.t0 = time.monotonic()
        self.xvfb = None
        self.env = dict(os.environ)
        # Japanese arguments reach Wine programs through a UTF-8 locale.
        self.env["LANG"] = "C.UTF-8"
        for var in ("LC_ALL", "LC_CTYPE"):
            self.env.pop(var, None)
        self.env.setdefault("WINEPREFIX", os.path.join(self.source, "build", "wineprefix"))
        self.env.setdefault("WINEARCH", "win64")
        self.env.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=")
        self.env.setdefault("WINEDEBUG", "-all")
        if not self.env.get("DISPLAY"):
            self._start_xvfb()
        self._ensure_prefix()
        self._warm_wine()

    # ---- environment --------------------------------------------------------
    def _start_xvfb(self):
        for d in range(141, 190):
            if not os.path.exists(f"/tmp/.X{d}-lock") and not os.path.exists(f"/tmp/.X11-unix/X{d}"):
                self.xvfb = subprocess.Popen(["Xvfb", f":{d}", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                self.env["DISPLAY"] = f":{d}"
                self.wait_until(lambda: os.path.exists(f"/tmp/.X11-unix/X{d}"), 10, "Xvfb start")
                return
        raise Failure("no free X display")

    def _ensure_prefix(self):
        script = os.path.join(self.source, "scripts", "wine-env.sh")
        subprocess.run(["bash", "-c", f'source "{script}" && morvane_wine_prefix'], env=self.env, check=True,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)

    def _warm_wine(self):
        # A persistent wineserver, and the prefix's services and desktop
        # started with none of our pipes: a daemon that inherits them keeps
        # whoever reads them waiting.
        script = os.path.join(self.source, "scripts", "wine-env.sh")
        subprocess.run(["bash", "-c", f'source "{script}" && morvane_wine_warm'], env=self.env, check=False,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def path(self, rel):
        return os.path.join(self.build, rel)

    def sample(self, name):
        return os.path.join(self.source, "samples", name)

    # ---- processes ----------------------------------------------------------
    def start(self, exe, *args, cwd=None):
        log = open(os.path.join(self.work, os.path.basename(exe) + ".log"), "ab")
        p = subprocess.Popen(["wine", exe, *args], env=self.env, cwd=cwd or self.work, stdin=subprocess.DEVNULL,
                             stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
        self.procs.append(p)
        return p

    def start_standin(self, dxf, *args):
        self.start(self.path(STANDIN), dxf, *args)
        return self.wait_window("nanoCAD 5")

    def start_standin_excel(self, *args, title="Excel - Book1"):
        """The stand-in Excel (title "Excel" when started without a workbook);
        returns its process and its window."""
        p = self.start(self.path(STANDIN_EXCEL), *args)
        return p, self.wait_window(title)

    def start_morvane(self, settings=None):
        """settings: {section: {key: value}} written to the settings file first."""
        exe = os.path.join(self.work, "morvane.exe")
        if not os.path.exists(exe):
            shutil.copy(self.path(MORVANE), exe)
        self.morvane_exe = exe
        if settings:
            text = "".join(f"[{section}]\r\n" + "".join(f"{k}={v}\r\n" for k, v in keys.items())
                           for section, keys in settings.items())
            with open(exe[:-4] + ".ini", "wb") as f:
                f.write(b"\xff\xfe" + text.encode("utf-16-le"))
        self.start(exe)
        main = self.wait_window(MAIN_TITLE, prefix=True)
        # The title comes with the window, its controls just after it.
        self.wait_until(lambda: any(w.cls.lower() == "button" and w.text == "取得" for w in self.windows(main)), 30,
                        "Morvane's buttons")
        return main

    def driver(self, *args, check_rc=True):
        print(f"[{time.monotonic() - self.t0:7.2f}] driver {' '.join(str(a) for a in args)}", flush=True)
        rc, out, err = self._run_driver(args)
        if check_rc and rc != 0 and not out.strip():
            # Seen once in many runs: the driver ended with 1 without having
            # printed a thing at a plain post, which cannot fail. Every command
            # that checks its result is safe to run again (a post that failed
            # posted nothing, a lookup looks again); what Wine said goes into
            # the failure if the second run fails too.
            print(f"driver {args} ended with {rc} and no output; Wine said: {err.strip()!r}; once more",
                  flush=True)
            rc, out, err = self._run_driver(args)
        if check_rc and rc != 0:
            raise Failure(f"driver {args} failed with {rc}: {out} {err.strip()}")
        return rc, out

    def _run_driver(self, args):
        """Runs one command in the scenario's driver: (exit code, output, what
        Wine said). A driver that does not answer within 90 s is a hang."""
        if not self.served_driver:
            return self._run_driver_alone(args)
        if self.served is None or self.served.poll() is not None:
            # Wine's messages go to a file, never a pipe that a daemon could keep open.
            self.served_err = open(os.path.join(self.work, "driver-wine.log"), "ab")
            self.served = subprocess.Popen(["wine", self.path(DRIVER), "serve"], env=self.env, stdin=subprocess.PIPE,
                                           stdout=subprocess.PIPE, stderr=self.served_err, cwd=self.work)
        line = "\t".join(str(a) for a in args)
        check("\n" not in line, f"a driver argument holds a line break: {args}")
        self.served.stdin.write(line.encode("utf-8") + b"\n")
        self.served.stdin.flush()
        reply = b""
        end = time.monotonic() + 90
        fd = self.served.stdout.fileno()
        while not (end_of_reply := re.search(rb"\x1d(-?\d+)\r?\n$", reply)):
            ready, _, _ = select.select([fd], [], [], max(0.0, end - time.monotonic()))
            chunk = os.read(fd, 65536) if ready else b""
            if not chunk:
                raise Timeout(f"driver {args} did not answer within 90 s" if not ready
                              else f"the driver ended at {args}")
            reply += chunk
        out = reply[:end_of_reply.start()].decode("utf-8", "replace").replace("\r\n", "\n")
        return int(end_of_reply.group(1)), out, ""

    def _run_driver_alone(self, args):
        # Output goes through files, never a pipe: a Wine program can hand
        # its pipes on to a daemon (wineserver, the desktop process) that
        # keeps them open long after the program itself ended.
        with tempfile.TemporaryFile() as out_file, tempfile.TemporaryFile() as err_file:
            try:
                r = subprocess.run(["wine", self.path(DRIVER), *[str(a) for a in args]], env=self.env,
                                   stdout=out_file, stderr=err_file, stdin=subprocess.DEVNULL, timeout=90)
            except subprocess.TimeoutExpired:
                raise Timeout(f"driver {args} ran past 90 s")
            out_file.seek(0)
            err_file.seek(0)
            out = out_file.read().decode("utf-8", "replace").replace("\r\n", "\n")
            err = err_file.read().decode("utf-8", "replace")
        return r.returncode, out, err

    def _stop_driver(self):
        if self.served is not None and self.served.poll() is None:
            self.served.stdin.close()
            try:
                self.served.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.served.kill()
                self.served.wait()
        if self.served is not None:
            self.served.stdout.close()
            self.served_err.close()

    def wait_window(self, title, prefix=False, timeout=30):
        rc, out = self.driver("wait-window", title, int(timeout * 1000), "prefix" if prefix else "exact",
                              check_rc=False)
        if rc != 0:
            raise Timeout(f"no window titled {title!r} within {timeout} s")
        return int(out.strip().splitlines()[-1])

    def windows(self, top):
        _, out = self.driver("children", top)
        return [Window(line) for line in out.split("\n") if line.strip()]

    def process_windows(self, hwnd):
        """The visible top-level windows of hwnd's process, as (class, title)."""
        _, out = self.driver("process-windows", hwnd)
        return [tuple(line.split("\t")[1:3]) for line in out.split("\n") if line.strip()]

    def find(self, top, cls=None, text=None):
        for w in self.windows(top):
            if (cls is None or w.cls.lower() == cls.lower()) and (text is None or w.text == text):
                return w
        raise Failure(f"no {cls} {text!r} in window {top}")

    def status_panel(self, top, part):
        """The text of panel `part` of the status bar in window `top`, without
        the tab that centres it."""
        bar = self.find(top, "msctls_statusbar32")
        _, out = self.driver("status-panel", bar.hwnd, part)
        return out.rstrip("\n").lstrip("\t")

    # ---- the question before pending edits are thrown away ------------------
    PENDING_QUESTION = "未更新の変更が "
    IDYES, IDNO = 6, 7

    def pending_question(self, main, timeout=0):
        """The box of Morvane's question about pending edits, if one is open
        (or opens within `timeout` s): (its window, its text), else None."""
        rc, out = self.driver("dialog", int(timeout * 1000), main, check_rc=False)
        if rc != 0:
            return None
        lines = out.strip().splitlines()
        text = "\n".join(lines[1:])
        return (int(lines[0]), text) if text.startswith(self.PENDING_QUESTION) else None

    def answer_pending(self, main, yes, timeout=20):
        """Waits for the question, answers it with Yes or No and waits for the
        box to close; returns the question's text."""
        box = self.pending_question(main, timeout)
        check(box is not None, f"no question about pending edits within {timeout} s")
        hwnd, text = box
        self.post(hwnd, 0x0111, self.IDYES if yes else self.IDNO)  # WM_COMMAND
        # Another box may follow at once (the command goes on after Yes):
        # only the question's own window has to go.
        self.wait_until(lambda: (b := self.pending_question(main)) is None or b[0] != hwnd, 15,
                        "the question to close")
        return text

    def close_morvane(self, main, proc, timeout=20):
        """Closes Morvane's window, answering Yes if it asks about pending
        edits, and waits for the process to end."""
        self.close_window(main)
        end = time.monotonic() + timeout
        while proc.poll() is None:
            check(time.monotonic() < end, "Morvane did not end")
            if self.pending_question(main) is not None:
                self.answer_pending(main, True)
            time.sleep(0.2)

    def click_button(self, top, caption):
        self.driver("click", top, "Button", caption)

    def post(self, hwnd, msg, wparam=0, lparam=0):
        self.driver("post", hwnd, msg, wparam, lparam)

    def close_window(self, hwnd):
        self.post(hwnd, 0x0010)  # WM_CLOSE

    def clipboard(self):
        out = os.path.join(self.work, "clipboard.txt")
        if os.path.exists(out):
            os.remove(out)
        self.driver("clipboard", out)
        with open(out, "rb") as f:
            return f.read().decode("utf-8")

    def set_clipboard(self, text):
        """Puts a text on the clipboard from another program (the driver)."""
        src = os.path.join(self.work, "set-clipboard.txt")
        with open(src, "wb") as f:
            f.write(text.encode("utf-8"))
        self.driver("set-clipboard", src)

    def menu_choose(self, index):
        """Chooses item <index> of the popup menu that is open with the
        keyboard: each Down moves to the next item, separators skipped."""
        self.keys(*["Down"] * (index + 1), "Return")

    # ---- the user's mouse and keyboard (X events into Wine) ----------------
    def xdo(self, *args):
        subprocess.run(["xdotool", *[str(a) for a in args]], env=self.env, check=True)

    def click_at(self, x, y, button=1):
        self.xdo("mousemove", "--sync", x, y, "click", button)

    def keys(self, *keys):
        self.xdo("key", "--delay", "30", *keys)

    def type_text(self, text):
        self.xdo("type", "--delay", "40", text)

    # ---- waiting and looking -------------------------------------------------
    def arrowhead_off(self, main):
        """Unchecks "矢印描画": without the arrowhead a move of the current
        cell keeps the focus on the sheet, and no Locate's COM calls let the
        keys that follow run inside them, out of their order."""
        self.click_button(main, "矢印描画")
        self.wait_until(lambda: self.find(main, "Button", "矢印描画").checked == 0, 15, "矢印描画 unchecked")

    def wait_until(self, cond, timeout, what):
        end = time.monotonic() + timeout
        last = None
        while time.monotonic() < end:
            try:
                last = cond()
            except Failure as e:
                last = None
                err = e
            if last:
                return last
            time.sleep(0.1)
        raise Timeout(f"timed out after {timeout} s waiting for {what}")

    def screenshot(self, step):
        path = os.path.join(self.shots, f"{self.name}-{step}.png")
        subprocess.run(["import", "-window", "root", path], env=self.env, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        print(f"screenshot: {path}")
        return path

    # ---- the end --------------------------------------------------------------
    def cleanup(self):
        self._stop_driver()
        killed = False
        for p in self.procs:
            if p.poll() is None:
                try:
                    p.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    os.killpg(p.pid, signal.SIGKILL)
                    p.wait()
                    killed = True
        if killed:
            # A killed server leaves its class registration behind for
            # whatever runs next.
            wine_guard.clear_registrations(self.env["WINEPREFIX"])
        if self.xvfb:
            # The prefix's desktop lives on this display: it ends with it.
            subprocess.run(["wineserver", "-k"], env=self.env, check=False)
            self.xvfb.terminate()
            self.xvfb.wait()
        shutil.rmtree(self.work, ignore_errors=True)



def require_ezdxf():
    """The ezdxf module. Debian's python3-ezdxf belongs to the system's
    interpreter: under another one the scenario starts again under that."""
    try:
        import ezdxf
    except ImportError:
        if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
            os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
        raise
    return ezdxf

def run(name, scenario, served_driver=False):
    """Runs the scenario; exits 0 when it passed, wine_guard.HUNG when a wait
    timed out (after the backtraces of the programs it waited on; the test
    guard then runs it once more), 1 when it failed otherwise."""
    s = Session(name, served_driver)
    result = 1
    try:
        scenario(s)
        result = 0
    except Failure as e:
        print(f"FAIL: {e}", flush=True)
        s.screenshot("failure")
        if isinstance(e, Timeout):
            wine_guard.diagnose_and_clear(s.env, f"{name}: {e}")
            result = wine_guard.HUNG
    finally:
        s.cleanup()
    print("1 passed, 0 failed" if result == 0 else "0 passed, 1 failed")
    sys.exit(result)
