#!/usr/bin/env python3
"""Checks that every translation catalogue is complete for the program's
current texts: check_catalogues.py LUPDATE APP_DIR TS_FILE...

Each catalogue is copied and brought up to date with lupdate from the
sources; a text without a finished translation in the copy (one added to the
code since, or never translated) is named, and the exit status is 1.
"""
import pathlib
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET


def unfinished(ts_path):
    names = []
    for context in ET.parse(ts_path).getroot().iter("context"):
        for message in context.iter("message"):
            translation = message.find("translation")
            forms = [f.text for f in translation.findall("numerusform")] or [translation.text]
            if translation.get("type") in ("unfinished", "vanished", "obsolete") or \
                    not all(form and form.strip() for form in forms):
                names.append(f'{context.find("name").text}: "{message.find("source").text}"')
    return names


def main():
    lupdate, app_dir, catalogues = sys.argv[1], sys.argv[2], sys.argv[3:]
    failures = 0
    with tempfile.TemporaryDirectory() as scratch:
        for catalogue in catalogues:
            copy = pathlib.Path(scratch) / pathlib.Path(catalogue).name
            shutil.copyfile(catalogue, copy)
            subprocess.run([lupdate, "-silent", "-locations", "none", app_dir, "-ts", str(copy)],
                           check=True)
            for name in unfinished(copy):
                print(f"{pathlib.Path(catalogue).name}: not translated: {name}")
                failures += 1
    print(f"{failures} text(s) without a translation")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
