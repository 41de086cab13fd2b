#!/usr/bin/env python3
"""The "html" output type of the shipped format file, read by a real HTML parser.

Usage: html_reference_test.py FOLIOS SOURCE_ROOT

Builds the reference of samples/documented plus a source whose comments are
full of markup, then checks with html.parser that every link resolves to an
anchor, that no tag comes from comment text, that elements nest properly,
and that the comment text survives as text.
"""
import html.parser
import os
import subprocess
import sys
import tempfile

ALLOWED = {"html", "head", "meta", "title", "style", "body", "h1", "h2", "h3", "p", "ul", "li", "a", "span",
           "section", "small", "table", "tr", "td", "b", "i", "em", "code", "pre", "br"}
VOID = {"meta", "br"}

HOSTILE = """// @doc
// @func Escapes \\<script\\>alert("x")\\</script\\> & "quotes" \\<b\\> 'single'.
// @parm The \\<i\\>count\\</i\\> & more.
// @rdesc a \\< b && c \\> d
// @comm Caf\xe9 \x93au lait\x94 from an old Windows file, and caf\u00e9 in UTF-8.
// @ex Markup in code: |
//     if (a < b && c > d) { std::vector<int> v; }
int hostile(int count);
"""


class Checker(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.ids = set()
        self.hrefs = []
        self.stack = []
        self.errors = []
        self.text = []
        self.sections = 0
        self.index_entries = 0

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag not in ALLOWED:
            self.errors.append("unexpected tag <%s> at %s" % (tag, self.getpos()))
        if "id" in attrs:
            if attrs["id"] in self.ids:
                self.errors.append("duplicate id %s" % attrs["id"])
            self.ids.add(attrs["id"])
        if tag == "a" and "href" in attrs:
            self.hrefs.append((attrs["href"], self.getpos()))
        if tag == "section":
            self.sections += 1
        if tag == "li":
            self.index_entries += 1
        if tag not in VOID:
            self.stack.append(tag)

    def handle_endtag(self, tag):
        if not self.stack or self.stack[-1] != tag:
            self.errors.append("</%s> does not close <%s> at %s" % (tag, self.stack[-1] if self.stack else "", self.getpos()))
            return
        self.stack.pop()

    def handle_data(self, data):
        self.text.append(data)


def main():
    folios, root = sys.argv[1], sys.argv[2]
    failures = []
    with tempfile.TemporaryDirectory() as tmp:
        hostile = os.path.join(tmp, "hostile.c")
        with open(hostile, "wb") as f:
            # Code page 1252 bytes, as old Windows sources hold them, beside UTF-8.
            f.write(HOSTILE.replace("caf\u00e9", "caf\u00e9".encode().decode("latin-1")).encode("latin-1"))
        samples = os.path.join(root, "samples", "documented")
        sources = [os.path.join(samples, d, n) for d, n in (
            ("c", "geometry.h"), ("c", "geometry.c"), ("cpp", "shapes.hpp"), ("cpp", "shapes.cpp"),
            ("vb", "Invoices.bas"), ("vb", "Customer.cls"))]
        out = os.path.join(tmp, "reference.html")
        run = subprocess.run([folios, "doc", "-rhtml", "-o", out, hostile] + sources,
                             capture_output=True, text=True)
        if run.returncode != 0 or run.stderr:
            print("folios doc -rhtml failed (%d): %s" % (run.returncode, run.stderr))
            return 1
        with open(out, encoding="utf-8") as f:
            page = f.read()

    checker = Checker()
    checker.feed(page)
    checker.close()
    failures += checker.errors
    if checker.stack:
        failures.append("elements left open: %s" % checker.stack)
    for href, pos in checker.hrefs:
        if not href.startswith("#") or href[1:] not in checker.ids:
            failures.append("link %s at %s leads nowhere" % (href, pos))
    # 16 topics of the samples and the hostile function, each in the index.
    if checker.sections != 17 or checker.index_entries != 17:
        failures.append("%d sections, %d index entries; 17 expected" % (checker.sections, checker.index_entries))
    internal = [h for h, _ in checker.hrefs]
    for target in ("#Drawing", "#Drawing__Add", "#polygon_area", "#InvoiceTotal"):
        if target not in internal:
            failures.append("no link to %s" % target)
    text = "".join(checker.text)
    for expected in ('Escapes <script>alert("x")</script> & "quotes" <b> \'single\'.',
                     "The <i>count</i> & more.", "a < b && c > d",
                     "if (a < b && c > d) { std::vector<int> v; }",
                     "Public Property Get Name() As String",
                     "Public Sub PrintInvoice(Lines() As InvoiceLine, Optional ByVal WithTotal As Boolean)",
                     "virtual void Draw(Canvas& canvas) const = 0",
                     "Caf\u00e9 \u201cau lait\u201d from an old Windows file, and caf\u00e9 in UTF-8."):
        if expected not in text:
            failures.append("text missing: %s" % expected)
    for failure in failures:
        print("FAIL:", failure)
    print("%d passed, %d failed" % (1 if not failures else 0, 1 if failures else 0))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
