#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into OUT/<target>/.

The seeds are the project's own inputs: the sample sources and projects, the
golden inputs of the engines' tests, the shipped data files, and the
committed seeds under tests/fuzz/seeds/. Each is put behind the setting
bytes of its target (see the header comment of each *_target.cpp), once per
setting combination worth starting from.

usage: gather_seeds.py SOURCE_TREE OUT
"""
import os
import shutil
import sys

SOURCE_EXTENSIONS = ("c", "cpp", "h", "hpp", "java", "bas", "frm", "cls")
LISTING_KINDS = ["c", "cpp", "h", "java", "bas", "frm", "cls", ""]
DOC_EXTENSIONS = ["c", "cpp", "h", "java", "bas", "cls", "frm", ""]
SOURCE_MARKER = b"\n==source==\n"


def files_below(root, extensions=None, names=None):
    found = []
    for base, _dirs, files in os.walk(root):
        for name in files:
            ext = name.rsplit(".", 1)[-1].lower() if "." in name else ""
            if extensions is not None and ext not in extensions:
                continue
            if names is not None and not any(name.startswith(n) for n in names):
                continue
            found.append(os.path.join(base, name))
    return sorted(found)


def read(path):
    with open(path, "rb") as f:
        return f.read()


class Corpus:
    def __init__(self, out, tree):
        self.out = out
        self.tree = tree

    def add(self, target, origin, variant, data):
        directory = os.path.join(self.out, target)
        os.makedirs(directory, exist_ok=True)
        name = os.path.relpath(origin, self.tree).replace(os.sep, "-") + "." + variant
        with open(os.path.join(directory, name), "wb") as f:
            f.write(data)


def extension_of(path):
    name = os.path.basename(path)
    return name.rsplit(".", 1)[-1].lower() if "." in name else ""


def listing_seeds(corpus, sources):
    for path in sources:
        ext = extension_of(path)
        kind = LISTING_KINDS.index(ext) if ext in LISTING_KINDS else LISTING_KINDS.index("h")
        text = read(path)
        # Defaults; line numbers, two columns, landscape, continuous; pre-formatted;
        # VB form part only with numbers and 8/16 point fonts.
        corpus.add("listing", path, "defaults", bytes([kind, 0, 0, 0, 0, 0, 0, 0, 0]) + text)
        corpus.add("listing", path, "numbered-2col", bytes([kind, 0x32, 0x01, 0x21, 0, 0x11, 0, 0, 0]) + text)
        corpus.add("listing", path, "preformat", bytes([kind, 0x80, 0, 0, 0, 0, 0, 0, 0]) + text)
        corpus.add("listing", path, "form-nobreaks", bytes([kind, 0x03, 0x08, 0x12, 0x10, 0x01, 0x21, 0, 0]) + text)
        corpus.add("listing", path, "cancelled", bytes([kind, 0x02, 0, 0, 0, 0, 0, 1, 0]) + text)


def beautifier_seeds(corpus, sources):
    variants = {
        "defaults": [0, 0, 0, 0, 0],
        "brace-style-1": [0, 0x02, 0, 0, 0],
        "tabs": [0, 0x01, 0, 0, 0],
        "comments-40-8": [0, 0, 0, 0x21, 0],  # 40 after code, 8 alone
        "remove-comments": [0, 0x04, 0, 0, 0],
    }
    for path in sources:
        text = read(path)
        java = 0x08 if extension_of(path) == "java" else 0
        for variant, header in variants.items():
            header = list(header)
            header[1] |= java
            corpus.add("beautifier", path, variant, bytes(header) + text)


def docgen_seeds(corpus, documented, formats_with_sources, small_source):
    for path in documented:
        ext = extension_of(path)
        ext_index = DOC_EXTENSIONS.index(ext) if ext in DOC_EXTENSIONS else DOC_EXTENSIONS.index("h")
        text = read(path)
        corpus.add("docgen", path, "shipped-format", bytes([ext_index << 3, 0, 0]) + text)
        corpus.add("docgen", path, "shipped-format-log-append",
                   bytes([(ext_index << 3) | 0x07, 2, 0]) + text)
    for fmt, sources in formats_with_sources:
        for source in sources or [None]:
            ext = extension_of(source) if source else "c"
            ext_index = DOC_EXTENSIONS.index(ext) if ext in DOC_EXTENSIONS else 0
            body = read(fmt) + SOURCE_MARKER + (read(source) if source else small_source)
            origin = source or fmt
            corpus.add("docgen", origin, "format-" + os.path.basename(fmt),
                       bytes([(ext_index << 3) | 0x02, 0, 0]) + body)


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    tree, out = sys.argv[1], sys.argv[2]
    shutil.rmtree(out, ignore_errors=True)
    corpus = Corpus(out, tree)
    samples = os.path.join(tree, "samples")
    tests = os.path.join(tree, "tests")
    data = os.path.join(tree, "data")

    sample_sources = files_below(samples, SOURCE_EXTENSIONS)
    listing_golden = files_below(os.path.join(tests, "listing", "golden"), SOURCE_EXTENSIONS)
    beautifier_golden = files_below(os.path.join(tests, "beautifier", "golden"), None, ["input."])
    listing_seeds(corpus, sample_sources + listing_golden + beautifier_golden)
    c_like = [p for p in sample_sources if extension_of(p) in ("c", "cpp", "h", "hpp", "java")]
    beautifier_seeds(corpus, c_like + beautifier_golden)
    # One input of each engine repeated to a few hundred KB: cost that is
    # not linear in the input shows as a time-out (see Amplified()).
    for path in c_like[:2]:
        text = read(path)
        corpus.add("listing", path, "amplified", bytes([0, 0x02, 0, 0, 0, 0, 0, 0, 0x21]) + text)
        corpus.add("beautifier", path, "amplified", bytes([0, 0, 0, 0, 0x21]) + text)

    documented = files_below(os.path.join(samples, "documented"), SOURCE_EXTENSIONS)
    small_source = b"/* @doc\n * @func int | f | a function\n * @parm int | a | a number\n */\nint f(int a);\n"
    pairs = []
    docgen_golden = os.path.join(tests, "docgen", "golden")
    if os.path.isdir(docgen_golden):
        for case in sorted(os.listdir(docgen_golden)):
            case_dir = os.path.join(docgen_golden, case)
            fmts = files_below(case_dir, {"fmt"})
            sources = files_below(case_dir, SOURCE_EXTENSIONS)
            pairs += [(fmt, sources) for fmt in fmts]
    pairs += [(fmt, []) for fmt in files_below(os.path.join(tests, "docgen", "format_errors"), {"fmt"})]
    pairs.append((os.path.join(data, "LFX.fmt"), documented[:2]))
    docgen_seeds(corpus, documented, pairs, small_source)
    for path in documented[:1]:
        corpus.add("docgen", path, "amplified", bytes([0, 0, 0x21]) + read(path))

    for path in files_below(data, {"lfx"}, ["C-", "JAVA-", "VB-"]) + files_below(
            os.path.join(tests, "listing", "golden"), {"lfx"}, ["keywords"]):
        for language in range(3):
            corpus.add("keyword_file", path, "language%d" % language, bytes([language]) + read(path))
    for path in files_below(data, {"lfx"}, ["noise"]) + files_below(
            os.path.join(tests, "listing", "golden"), {"lfx"}, ["noise"]):
        corpus.add("noise_chars", path, "plain", bytes([0]) + read(path))
        corpus.add("noise_chars", path, "numbered-vb", bytes([0x05]) + read(path))
    for path in files_below(samples, {"dsp", "vbp"}):
        vbp = extension_of(path) == "vbp"
        corpus.add("project_file", path, "as-named", bytes([0x01 if vbp else 0]) + read(path))
        corpus.add("project_file", path, "relative-upper", bytes([0x07 if vbp else 0x06]) + read(path))

    committed = os.path.join(tests, "fuzz", "seeds")
    if os.path.isdir(committed):
        for target in sorted(os.listdir(committed)):
            for path in files_below(os.path.join(committed, target)):
                corpus.add(target, path, "seed", read(path))
    return 0


if __name__ == "__main__":
    sys.exit(main())
