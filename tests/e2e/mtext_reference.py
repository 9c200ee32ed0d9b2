"""What a drawing's table looks like to a reader that knows nothing of
Morvane: ezdxf gives the entities, tests/win32/derive_acquire_expectations.py
turns the ruling into rows and columns and places each text, and the small
decoder here gives each MTEXT's visible text. ezdxf's own plain_text() leaves
\\U+ escapes as they are, and Morvane's decoder is what is being checked, so
this one is written apart from both."""

import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "win32"))
import derive_acquire_expectations as derive  # noqa: E402

LINE_BREAK = "\n"
SYMBOLS = {"c": "\u00d8", "d": "\u00b0", "p": "\u00b1"}
# Codes that run to the next ';' and leave nothing visible (\p: the paragraph's indents and alignment).
ARGUMENT_CODES = "HWQTACcfFp"
# Codes of one letter that switch underline, overline and strike-through.
SWITCH_CODES = set("LlOoKk")
# \M+n: n is the code page's number in the CAD's own list.
CODE_PAGES = {"1": "cp932"}


def multibyte(code):
    """The character of "+nXXXX" after \\M, or None where the page or the character is unknown."""
    if not re.fullmatch(r"\+\d[0-9A-Fa-f]{4}", code) or code[1] not in CODE_PAGES:
        return None
    raw = bytes.fromhex(code[2:]).lstrip(b"\0") or b"\0"
    try:
        ch = raw.decode(CODE_PAGES[code[1]])
    except UnicodeDecodeError:
        return None
    return ch if len(ch) == 1 else None


def visible(source):
    """The text an MTEXT string shows once its codes are decoded."""
    out = []
    i, n = 0, len(source)
    while i < n:
        ch = source[i]
        if ch in "{}":
            i += 1
        elif ch == "%" and source[i:i + 2] == "%%" and i + 2 < n and source[i + 2].lower() in SYMBOLS:
            out.append(SYMBOLS[source[i + 2].lower()])
            i += 3
        elif ch != "\\" or i + 1 == n:
            out.append(ch)
            i += 1
        else:
            code = source[i + 1]
            i += 2
            if code in "PX":
                out.append(LINE_BREAK)
            elif code == "~":
                out.append("\u00a0")
            elif code in "\\{}":
                out.append(code)
            elif code in SWITCH_CODES:
                pass
            elif code in ARGUMENT_CODES + "S" and source.find(";", i) < 0:
                out.append("\\" + code)  # never closed: shown as it stands rather than hiding the rest
            elif code in ARGUMENT_CODES:
                i = source.find(";", i) + 1
            elif code == "S":
                end = source.find(";", i)
                out.append(re.sub(r"[\^#]", "/", source[i:end], count=1))
                i = end + 1
            elif code == "U" and re.fullmatch(r"\+[0-9A-Fa-f]{4}", source[i:i + 5]):
                out.append(chr(int(source[i + 1:i + 5], 16)))
                i += 5
            elif code == "M" and (ch := multibyte(source[i:i + 6])):
                out.append(ch)
                i += 6
            else:
                out.append("\\" + code)
    return "".join(out)


class Sheet:
    """The Acquire of a whole drawing with MTEXT read: the log's counts and
    the cells, {(column, row): (visible text, handle)}, 1-based."""

    def __init__(self, path):
        self.selected, lines, self.texts = derive.records(path, mtext_visible=visible)
        self.lines = len(lines)
        yoko, tate = derive.bounds(lines)
        self.yoko, self.tate = len(yoko), len(tate)
        self.cells = derive.fill(self.texts, tate, yoko)

    def log(self):
        """The log's counting lines after the time line."""
        return [f"Line = {self.lines}, Text = {len(self.texts)}", f"Yoko = {self.yoko}, Tate = {self.tate}"]

    def tsv(self):
        """The whole sheet as its copy to the clipboard gives it."""
        return "".join("\t".join(self.cells.get((c, r), ("", ""))[0] for c in range(1, self.tate)) + "\r\n"
                       for r in range(1, self.yoko))


if __name__ == "__main__":
    for p in sys.argv[1:]:
        sheet = Sheet(p)
        print(os.path.basename(p), sheet.selected, sheet.log())
        for (c, r), (text, handle) in sorted(sheet.cells.items(), key=lambda kv: (kv[0][1], kv[0][0])):
            print(f"  {c:3} {r:3} {handle:>5} {text!r}")
