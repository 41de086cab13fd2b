#!/usr/bin/env python3
"""Finds texts of the desktop program that a user could see but that do not
go through Qt's translation: check_tr.py APP_DIR

Every string literal of the program's sources that reads like words (a
letter, and a blank or a capital) must stand inside tr(), translate() or one
of the QT_*_NOOP markers, or be one of the texts below that are never shown.
Prints each escape as FILE:LINE: "TEXT" and exits with 1 when there is one.
"""
import pathlib
import re
import sys

# Calls whose string arguments are translated (or marked for translation).
TRANSLATING = {"tr", "translate", "QT_TR_NOOP", "QT_TRANSLATE_NOOP", "QT_TR_N_NOOP",
               "QT_TRANSLATE_N_NOOP", "qsTr"}

# Texts that read like words but are never shown to a user, with the reason.
NOT_SHOWN = {
    # font faces of the samples, as the documents name them
    "Courier New", "Arial",
    # names of values and keys in the settings store
    "Geometry", "State", "Open Folder", "Output Folder", "Folder", "File", "View Mode",
    "Column Widths", "Sort Column", "Sort Ascending",
    "Software\\\\Local AppWizard-Generated Applications\\\\Lumentra Folios\\\\Recent File List",
    "Software\\\\Local AppWizard-Generated Applications\\\\Lumentra Folios\\\\Window State",
    # ends of object names
    "Preview", "ChangeButton",
    # the application's names for the desktop and the settings of Qt
    "Lumentra Folios", "Lumentra",
    # the words of keyword files, compared with what a file holds
    "True", "False",
    # the engines' progress texts, matched to show their translations
    "Create RTF document ", "^Editing codefile (\\\\d+) of (\\\\d+): (.*)$",
    "Add files to main area",
    # the code of the formatting sample, and the lines it looks for in it
    "if (i == 0)\\n{\\ni++; //comment with code\\n//comment without code\\n}\\n",
    "void main (void)\\n{\\n}\\n", "//comment with code", "//comment without code",
    "void main",
}
# Whole files that are not part of the program's windows: the render tool,
# and the command line of folios-gui (--help and --version print in English,
# as the folios command does).
SKIPPED_FILES = {"render_main.cpp", "main.cpp"}
# A function whose literals are command-line output.
COMMAND_LINE_TEXT = re.compile(r"const char\* CLFXApp::Usage\(\) \{.*?\n\}", re.S)

# A filter of the file dialogs, "Description (*.ext)|*.ext|"; its
# descriptions are translated as the filter is split, so each must be marked
# for translation somewhere.
FILTER = re.compile(r"\|\s*\*\.")

LITERAL = re.compile(r'"(?:[^"\\\n]|\\.)*"')


def strip_comments(text):
    """Blanks out comments and character literals, keeping line numbers and
    string literals where they are."""
    out = []
    i = 0
    n = len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            end = text.find("\n", i)
            end = n if end < 0 else end
            out.append(" " * (end - i))
            i = end
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append(re.sub(r"[^\n]", " ", text[i:end]))
            i = end
        elif c == '"':
            m = LITERAL.match(text, i)
            end = m.end() if m else i + 1
            out.append(text[i:end])
            i = end
        elif c == "'":
            m = re.compile(r"'(?:[^'\\\n]|\\.)*'").match(text, i)
            end = m.end() if m else i + 1
            out.append(" " * (end - i))
            i = end
        else:
            out.append(c)
            i += 1
    return "".join(out)


def enclosing_call(code, position):
    """The name before the parenthesis that encloses `position`, or None."""
    depth = 0
    i = position - 1
    while i >= 0:
        c = code[i]
        if c == '"':
            # Skip back over a literal.
            j = i - 1
            while j >= 0 and not (code[j] == '"' and code[j - 1] != "\\"):
                j -= 1
            i = j - 1
            continue
        if c in ")]}":
            depth += 1
        elif c in "([{":
            if depth == 0:
                if c != "(":
                    return None
                m = re.search(r"([A-Za-z_][A-Za-z0-9_]*)\s*$", code[:i])
                return m.group(1) if m else None
            depth -= 1
        elif c == ";" and depth == 0:
            return None
        i -= 1
    return None


def reads_like_words(text):
    return re.search(r"[A-Za-z]{2}", text) and (" " in text or re.match(r"[A-Z][a-z]", text))


def check(app_dir):
    escapes = []
    translated = set()
    filters = []
    for path in sorted(pathlib.Path(app_dir).glob("*.cpp")):
        if path.name in SKIPPED_FILES:
            continue
        code = strip_comments(path.read_text(encoding="utf-8"))
        code = COMMAND_LINE_TEXT.sub(lambda m: re.sub(r"[^\n]", " ", m.group(0)), code)
        for m in LITERAL.finditer(code):
            text = m.group(0)[1:-1]
            line = code.count("\n", 0, m.start()) + 1
            if enclosing_call(code, m.start()) in TRANSLATING:
                translated.add(text)
                continue
            if FILTER.search(text):
                filters.append((path.name, line, text))
                continue
            if not reads_like_words(text) or text in NOT_SHOWN:
                continue
            # #include lines and object names (no blank, camel case) are not texts.
            line_start = code.rfind("\n", 0, m.start()) + 1
            if code[line_start:m.start()].lstrip().startswith("#"):
                continue
            escapes.append(f'{path.name}:{line}: "{text}"')
    for name, line, text in filters:
        parts = text.split("|")
        for description in parts[0::2]:
            description = description.split("(")[0].strip()
            if description and description not in translated:
                escapes.append(f'{name}:{line}: "{description}" (a filter description)')
    return escapes


def main():
    escapes = check(sys.argv[1])
    for escape in escapes:
        print(escape)
    print(f"{len(escapes)} text(s) outside tr()")
    return 1 if escapes else 0


if __name__ == "__main__":
    sys.exit(main())
