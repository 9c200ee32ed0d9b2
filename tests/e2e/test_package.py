"""What a user receives: the zip that scripts/package.sh writes is built twice
from the same build with the same bytes, holds the executable, the guide
with every picture it shows, LICENSE and THIRD-PARTY.txt; unpacked into an
empty folder, its morvane.exe Acquires from the CAD and, once closed, leaves
its settings file beside itself (not in the folder it was started from)."""

import html.parser
import os
import subprocess
import zipfile

import e2e
from e2e import check

SAMPLE = "parts_list.dxf"
WINDOW = "5,139,175,203"
SETTINGS_KEYS = {"Left", "Top", "chk2", "chk3", "chk4", "edt1", "chk5", "edt2", "chk6"}


def version(s):
    with open(os.path.join(s.source, "src", "app", "version.h"), encoding="utf-8") as f:
        for line in f:
            if line.startswith("#define MORVANE_VERSION "):
                return line.split('"')[1]
    raise e2e.Failure("no version in version.h")


def package(s, out):
    r = subprocess.run([os.path.join(s.source, "scripts", "package.sh"), "--build", s.build, "--out", out],
                       stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=600)
    print(r.stdout.decode("utf-8", "replace"), flush=True)
    check(r.returncode == 0, f"package.sh ended with {r.returncode}")
    return os.path.join(out, f"morvane-{version(s)}-win64.zip")


class Images(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.sources = []

    def handle_starttag(self, tag, attrs):
        if tag == "img":
            self.sources.append(dict(attrs).get("src"))


def check_contents(s, zip_path):
    top = f"morvane-{version(s)}/"
    with zipfile.ZipFile(zip_path) as z:
        names = set(z.namelist())
        page = z.read(top + "guide-ja.html").decode("utf-8")
    pictures = sorted(n for n in os.listdir(os.path.join(s.source, "docs", "img")) if n.endswith(".png"))
    expected = {top + n for n in ("morvane.exe", "guide-ja.html", "LICENSE", "THIRD-PARTY.txt")}
    expected |= {top + "img/" + n for n in pictures}
    check(names == expected, f"the zip holds {sorted(names)}, not {sorted(expected)}")
    check('<meta charset="utf-8">' in page, "the guide does not declare UTF-8")
    check("取得" in page and "<table>" in page, "the guide's text or its tables did not reach the HTML")
    images = Images()
    images.feed(page)
    check(len(images.sources) >= 4, f"the guide shows {images.sources}")
    for src in images.sources:
        check(top + src in names, f"the guide shows {src}, which the zip lacks")


def memo_text(s, main):
    memo = [w for w in s.windows(main) if w.cls.lower() == "edit" and "Select = " in w.text]
    return memo[0].text if memo else ""


def scenario(s):
    first = package(s, os.path.join(s.work, "dist-1"))
    second = package(s, os.path.join(s.work, "dist-2"))
    with open(first, "rb") as a, open(second, "rb") as b:
        check(a.read() == b.read(), "two packages of the same build differ")
    check_contents(s, first)

    unpacked = os.path.join(s.work, "unpacked")
    os.mkdir(unpacked)
    with zipfile.ZipFile(first) as z:
        z.extractall(unpacked)
    exe = os.path.join(unpacked, f"morvane-{version(s)}", "morvane.exe")
    ini = exe[:-4] + ".ini"

    s.start_standin(s.sample(SAMPLE), f"--auto-select=window:{WINDOW}", "--auto-select-delay=500")
    # Started from another folder: the settings file must follow the exe.
    proc = s.start(exe, cwd=s.work)
    main = s.wait_window(e2e.MAIN_TITLE, prefix=True)
    s.wait_until(lambda: any(w.text == "取得" for w in s.windows(main)), 30, "Morvane's buttons")
    s.click_button(main, "取得")
    s.wait_until(lambda: "Yoko = 8, Tate = 5" in memo_text(s, main), 60, "the Acquire log")
    s.screenshot("acquired")

    s.close_morvane(main, proc)
    check(os.path.exists(ini), f"no settings file beside the unpacked exe: {os.listdir(os.path.dirname(exe))}")
    check(not os.path.exists(os.path.join(s.work, "morvane.ini")), "the settings file went to the working folder")
    raw = open(ini, "rb").read()
    text = raw.decode("utf-16") if raw.startswith(b"\xff\xfe") else raw.decode("latin-1")
    section, keys = None, set()
    for line in text.replace("\r", "").split("\n"):
        if line.startswith("["):
            section = line.strip("[]")
        elif "=" in line and section == "AcadMRV":
            keys.add(line.split("=", 1)[0])
    check(SETTINGS_KEYS <= keys, f"the AcadMRV section holds {sorted(keys)}")
    s.close_window(s.wait_window("nanoCAD 5"))


if __name__ == "__main__":
    e2e.run("package", scenario)
