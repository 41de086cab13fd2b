#!/usr/bin/env python3
"""Fails on setting names spelled out in the C++ sources.

Usage: check_setting_names.py ROOT

The names come from ROOT/settings/setting_names.h, one constant each, and
every constant must be used by the table in ROOT/settings/settings_table.cpp.
In the sources outside tests/ a string literal may not hold a word beginning
with "m_" that names no setting (a mistyped name reads as 0 without a word),
and may not consist of a setting name alone: code names a setting through its
constant. Texts for people that mention names among other words may stay.
"""

import os
import re
import sys

NAMES_HEADER = os.path.join("settings", "setting_names.h")
TABLE = os.path.join("settings", "settings_table.cpp")
# The sources of the programs, their libraries and benchmarks. The tests spell
# names on purpose: they check what lands in the store, and refused names.
SOURCE_DIRS = ["app", "beautifier", "bench", "cli", "common", "docgen", "listing", "settings"]

CONSTANT = re.compile(r'inline constexpr char (k\w+)\[\] = "([^"]*)";')
PP_NUMBER = re.compile(r"[0-9A-Za-z_.']+")
IDENTIFIER = re.compile(r"[A-Za-z0-9_]+")
RAW_PREFIXES = ("R", "LR", "uR", "UR", "u8R")
NAME_WORD = re.compile(r"(?<![A-Za-z0-9_])m_[A-Za-z0-9_]*")


def string_literals(text):
    """Yields (line, content) of every string literal, comments left out."""
    i, line, n = 0, 1, len(text)
    while i < n:
        c = text[i]
        if c == "\n":
            line += 1
            i += 1
        elif text.startswith("//", i):
            end = text.find("\n", i)
            i = n if end < 0 else end
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            line += text.count("\n", i, end)
            i = end
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            if c == '"':
                yield line, text[i + 1:j]
            i = j + 1
        elif c.isdigit():
            # A number, digit separators (1'000) included.
            i = PP_NUMBER.match(text, i).end()
        elif re.match(r"[A-Za-z_]", c):
            word = IDENTIFIER.match(text, i).group(0)
            i += len(word)
            if word in RAW_PREFIXES and text.startswith('"', i):
                open_paren = text.find("(", i)
                delimiter = ")" + text[i + 1:open_paren] + '"'
                end = text.find(delimiter, open_paren)
                end = n if end < 0 else end
                yield line, text[open_paren + 1:end]
                line += text.count("\n", i, end)
                i = end + len(delimiter)
        else:
            i += 1


def read_names(root):
    with open(os.path.join(root, NAMES_HEADER), encoding="utf-8") as f:
        return dict(CONSTANT.findall(f.read()))


def table_problems(root, constants):
    with open(os.path.join(root, TABLE), encoding="utf-8") as f:
        text = f.read()
    used = re.findall(r"\bN::(k\w+)\b", text)
    problems = []
    for constant in sorted(constants):
        count = used.count(constant)
        if count != 1:
            problems.append(f"{TABLE}: setting_name::{constant} appears {count} times in the table, not once")
    for constant in sorted(set(used) - set(constants)):
        problems.append(f"{TABLE}: N::{constant} is no constant of {NAMES_HEADER}")
    for line, content in string_literals(text):
        for word in NAME_WORD.findall(content):
            problems.append(f'{TABLE}:{line}: "{content}" spells a name; the table uses the constants')
    return problems


def source_files(root):
    for top in SOURCE_DIRS:
        for directory, subdirs, files in os.walk(os.path.join(root, top)):
            subdirs.sort()
            for name in sorted(files):
                path = os.path.join(directory, name)
                rel = os.path.relpath(path, root)
                if name.endswith((".cpp", ".h")) and rel not in (NAMES_HEADER, TABLE):
                    yield rel, path


def source_problems(root, names):
    by_name = {name: constant for constant, name in names.items()}
    problems = []
    for rel, path in source_files(root):
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read()
        for line, content in string_literals(text):
            if content in by_name:
                problems.append(f'{rel}:{line}: "{content}": use setting_name::{by_name[content]}')
                continue
            for word in NAME_WORD.findall(content):
                if word not in by_name:
                    problems.append(f'{rel}:{line}: "{word}" names no setting')
    return problems


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    root = argv[1]
    names = read_names(root)
    if not names:
        print(f"{NAMES_HEADER}: no setting names found", file=sys.stderr)
        return 1
    problems = table_problems(root, names) + source_problems(root, names)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
