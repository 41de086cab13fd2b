#!/usr/bin/env python3
"""The setting name check on small trees: it must catch a mistyped or
spelled-out name wherever a literal hides it, and leave texts for people,
comments and the tests alone.

Usage: check_setting_names_test.py SOURCE_ROOT
"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE_ROOT = None
CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_setting_names.py")


class SettingNameCheckTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="setting-names-")
        os.mkdir(os.path.join(self.root, "settings"))
        for name in ("setting_names.h", "settings_table.cpp"):
            shutil.copy(os.path.join(SOURCE_ROOT, "settings", name), os.path.join(self.root, "settings"))

    def tearDown(self):
        shutil.rmtree(self.root)

    def write(self, rel, text):
        path = os.path.join(self.root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)

    def append(self, rel, text):
        with open(os.path.join(self.root, rel), "a", encoding="utf-8") as f:
            f.write(text)

    def check(self):
        run = subprocess.run([sys.executable, CHECK, self.root], capture_output=True, text=True)
        return run.returncode, run.stdout.splitlines()

    def test_the_real_table_and_a_clean_file_pass(self):
        self.write("listing/clean.cpp",
                   "int Columns() { return Settings().Int(setting_name::kColnumber); }\n")
        self.assertEqual(self.check(), (0, []))

    def test_a_mistyped_name_is_named_with_its_place(self):
        self.write("app/typo.cpp", 'int a = 1;\n\nint b = Settings().Int("m_no_such");\n')
        self.assertEqual(self.check(), (1, ['app/typo.cpp:3: "m_no_such" names no setting']))

    def test_every_source_directory_is_searched_but_not_the_tests(self):
        for top in ("app", "beautifier", "bench", "cli", "common", "docgen", "listing", "settings"):
            self.write(f"{top}/deep/x.h", 'const char* n = "m_no_such";\n')
        self.write("tests/settings/refused_test.cpp", 'Set("m_no_such", "1");\n')
        code, lines = self.check()
        self.assertEqual(code, 1)
        self.assertEqual(len(lines), 8)
        self.assertFalse([line for line in lines if line.startswith("tests/")])

    def test_a_valid_name_spelled_alone_asks_for_its_constant(self):
        self.write("cli/spelled.cpp",
                   'bool open = s.Int("m_openfile") != 0;\nstd::string k = s.Text("kwfile");\n')
        self.assertEqual(self.check(), (1, ['cli/spelled.cpp:1: "m_openfile": use setting_name::kOpenfile',
                                            'cli/spelled.cpp:2: "kwfile": use setting_name::kKwfile']))

    def test_texts_for_people_may_mention_valid_names_but_not_unknown_ones(self):
        self.write("cli/help.cpp",
                   'const char* kHelp = "the settings (m_indent_with_tabs, m_spaces_to_indent) apply";\n'
                   'std::string m = "m_backup_suffix \'" + s + "\' must not hold \'/\'";\n'
                   'const char* kBad = "see m_brace_styles for braces";\n')
        self.assertEqual(self.check(), (1, ['cli/help.cpp:3: "m_brace_styles" names no setting']))

    def test_a_name_built_from_pieces_is_caught_by_its_prefix(self):
        self.write("listing/pieces.cpp", 'int b = doc.Int("m_" + section + "_bold");\n')
        self.assertEqual(self.check(), (1, ['listing/pieces.cpp:1: "m_" names no setting']))

    def test_comments_and_words_that_merely_contain_m_are_left_alone(self):
        self.write("docgen/comments.cpp",
                   '// Reads "m_no_such" no more.\n'
                   '/* "m_no_such"\n   "m_other" */\n'
                   'const char* kText = "form_name, item_m_x";\n'
                   'int m_field = 0;\n')
        self.assertEqual(self.check(), (0, []))

    def test_literals_are_found_past_quotes_in_chars_raw_strings_and_numbers(self):
        self.write("common/lexing.cpp",
                   "char q = '\"'; int big = 1'000; const char* n = \"m_num_typo\";\n"
                   'const char* escaped = "say \\"m_no_such\\"";\n'
                   'const char* raw = R"x(first line\n'
                   ')" m_raw_typo)x";\n'
                   'const char* after = "m_after_raw";\n')
        self.assertEqual(self.check(), (1, ['common/lexing.cpp:1: "m_num_typo" names no setting',
                                            'common/lexing.cpp:2: "m_no_such" names no setting',
                                            'common/lexing.cpp:3: "m_raw_typo" names no setting',
                                            'common/lexing.cpp:5: "m_after_raw" names no setting']))

    def test_a_constant_missing_from_the_table_is_caught(self):
        header = os.path.join("settings", "setting_names.h")
        with open(os.path.join(self.root, header), encoding="utf-8") as f:
            text = f.read()
        orphan = 'inline constexpr char kOrphan[] = "m_orphan";\n'
        opening = "namespace folios::setting_name {\n"
        text = text.replace(opening, opening + orphan)
        self.write(header, text)
        self.assertEqual(self.check(), (1, ["settings/settings_table.cpp: setting_name::kOrphan appears "
                                            "0 times in the table, not once"]))

    def test_a_name_spelled_in_the_table_is_caught(self):
        self.append("settings/settings_table.cpp", 'const char* kStray = "m_openfile";\n')
        code, lines = self.check()
        self.assertEqual(code, 1)
        self.assertEqual(len(lines), 1)
        self.assertIn('"m_openfile" spells a name; the table uses the constants', lines[0])


if __name__ == "__main__":
    SOURCE_ROOT = sys.argv.pop(1)
    unittest.main()
