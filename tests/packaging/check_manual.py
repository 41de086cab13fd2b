#!/usr/bin/env python3
"""Checks that the manual pages say what the programs do.

usage: check_manual.py FOLIOS FOLIOS_MAN_PAGE README [FOLIOS_GUI GUI_MAN_PAGE]

- every command `folios --help` lists has a section "folios COMMAND";
- every option a `--help` text lists is documented under its command, and
  every option documented there is one `--help` lists;
- every setting `folios settings list` prints is documented with its default;
- every environment variable of the README's "Where things are kept" is
  documented.
Each failure names the command and option, setting or variable, and the page
source to edit.
"""
import os
import re
import subprocess
import sys
import tempfile

# Options every program takes without listing them in its usage text.
UNIVERSAL = {"-h", "--help", "-V", "--version", "-?"}
OPTION = re.compile(r"^--?[A-Za-z][A-Za-z0-9-]*$")
# An option mentioned in a usage line: after a blank, "[" or "|".
USAGE_OPTION = re.compile(r"(?:(?<=[\s\[|])|^)(--?[A-Za-z][A-Za-z0-9-]*)")

failures = []


def fail(message):
    failures.append(message)


def run(argv, env=None):
    result = subprocess.run(argv, capture_output=True, text=True, env=env)
    return result


def render(page):
    """The page as plain text, wide enough that no tag line wraps."""
    env = dict(os.environ, MANWIDTH="200", LC_ALL="C.UTF-8")
    env.pop("MAN_KEEP_FORMATTING", None)
    result = run(["man", "-E", "UTF-8", "-l", page], env)
    if result.returncode != 0:
        sys.exit(f"man -l {page} failed: {result.stderr}")
    text = re.sub(r".\x08", "", result.stdout)           # overstrike bold
    return re.sub(r"\x1b\[[0-9;]*m", "", text)           # SGR sequences


def leading_options(line):
    """The options at the start of an option line: "-o, --output OUT" -> -o, --output."""
    found = []
    for word in line.replace(",", " ").split():
        if not word.startswith("-"):
            break
        word = word.split("=", 1)[0]
        if OPTION.match(word):
            found.append(word)
    return found


def help_options(text):
    """Options a --help text lists: its option lines and its usage lines."""
    options = set()
    in_usage = False
    for line in text.splitlines():
        if line.startswith("Usage:"):
            in_usage = True
        elif not line.strip():
            in_usage = False
        if in_usage:
            options.update(USAGE_OPTION.findall(line.removeprefix("Usage:")))
        elif re.match(r"^\s+-", line):
            options.update(leading_options(line))
    return options


def sections(text):
    """Maps each heading of a rendered page ("NAME", "folios listing") to its lines.

    Section headings stand at the margin, subsection headings three columns in."""
    result = {}
    current = None
    for line in text.splitlines():
        if re.match(r"^\S", line) or re.match(r"^ {3}\S", line):
            current = line.strip()
            result[current] = []
        elif current is not None:
            result[current].append(line)
    return result


def tags(lines):
    """The tag lines of a section: the terms that the indented paragraphs below
    them describe. Plain paragraphs stand at the tags' margin."""
    return [line.strip() for line, below in zip(lines, lines[1:] + [""])
            if re.match(r"^ {7}\S", line) and re.match(r"^ {11}\S", below)]


def documented_options(lines):
    options = set()
    for tag in tags(lines):
        options.update(leading_options(tag))
    return options


def compare_options(program, command, help_text, section_lines, page_source):
    listed = help_options(help_text) - UNIVERSAL
    documented = documented_options(section_lines) - UNIVERSAL
    where = f"{program} {command}".strip()
    for option in sorted(listed - documented):
        fail(f"'{where} --help' lists {option}, which the manual page does not document "
             f"under '{where}' ({page_source})")
    for option in sorted(documented - listed):
        fail(f"the manual page documents {option} under '{where}', which '{where} --help' "
             f"does not list ({page_source})")


