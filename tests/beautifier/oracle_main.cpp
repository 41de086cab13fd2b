// beautifier_oracle: formats real source files in memory and checks that the
// program is kept (the token checker finds the same tokens) and that the
// output is a fixed point: a second run gives it back byte for byte.
//
//   beautifier_oracle [--style NAME] [--set NAME=VALUE ...] [--sample N] [--extensionless] PATH...
//
// A PATH is a file or a directory searched recursively for C, C++ and Java
// files (with --extensionless, also files without an extension, as C++
// headers). --sample N takes every N-th file. Prints one summary line and
// every failure; the exit status is 1 when a file changed meaning or a second
// run changed its output.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "beautifier_options.h"
#include "engine.h"
#include "named_styles.h"
#include "reformat_file.h"
#include "token_check.h"

namespace {

namespace fs = std::filesystem;
using folios::BeautifierOptions;

bool Wanted(const fs::path& p, bool extensionless) {
  static const char* const kExtensions[] = {".c", ".cc", ".cpp", ".cxx", ".h", ".hh", ".hpp", ".hxx", ".tcc", ".java"};
  std::string ext = p.extension().string();
  if (ext.empty()) return extensionless;
  return std::find(std::begin(kExtensions), std::end(kExtensions), ext) != std::end(kExtensions);
}

struct Run {
  BeautifierOptions options;
  bool remove_comments = false;
};

int Format(const Run& run, const std::string& input, folios::SourceLanguage language, std::string* output) {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostream report(nullptr);
  std::ostringstream err;
  int rc = folios::RunBeautifier(in, out, run.options, run.remove_comments, report, err, language);
  *output = out.str();
  return rc;
}

// Where two texts part: the line number and both lines.
std::string FirstDifference(const std::string& a, const std::string& b) {
  size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  long line = 1 + static_cast<long>(std::count(a.begin(), a.begin() + static_cast<long>(i), '\n'));
  auto line_at = [i](const std::string& s) {
    size_t from = s.rfind('\n', i == 0 ? 0 : i - 1);
    from = from == std::string::npos || i == 0 ? 0 : from + 1;
    size_t to = s.find('\n', i);
    return s.substr(from, (to == std::string::npos ? s.size() : to) - from);
  };
  return "line " + std::to_string(line) + ": '" + line_at(a) + "' became '" + line_at(b) + "'";
}

bool ApplySetting(const std::string& assignment, Run* run) {
  size_t eq = assignment.find('=');
  if (eq == std::string::npos) return false;
  std::string name = assignment.substr(0, eq);
  int value = std::atoi(assignment.c_str() + eq + 1);
  BeautifierOptions& o = run->options;
  if (name == "m_empty_lines") {
    o.FUNCTION_SPACING = value;
  } else if (name == "m_indent_with_tabs") {
    o.USE_TABS = value != 0 ? -1 : 0;
    if (value != 0) o.INDENT_SPACING = 4;
  } else if (name == "m_spaces_to_indent") {
    if (o.USE_TABS == 0) o.INDENT_SPACING = value;
  } else if (name == "m_c_with_code") {
    o.COMMENTS_WITH_CODE = value;
  } else if (name == "m_c_without_code") {
    o.COMMENTS_WITH_NOCODE = value;
  } else if (name == "m_brace_style") {
    o.PLACE_BRACE_ON_NEW_LINE = value != 0 ? -1 : 0;
  } else if (name == "m_remove_comments") {
    run->remove_comments = value != 0;
  } else if (name == "m_cuddle_else") {
    o.CUDDLE_ELSE = value != 0 ? -1 : 0;
  } else if (name == "m_function_brace") {
    o.FUNCTION_BRACE_ALONE = value != 0 ? -1 : 0;
  } else if (name == "m_continuation") {
    o.CONTINUATION_STYLE = value;
  } else if (name == "m_indent_access") {
    o.ACCESS_LABEL_INDENT = value;
  } else if (name == "m_indent_namespace") {
    o.INDENT_NAMESPACE = value != 0 ? -1 : 0;
  } else if (name == "m_indent_case") {
    o.INDENT_CASE = value != 0 ? -1 : 0;
  } else if (name == "m_keep_trailing_comments") {
    o.KEEP_TRAILING_COMMENTS = value != 0 ? -1 : 0;
  } else if (name == "m_comments_at_code_indent") {
    o.COMMENTS_AT_CODE_INDENT = value != 0 ? -1 : 0;
  } else {
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Run run;
  run.options.PROGRAM_OUTPUT = 0;
  size_t sample = 1;
  bool extensionless = false;
  std::vector<std::string> roots;
  std::string label;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--set" && i + 1 < argc) {
      std::string assignment = argv[++i];
      if (!ApplySetting(assignment, &run)) {
        std::cerr << "unknown setting " << assignment << "\n";
        return 2;
      }
      label += (label.empty() ? "" : " ") + assignment;
    } else if (arg == "--style" && i + 1 < argc) {
      const folios::NamedStyle* style = folios::FindNamedStyle(argv[++i]);
      if (!style) {
        std::cerr << "unknown style " << argv[i] << "\n";
        return 2;
      }
      for (const auto& [name, value] : style->values) ApplySetting(std::string(name) + "=" + value, &run);
      label += (label.empty() ? "" : " ") + std::string("style ") + style->name;
    } else if (arg == "--sample" && i + 1 < argc) {
      sample = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--extensionless") {
      extensionless = true;
    } else {
      roots.push_back(arg);
    }
  }
  if (label.empty()) label = "defaults";

  std::vector<std::string> files;
  for (const std::string& root : roots) {
    if (fs::is_regular_file(root)) {
      files.push_back(root);
      continue;
    }
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      if (entry.is_regular_file() && Wanted(entry.path(), extensionless)) files.push_back(entry.path().string());
    }
  }
  std::sort(files.begin(), files.end());

  auto start = std::chrono::steady_clock::now();
  long checked = 0, changed = 0, reformatted = 0, unsettled = 0, refused = 0;
  long long bytes = 0;
  for (size_t n = 0; n < files.size(); n += sample) {
    const std::string& path = files[n];
    std::ifstream in(path, std::ios::binary);
    std::string input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bytes += static_cast<long long>(input.size());
    folios::TokenCheckOptions check;
    check.language = folios::LanguageForPath(path);
    check.comments_removed = run.remove_comments;
    std::string first, second;
    int rc = Format(run, input, check.language, &first);
    if (rc == folios::kReformatBinary) {
      ++refused;
      continue;
    }
    ++checked;
    if (rc != folios::kReformatOk) {
      std::cout << path << ": formatting failed with result " << rc << "\n";
      ++changed;
      continue;
    }
    folios::TokenCheckResult result = folios::CheckTokenTexts(input, first, check);
    if (!result.same) {
      std::cout << path << ": formatting would change the program at line " << result.line << "\n";
      ++changed;
      continue;
    }
    if (first != input) ++reformatted;
    Format(run, first, check.language, &second);
    if (second != first) {
      std::cout << path << ": a second run changes the output: " << FirstDifference(first, second) << "\n";
      ++unsettled;
    }
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  char time[32];
  std::snprintf(time, sizeof time, "%.1f", seconds);
  std::cout << label << ": " << checked << " files (" << bytes << " bytes) in " << time << " s: " << reformatted
            << " reformatted, " << changed << " refused (the program would change), " << unsettled
            << " changed by a second run, " << refused << " refused as binary\n";
  return changed + unsettled == 0 ? 0 : 1;
}
