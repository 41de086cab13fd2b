#!/usr/bin/env python3
"""The web page listing and the HTML reference, read by a real browser.

usage: browser_test.py FOLIOS SOURCE_DIR

Lists the samples as web pages and renders them in headless Chromium:
- the raw file, through Python's html.parser: strict UTF-8, only the page's
  own elements, every element closed, no "<", ">" or "&" of source text left
  unescaped, no control character;
- the DOM Chromium builds: every source line present once, in order, with
  its number and a link to itself; every link's target present; every
  keyword run styled as its keyword file says (computed styles, measured by
  a script added to a copy of the page) and the same words as the RTF
  document's keyword runs; copying a file's lines gives its source lines,
  without their numbers; the numbers of a pre-formatted, cut listing
  rising by one, a segment only after a line that ends in the mark;
- printed to PDF: with a page per file, each file starts a page;
- the HTML reference of the documented samples: well formed, every link's
  target present.
Exits 77 (skipped) with the reason when Chromium is not installed.
"""
import html
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
from html.parser import HTMLParser

VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source",
        "track", "wbr"}
PAGE_TAGS = {"html", "head", "meta", "title", "style", "body", "nav", "h1", "ol", "li", "a",
             "main", "section", "h2", "div", "span", "hr", "br", "p", "ul"}
SOURCE_TYPES = (".c", ".cpp", ".h", ".hpp", ".java", ".frm", ".bas", ".cls")
LANGUAGE_FILES = {"bas": "VB-Keywords.lfx", "cls": "VB-Keywords.lfx", "frm": "VB-Keywords.lfx",
                  "java": "JAVA-Keywords.lfx"}
COLORS = [None, (0, 0, 0), (0, 0, 255), (0, 255, 255), (0, 255, 0), (255, 0, 255), (255, 0, 0),
          (255, 255, 0), (255, 255, 255), (0, 0, 128), (0, 128, 128), (0, 128, 0), (128, 0, 128),
          (128, 0, 0), (128, 128, 0), (128, 128, 128), (192, 192, 192)]

failures = []


def fail(message):
    failures.append(message)
    if len(failures) <= 40:
        print("FAIL:", message)


def find_chromium():
    for name in ("chromium", "chromium-headless-shell"):
        path = shutil.which(name)
        if path:
            return path
    for path in ("/usr/lib/chromium/chromium-headless-shell", "/usr/lib/chromium/chromium"):
        if os.access(path, os.X_OK):
            return path
    return None


class Browser:
    def __init__(self, program, work):
        self.program = program
        self.work = work
        self.runs = 0

    def run(self, args, url):
        # A new empty profile for every run: nothing is remembered between them.
        self.runs += 1
        profile = os.path.join(self.work, "profile-%d" % self.runs)
        os.mkdir(profile)
        argv = [self.program, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                "--disable-background-networking", "--disable-component-update", "--disable-sync",
                "--user-data-dir=" + profile] + args + [url]
        result = subprocess.run(argv, capture_output=True, timeout=180)
        if result.returncode != 0:
            sys.exit("chromium failed (%d): %s" % (result.returncode, result.stderr[-2000:]))
        return result.stdout

    def dom(self, path):
        return self.run(["--dump-dom", "--virtual-time-budget=5000"],
                        "file://" + path).decode("utf-8")


class Node:
    def __init__(self, tag, attrs, parent):
        self.tag = tag
        self.attrs = dict(attrs)
        self.parent = parent
        self.children = []

    def classes(self):
        return self.attrs.get("class", "").split()

    def text(self):
        return "".join(c if isinstance(c, str) else c.text() for c in self.children)

    def walk(self):
        yield self
        for c in self.children:
            if isinstance(c, Node):
                yield from c.walk()