def check_commands(folios, page_text):
    top = run([folios, "--help"]).stdout
    commands = []
    in_list = False
    for line in top.splitlines():
        if line.startswith("Commands:"):
            in_list = True
        elif in_list:
            match = re.match(r"^\s+([a-z][a-z0-9-]*)\s", line)
            if not match:
                break
            commands.append(match.group(1))
    if not commands:
        fail("'folios --help' lists no commands")
    parts = sections(page_text)
    source = "packaging/folios.1.scd"
    for command in commands:
        heading = f"folios {command}"
        if heading not in parts:
            fail(f"'folios --help' lists the command {command}, which has no section "
                 f"'{heading}' in the manual page ({source})")
            continue
        help_text = run([folios, command, "--help"]).stdout
        compare_options("folios", command, help_text, parts[heading], source)
    for heading in parts:
        if heading.startswith("folios ") and heading.split()[1] not in commands:
            fail(f"the manual page has a section '{heading}', but 'folios --help' lists no "
                 f"such command ({source})")
    compare_options("folios", "", top, parts.get("GLOBAL OPTIONS", []), source)


def setting_defaults(page_text):
    """Setting name -> the default text the manual page gives."""
    defaults = {}
    in_settings = False
    for line in page_text.splitlines():
        if re.match(r"^\S", line):
            in_settings = line.strip() == "SETTINGS"
        elif in_settings:
            match = re.match(r"^ {7}(\S+) \(default:? (.*)\)$", line)
            if match:
                defaults[match.group(1)] = match.group(2)
    return defaults


def check_settings(folios, page_text):
    source = "packaging/folios.1.scd"
    with tempfile.TemporaryDirectory() as scratch:
        env = {k: v for k, v in os.environ.items()
               if k not in ("FOLIOS_SHARE_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME")}
        env.update(FOLIOS_CONFIG_DIR=os.path.join(scratch, "config"),
                   FOLIOS_DATA_DIR=os.path.join(scratch, "data"), HOME=scratch)
        result = run([folios, "settings", "list"], env)
    if result.returncode != 0 or not result.stdout:
        fail(f"'folios settings list' failed: {result.stderr}")
        return
    actual = dict(line.split("=", 1) for line in result.stdout.splitlines())
    documented = setting_defaults(page_text)
    for name, value in actual.items():
        if name not in documented:
            fail(f"the setting {name} (default '{value}') is not documented under SETTINGS "
                 f"({source})")
            continue
        text = documented[name]
        data_file = re.fullmatch(r"(\S+) among the data files", text)
        if text == "empty":
            ok = value == ""
        elif text == "the home directory":
            ok = value == scratch
        elif data_file:
            ok = value.endswith("/" + data_file.group(1))
        else:
            ok = value == text
        if not ok:
            fail(f"the manual page gives the default of {name} as '{text}', but it is "
                 f"'{value}' ({source})")
    for name in sorted(set(documented) - set(actual)):
        fail(f"the manual page documents the setting {name}, which 'folios settings list' "
             f"does not print ({source})")


def check_environment(page_text, readme):
    with open(readme, encoding="utf-8") as f:
        text = f.read()
    match = re.search(r"^## Where things are kept\n(.*?)(?=^## |\Z)", text, re.M | re.S)
    if not match:
        fail(f"{readme} has no section 'Where things are kept'")
        return
    wanted = set(re.findall(r"\$([A-Z][A-Z0-9_]*)", match.group(1)))
    documented = set(tags(sections(page_text).get("ENVIRONMENT", [])))
    for name in sorted(wanted - documented):
        fail(f"the README keeps things in ${name}, which the manual page's ENVIRONMENT does "
             f"not document (packaging/folios.1.scd)")


def main(argv):
    if len(argv) not in (4, 6):
        sys.exit(__doc__)
    folios, page, readme = argv[1:4]
    page_text = render(page)
    check_commands(folios, page_text)
    check_settings(folios, page_text)
    check_environment(page_text, readme)
    if len(argv) == 6:
        gui, gui_page = argv[4:6]
        gui_text = render(gui_page)
        options_section = sections(gui_text).get("OPTIONS", [])
        compare_options("folios-gui", "", run([gui, "--help"]).stdout, options_section,
                        "packaging/folios-gui.1.scd")
    for message in failures:
        print("FAIL:", message)
    if failures:
        return 1
    print("The manual pages match the programs.")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
