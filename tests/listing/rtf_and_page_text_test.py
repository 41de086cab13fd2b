#!/usr/bin/env python3
"""Both document types of a listing show the same text.

usage: rtf_and_page_text_test.py FOLIOS SOURCE_DIR

Lists every sample as an RTF document and as a web page under several
layouts (pre-formatting on, as by default), reads the RTF document with
LibreOffice (converted to text) and the page with headless Chromium (its
DOM), and compares them line by line: each file's header, the lines with
their numbers, the cut lines with their continuation mark, the procedure
separators. Exits 77 (skipped) with the reason when either reader is not
installed.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser_test import Browser, find_chromium, tree  # noqa: E402

LAYOUTS = {
    "numbered": ["m_uselinenumbers=0"],
    "two-columns": ["m_colnumber=2", "m_b_orientation=1", "m_uselinenumbers=0", "m_linecountermode=0",
                    "m_startat=5", "m_incrementby=3"],
    "big-code-small-comments": ["m_format=2", "doc/m_code_fontsize=14", "doc/m_comment_fontsize=8",
                                "m_pagebreak=1", "m_uselinenumbers=0"],
    "whole-lines": ["m_format=0", "m_linebreaks=0", "m_remove_noise_chars=0", "m_linesep=0"],
}
ARROW = "\u2193"


def page_lines(root):
    """The page's lines as a reader of the RTF document sees them."""
    lines = []

    def text(node):
        out = ""
        for c in node.children:
            if isinstance(c, str):
                out += c
            elif c.tag == "a" and "n" in c.classes():
                out += c.attrs.get("data-n", "") + " "
            elif "cm" in c.classes():
                out += ARROW
            else:
                out += text(c)
        return out

    main = [n for n in root.walk() if n.tag == "main"][0]
    for node in main.walk():
        if node.tag == "h2":
            lines += [node.text(), ""]
        elif node.tag == "div" and "l" in node.classes():
            lines.append(text(node))
        elif node.tag == "hr":
            lines.append("")
    return lines


def trimmed(lines):
    lines = [line.rstrip() for line in lines]
    while lines and not lines[0]:
        lines.pop(0)
    while lines and not lines[-1]:
        lines.pop()
    return lines


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    folios, source_dir = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    chromium = find_chromium()
    soffice = shutil.which("soffice")
    if not chromium or not soffice:
        print("SKIPPED: %s is not installed (scripts/install-deps.sh installs it)"
              % ("Chromium" if not chromium else "LibreOffice"))
        return 77
    work = tempfile.mkdtemp(prefix="folios-rtf-page-")
    failures = 0
    try:
        env = dict(os.environ, FOLIOS_CONFIG_DIR=os.path.join(work, "config"),
                   FOLIOS_DATA_DIR=os.path.join(work, "data"), HOME=work)
        samples = os.path.join(source_dir, "samples")
        for name, settings in LAYOUTS.items():
            for ext in ("rtf", "html"):
                argv = [folios, "listing", "--types", "cpp,h,java,frm,bas,cls",
                        "-o", os.path.join(work, "%s.%s" % (name, ext))]
                for s in settings:
                    argv += ["--set", s]
                result = subprocess.run(argv + [samples], env=env, capture_output=True, text=True)
                if result.returncode != 0:
                    sys.exit("folios listing failed: " + result.stderr)
        rtfs = [os.path.join(work, name + ".rtf") for name in LAYOUTS]
        subprocess.run([soffice, "--headless", "-env:UserInstallation=file://" + work + "/lo",
                        "--convert-to", "txt:Text (encoded):UTF8", "--outdir", work] + rtfs,
                       env=env, capture_output=True, timeout=600, check=True)
        browser = Browser(chromium, work)
        for name in LAYOUTS:
            text = open(os.path.join(work, name + ".txt"), encoding="utf-8-sig").read()
            # LibreOffice shows the Symbol font's arrow by its code, a macron.
            rtf = trimmed(text.replace("\u00af", ARROW).split("\n"))
            page = trimmed(page_lines(tree(browser.dom(os.path.join(work, name + ".html")))))
            numbered = sum(1 for line in page if re.match(r"\d+ ", line))
            cut = sum(line.count(ARROW) for line in page)
            if rtf != page:
                failures += 1
                for k, (a, b) in enumerate(zip(rtf, page)):
                    if a != b:
                        print("FAIL %s: line %d reads %r in the RTF document, %r on the page"
                              % (name, k + 1, a, b))
                        break
                else:
                    print("FAIL %s: %d lines in the RTF document, %d on the page"
                          % (name, len(rtf), len(page)))
            else:
                print("%s: %d lines alike (%d numbered, %d cut)" % (name, len(page), numbered, cut))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