class TreeBuilder(HTMLParser):
    """A DOM-like tree of a document that closes its elements."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.root = Node("#document", [], None)
        self.current = self.root

    def handle_starttag(self, tag, attrs):
        node = Node(tag, attrs, self.current)
        self.current.children.append(node)
        if tag not in VOID:
            self.current = node

    def handle_endtag(self, tag):
        node = self.current
        while node is not self.root and node.tag != tag:
            node = node.parent
        if node is not self.root:
            self.current = node.parent

    def handle_data(self, data):
        self.current.children.append(data)


def tree(text):
    builder = TreeBuilder()
    builder.feed(text)
    builder.close()
    return builder.root


class RawCheck(HTMLParser):
    """Well-formedness of the file as written."""

    def __init__(self, name, page_tags):
        super().__init__(convert_charrefs=False)
        self.name = name
        self.page_tags = page_tags
        self.stack = []

    def where(self):
        return "%s line %d" % (self.name, self.getpos()[0])

    def handle_starttag(self, tag, attrs):
        if self.page_tags and tag not in self.page_tags:
            fail("%s: element <%s> is not the page's: unescaped source text?" % (self.where(), tag))
        for name, value in attrs:
            if value is not None and "<" in value:
                fail("%s: '<' in attribute %s" % (self.where(), name))
        if tag not in VOID:
            self.stack.append(tag)

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)
        if tag not in VOID:
            self.stack.pop()

    def handle_endtag(self, tag):
        if not self.stack or self.stack[-1] != tag:
            fail("%s: </%s> closes %s" % (self.where(), tag, self.stack[-1:] or "nothing"))
            if tag in self.stack:
                while self.stack.pop() != tag:
                    pass
        else:
            self.stack.pop()

    def handle_data(self, data):
        if self.stack and self.stack[-1] in ("style", "script"):
            return
        for bad in "<>&":
            if bad in data:
                fail("%s: unescaped %r in text %r" % (self.where(), bad, data[:60]))
        # A line end may be CR LF; any other control character is shown.
        if re.search(r"[\x00-\x08\x0b\x0c\x0e-\x1f\x7f]", data):
            fail("%s: a raw control character in text %r" % (self.where(), data[:60]))

    def unknown_decl(self, data):
        fail("%s: unexpected declaration %r" % (self.where(), data))

    def finish(self):
        self.close()
        if self.stack:
            fail("%s: elements never closed: %s" % (self.name, self.stack))


def check_raw(path, page_tags):
    data = open(path, "rb").read()
    try:
        text = data.decode("utf-8", errors="strict")
    except UnicodeDecodeError as e:
        fail("%s is not UTF-8: %s" % (path, e))
        return
    if not text.startswith("<!DOCTYPE html>"):
        fail("%s: no HTML5 doctype" % path)
    checker = RawCheck(os.path.basename(path), page_tags)
    checker.feed(text)
    checker.finish()


def check_links(root, name):
    ids = {n.attrs["id"] for n in root.walk() if "id" in n.attrs}
    ids |= {n.attrs["name"] for n in root.walk() if n.tag == "a" and "name" in n.attrs}
    links = [n.attrs["href"][1:] for n in root.walk()
             if n.tag == "a" and n.attrs.get("href", "").startswith("#")]
    if not links:
        fail("%s: no links at all" % name)
    for target in links:
        if target not in ids:
            fail("%s: link to #%s, which is nowhere" % (name, target))
    return len(links)


def source_lines(path):
    """The lines of a source as the listing shows them with every option
    that changes text turned off: trailing blanks gone, tabs as 5 blanks."""
    data = open(path, "rb").read()
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    text = data.decode("utf-8")
    lines = re.split(r"\r\n|\r|\n", text)
    if lines and lines[-1] == "":
        lines.pop()
    return [line.rstrip(" \t\f\v").replace("\t", "     ") for line in lines] or [""]


def line_nodes(section):
    return [n for n in section.walk() if n.tag == "div" and "l" in n.classes()]


def code_text(line):
    """A line's text without its number column."""
    return "".join(c if isinstance(c, str) else ("" if "n" in c.classes() else code_text(c))
                   for c in line.children)


def sections(root):
    return [n for n in root.walk() if n.tag == "section"]


def check_every_line(root, name):
    """Every source line once, in order, numbered from 1, linked to itself."""
    index = [n for n in root.walk() if n.tag == "nav"][0]
    index_paths = [a.text() for a in index.walk() if a.tag == "a"]
    found = sections(root)
    if len(found) != len(index_paths):
        fail("%s: %d files in the index, %d on the page" % (name, len(index_paths), len(found)))
    listed = 0
    for n, section in enumerate(found, 1):
        path = [h for h in section.walk() if h.tag == "h2"][0].text()
        if section.attrs.get("id") != "file-%d" % n or index_paths[n - 1] != path:
            fail("%s: file %d is %s under id %s" % (name, n, path, section.attrs.get("id")))
        expected = source_lines(path)
        lines = line_nodes(section)
        shown = [code_text(line) for line in lines]
        if shown != expected:
            for k, (a, b) in enumerate(zip(expected, shown)):
                if a != b:
                    fail("%s: %s line %d is %r, not %r" % (name, path, k + 1, b, a))
                    break
            else:
                fail("%s: %s has %d lines, not %d" % (name, path, len(shown), len(expected)))
        for m, line in enumerate(lines, 1):
            number = [a for a in line.children if isinstance(a, Node) and a.tag == "a"]
            target = "file-%d-line-%d" % (n, m)
            if line.attrs.get("id") != target or not number or \
               number[0].attrs.get("href") != "#" + target or number[0].attrs.get("data-n") != str(m):
                fail("%s: %s line %d is not numbered %d with a link to itself" % (name, path, m, m))
                break
        listed += len(lines)
    return len(found), listed


