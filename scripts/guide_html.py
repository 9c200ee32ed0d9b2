"""Turns the Markdown user guide into one HTML page that opens in any browser
with a double click: UTF-8 declared, its pictures referred to beside it.
    guide_html.py GUIDE.md OUT.html TITLE"""

import sys

import markdown

PAGE = """<!DOCTYPE html>
<html lang="ja">
<head>
<meta charset="utf-8">
<title>{title}</title>
<style>
body {{ font-family: "Yu Gothic UI", "Meiryo", "MS PGothic", sans-serif; max-width: 56em; margin: 2em auto;
       padding: 0 1em; line-height: 1.7; color: #222; }}
h1, h2, h3 {{ border-bottom: 1px solid #ccc; padding-bottom: 0.2em; }}
table {{ border-collapse: collapse; margin: 1em 0; }}
th, td {{ border: 1px solid #bbb; padding: 0.3em 0.6em; vertical-align: top; }}
th {{ background: #eef; }}
code {{ background: #f4f4f4; padding: 0 0.2em; }}
img {{ max-width: 100%; border: 1px solid #ccc; }}
</style>
</head>
<body>
{body}
</body>
</html>
"""


def main():
    source, target, title = sys.argv[1:4]
    with open(source, encoding="utf-8") as f:
        text = f.read()
    body = markdown.markdown(text, extensions=["tables", "toc", "fenced_code"], output_format="html")
    # CRLF: the page may be opened in Notepad as well.
    with open(target, "w", encoding="utf-8", newline="\r\n") as f:
        f.write(PAGE.format(title=title, body=body))


if __name__ == "__main__":
    main()
