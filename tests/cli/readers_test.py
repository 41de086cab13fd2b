#!/usr/bin/env python3
"""The samples' listing and reference, read back by three real RTF readers.

Usage: readers_test.py FOLIOS SOURCE_ROOT

Builds the listing of samples/ and the reference of samples/documented as
scripts/run-samples.sh does (the listing without the pre-format step, so
that its lines are the files' lines), converts both with LibreOffice,
unrtf and pandoc, and checks that each reader gives back the text of every
source line: of the listing every line of every file, in order; of the
reference every line of documentation text, and every topic's name in its
index, in order. Each reader runs under a time
limit: a reader that never ends on a document is a failure, not a hang.
"""
import glob
import html
import os
import re
import subprocess
import sys
import tempfile

LIMIT = 60  # seconds for one conversion


def words(text):
    """The ASCII words of a text: readers differ in blanks, in the symbol of
    a cut line and in how they write characters beyond ASCII."""
    return [w for w in text.split() if all(ord(c) < 128 for c in w)]


def listed_lines(path):
    """The lines a listing shows of a file, with the default settings: a
    Visual Basic file from its "Attribute VB_Name" line on, when it has one."""
    with open(path, encoding="utf-8", errors="replace") as f:
        lines = f.read().replace("\r\n", "\n").replace("\r", "\n").split("\n")
    if path.lower().endswith((".bas", ".cls", ".frm")):
        for i, line in enumerate(lines):
            if line.lstrip().startswith("Attribute VB_Name"):
                return lines[i:]
    return lines


TAG = re.compile(r"@@?([A-Za-z0-9_-]+)")
INLINE = re.compile(r"<[A-Za-z0-9_-]+\s+([^>]*)>")


def documentation_lines(path):
    """The documentation text of a source, line by line: the text after each
    tag (its fields apart) and the comment lines that go on with it."""
    texts = []
    going_on = False
    vb = path.lower().endswith((".bas", ".cls", ".frm"))
    with open(path, encoding="utf-8", errors="replace") as f:
        for raw in f:
            line = raw.rstrip("\r\n")
            marker = line.find("'") if vb else max(line.find("//"), line.find("/*"))
            stripped = line.strip()
            in_block = stripped.startswith("*") and not stripped.startswith("*/")
            if marker < 0 and not in_block:
                going_on = False
                continue
            comment = line[marker:] if marker >= 0 else stripped
            comment = comment.lstrip("/*' ").split("*/")[0].strip()
            tag = TAG.search(comment)
            if tag:
                going_on = tag.group(1).lower() != "doc"
                if not going_on:
                    continue
                comment = comment[tag.end():]
            elif not going_on or not comment:
                going_on = going_on and bool(comment)
                continue
            for piece in comment.split("|"):
                piece = INLINE.sub(r"\1", piece).replace("\\", "")
                if words(piece):
                    texts.append(piece.strip())
    return texts


def convert(reader, rtf, work):
    """The text a reader gives of an RTF file."""
    if reader == "libreoffice":
        command = ["libreoffice", "-env:UserInstallation=file://" + os.path.join(work, "profile"), "--headless",
                   "--convert-to", "txt:Text (encoded):UTF8", "--outdir", work, rtf]
        subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=LIMIT, check=True)
        with open(os.path.splitext(os.path.join(work, os.path.basename(rtf)))[0] + ".txt", encoding="utf-8",
                  errors="replace") as f:
            return f.read()
    command = ["unrtf", "--text", rtf] if reader == "unrtf" else ["pandoc", "-f", "rtf", "-t", "plain",
                                                                  "--wrap=none", rtf]
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=LIMIT, check=True)
    return done.stdout.decode("utf-8", errors="replace")


def find_in_order(text_words, lines, ordered):
    """The first line whose words are not found (in order, and after the
    line before when `ordered`), or None."""
    at = 0
    for line in lines:
        pos = at if ordered else 0
        for word in words(line):
            try:
                pos = text_words.index(word, pos) + 1
            except ValueError:
                return line
        if ordered:
            at = pos
    return None


def main():
    folios, root = sys.argv[1], sys.argv[2]
    failures = []
    with tempfile.TemporaryDirectory() as work:
        env = dict(os.environ, FOLIOS_CONFIG_DIR=os.path.join(work, "config"),
                   FOLIOS_DATA_DIR=os.path.join(work, "data"))
        listing = os.path.join(work, "samples.rtf")
        reference = os.path.join(work, "reference.rtf")
        documented = sorted(glob.glob(os.path.join(root, "samples", "documented", "*", "*")))
        subprocess.run([folios, "doc", "-o", reference] + documented, env=env, check=True)
        rows = subprocess.run([folios, "files", "--types", "cpp,h,java,frm,bas,cls", os.path.join(root, "samples")],
                              env=env, check=True, stdout=subprocess.PIPE).stdout.decode().splitlines()
        subprocess.run([folios, "listing", "--set", "m_use_advanced_options=0", "--types", "cpp,h,java,frm,bas,cls",
                        "-o", listing, os.path.join(root, "samples")], env=env, check=True)
        # The listing's files in its order, as "folios files" prints them in
        # columns under their titles.
        directory_at, size_at = rows[0].index("Directory"), rows[0].index("Size")
        paths = [os.path.join(row[directory_at:size_at].strip(), row[:directory_at].strip()) for row in rows[1:]]
        listing_lines = []
        for path in paths:
            listing_lines.append(path)
            listing_lines.extend(listed_lines(path))
        reference_lines = [line for path in documented for line in documentation_lines(path)]
        # The index's entries, in order, from the same reference as one page.
        page = os.path.join(work, "reference.html")
        subprocess.run([folios, "doc", "-rhtml", "-o", page] + documented, env=env, check=True)
        with open(page, encoding="utf-8") as f:
            names = [html.unescape(n) for n in re.findall(r'<li><a href="#[^"]*">([^<]*)</a>', f.read())]
        if len(reference_lines) < 40 or len(listing_lines) < 200 or len(names) < 10:
            failures.append("too few lines to check: %d, %d, %d" % (len(reference_lines), len(listing_lines),
                                                                     len(names)))
        for reader in ("libreoffice", "unrtf", "pandoc"):
            for rtf, lines, ordered in ((listing, listing_lines, True), (reference, reference_lines, False)):
                name = "%s of %s" % (reader, os.path.basename(rtf))
                try:
                    text = convert(reader, rtf, work)
                except FileNotFoundError:
                    failures.append("%s: %s is not installed (scripts/install-deps.sh installs it)" % (name, reader))
                    continue
                except subprocess.TimeoutExpired:
                    failures.append("%s: no result in %d seconds" % (name, LIMIT))
                    continue
                except subprocess.CalledProcessError as error:
                    failures.append("%s: exit status %d" % (name, error.returncode))
                    continue
                text_words = words(text)
                missing = find_in_order(text_words, lines, ordered)
                if missing is not None:
                    failures.append("%s: not found%s: %r" % (name, " in order" if ordered else "", missing))
                    continue
                if rtf == reference:
                    # The index runs from its title to the first topic's heading.
                    start = text_words.index("Index") if "Index" in text_words else len(text_words)
                    first = [i for i, w in enumerate(text_words) if i > start and w == names[0]]
                    index = text_words[start:first[1] if len(first) > 1 else start]
                    missing = find_in_order(index, names, True)
                    if missing is not None:
                        failures.append("%s: not in the index: %r" % (name, missing))
                        continue
                print("%s: all %d lines found%s" % (name, len(lines), ", and the index" if rtf == reference else ""))
    for failure in failures:
        print("FAILED " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