def rtf_keyword_words(rtf):
    words = []
    for match in re.finditer(r"\}\{((?:\\(?:b|i|ul|cf-?\d+|highlight-?\d+))+) ([^{}]*?)\}\{", rtf):
        words.append(match.group(2))
    return words


def load_keywords(data_dir):
    """keyword -> style for each language, the first record of a word."""
    tables = {}
    for ext, name in list(LANGUAGE_FILES.items()) + [("c", "C-Keywords.lfx")]:
        lines = open(os.path.join(data_dir, name), encoding="latin-1").read().split("\n")
        table = {}
        for k in range(1, len(lines) - 5, 6):
            word, bold, italic, underline, fore, back = lines[k:k + 6]
            if word and word not in table:
                table[word] = (bold == "True", italic == "True", underline == "True",
                               int(fore or 0), int(back or 0))
        tables[ext] = table
    return tables


STYLE_SCRIPT = """
<script>
for (const e of document.querySelectorAll('span[class^="k"], span.c, div.l')) {
  const s = getComputedStyle(e);
  e.setAttribute('data-style', JSON.stringify([s.fontWeight, s.fontStyle,
      s.textDecorationLine, s.color, s.backgroundColor, s.fontSize]));
}
// What copying a file's lines gives: the selection's text.
for (const section of document.querySelectorAll('section')) {
  const range = document.createRange();
  range.setStartBefore(section.querySelector('.src'));
  range.setEndAfter(section.lastElementChild);
  getSelection().removeAllRanges();
  getSelection().addRange(range);
  section.setAttribute('data-copied', getSelection().toString());
}
</script>
"""


def rgb(index, automatic):
    color = COLORS[index] if 0 < index < len(COLORS) else None
    return "rgb(%d, %d, %d)" % color if color else automatic


def check_styles(browser, page, tables, rtf_words, work):
    """Each keyword run as its keyword file styles it, measured in the browser."""
    styled = os.path.join(work, "styled.html")
    text = open(page, encoding="utf-8").read().replace("</body>", STYLE_SCRIPT + "</body>")
    open(styled, "w", encoding="utf-8").write(text)
    root = tree(browser.dom(styled))
    words = []
    comments = 0
    for section in sections(root):
        path = [h for h in section.walk() if h.tag == "h2"][0].text()
        # Copied code comes without the numbers.
        copied = section.attrs.get("data-copied", "").rstrip("\n")
        if copied != "\n".join(source_lines(path)):
            fail("%s: copying the lines gives %r" % (path, copied[:200]))
        ext = path.rsplit(".", 1)[-1].lower()
        table = tables.get(ext, tables["c"])
        for node in section.walk():
            if node.tag != "span" or "data-style" not in node.attrs:
                continue
            weight, style, decoration, color, back, size = json.loads(node.attrs["data-style"])
            if "c" in node.classes():
                comments += 1
                if (color, size, weight) != ("rgb(0, 128, 0)", "10.6667px", "400"):
                    fail("comment %r drawn %s %s %s" % (node.text()[:30], color, size, weight))
                continue
            word = node.text()
            words.append(word)
            if word not in table:
                fail("%s: %r styled, but no keyword of the file" % (path, word))
                continue
            bold, italic, underline, fore, back_index = table[word]
            want = ("700" if bold else "400", "italic" if italic else "normal",
                    "underline" if underline else "none", rgb(fore, "rgb(0, 0, 0)"),
                    rgb(back_index, "rgba(0, 0, 0, 0)"), "13.3333px")
            got = (weight, style, decoration, color, back, size)
            if got != want:
                fail("%s: keyword %r drawn %s, not %s" % (path, word, got, want))
    if words != rtf_words:
        for k, (a, b) in enumerate(zip(rtf_words, words)):
            if a != b:
                fail("keyword run %d: %r in the RTF document, %r on the page" % (k, a, b))
                break
        else:
            fail("%d keyword runs in the RTF document, %d on the page" % (len(rtf_words), len(words)))
    return len(words), comments


def check_cut_listing(root, name):
    """A pre-formatted listing with cut lines: numbers rise by one, every
    later segment follows a line that ends in the continuation mark."""
    cuts = 0
    for section in sections(root):
        expected = None  # a Visual Basic file's code starts after its form
        previous_marked = False
        for line in line_nodes(section):
            number = [a for a in line.children if isinstance(a, Node) and "n" in a.classes()]
            marked = any("cm" in n.classes() for n in line.walk())
            if number and number[0].tag == "a":
                if expected is None:
                    expected = int(number[0].attrs.get("data-n", "0"))
                if number[0].attrs.get("data-n") != str(expected) or previous_marked:
                    fail("%s: %s: line %s where %d was due" % (name, section.attrs["id"],
                                                           number[0].attrs.get("data-n"), expected))
                    break
                expected += 1
            elif not previous_marked:
                fail("%s: a segment without a cut line before it" % name)
            else:
                cuts += 1
            previous_marked = marked
    return cuts


def check_print(browser, page, work, files):
    pdf = os.path.join(work, "pages.pdf")
    browser.run(["--print-to-pdf=" + pdf, "--no-pdf-header-footer"], "file://" + page)
    if not shutil.which("pdftotext") or not shutil.which("pdfinfo"):
        print("pdftotext is not installed: the printed pages are not read")
        return 0
    pages = int(re.search(r"Pages:\s+(\d+)", subprocess.run(
        ["pdfinfo", pdf], capture_output=True, text=True).stdout).group(1))
    starts = []
    for p in range(1, pages + 1):
        text = subprocess.run(["pdftotext", "-f", str(p), "-l", str(p), pdf, "-"],
                              capture_output=True, text=True).stdout.strip()
        # A long header wraps.
        starts.append(text.replace("\n", ""))
    for path in files:
        if not any(start.startswith(path) for start in starts):
            fail("printed: no page starts with the header %s" % path)
    return pages


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    folios, source_dir = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    program = find_chromium()
    if not program:
        print("SKIPPED: Chromium is not installed (scripts/install-deps.sh installs the Debian "
              "package chromium)")
        return 77
    samples = os.path.join(source_dir, "samples")
    data_dir = os.path.join(source_dir, "data")
    work = tempfile.mkdtemp(prefix="folios-browser-")
    try:
        env = dict(os.environ, FOLIOS_CONFIG_DIR=os.path.join(work, "config"),
                   FOLIOS_DATA_DIR=os.path.join(work, "data"))
        browser = Browser(program, work)

        def listing(out, *settings):
            argv = [folios, "listing", "--types", "cpp,h,java,frm,bas,cls", "-o", out]
            for s in settings:
                argv += ["--set", s]
            result = subprocess.run(argv + [samples], env=env, capture_output=True, text=True)
            if result.returncode != 0:
                sys.exit("folios listing failed: " + result.stderr)

        # Every option that changes the text off, numbers on.
        plain = ("m_use_advanced_options=0", "m_remove_noise_chars=0", "m_linebreaks=0",
                 "m_format=2", "m_uselinenumbers=0")
        exact = os.path.join(work, "exact.html")
        listing(exact, *plain)
        listing(os.path.join(work, "exact.rtf"), *plain)
        check_raw(exact, PAGE_TAGS)
        root = tree(browser.dom(exact))
        files, lines = check_every_line(root, "exact.html")
        links = check_links(root, "exact.html")
        rtf_words = rtf_keyword_words(open(os.path.join(work, "exact.rtf"), encoding="latin-1").read())
        keywords, comments = check_styles(browser, exact, load_keywords(data_dir), rtf_words, work)
        if keywords < 100 or comments < 20:
            fail("only %d keyword runs and %d comment runs measured" % (keywords, comments))
        print("exact listing: %d files, %d lines, %d links, %d keyword and %d comment runs measured"
              % (files, lines, links, keywords, comments))

        # The defaults (pre-formatted, lines cut), numbered, a page per file.
        cut = os.path.join(work, "cut.html")
        listing(cut, "m_uselinenumbers=0", "m_pagebreak=1")
        check_raw(cut, PAGE_TAGS)
        root = tree(browser.dom(cut))
        cuts = check_cut_listing(root, "cut.html")
        check_links(root, "cut.html")
        if cuts == 0:
            fail("cut.html: no line was cut")
        paths = [[h for h in s.walk() if h.tag == "h2"][0].text() for s in sections(root)]
        pages = check_print(browser, cut, work, paths)
        print("pre-formatted listing: %d cut segments; printed on %d pages" % (cuts, pages))

        shot = os.path.join(work, "shot.png")
        browser.run(["--screenshot=" + shot, "--window-size=1280,1600", "--hide-scrollbars"],
                    "file://" + cut)
        if not os.path.exists(shot) or open(shot, "rb").read(8) != b"\x89PNG\r\n\x1a\n" or \
           os.path.getsize(shot) < 20000:
            fail("no screenshot of the page, or an empty one")

        # The HTML reference of the documented samples.
        reference = os.path.join(work, "reference.html")
        documented = [os.path.join(d, f) for d, _, names in os.walk(os.path.join(samples, "documented"))
                      for f in sorted(names)]
        result = subprocess.run([folios, "doc", "-rhtml", "-o", reference] + sorted(documented),
                                env=env, capture_output=True, text=True)
        if result.returncode != 0:
            fail("folios doc -rhtml failed: " + result.stderr)
        else:
            check_raw(reference, None)
            root = tree(browser.dom(reference))
            print("reference: %d links, every target present" % check_links(root, "reference.html"))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    if failures:
        print("%d failures" % len(failures))
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
