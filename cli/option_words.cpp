#include "option_words.h"

#include <algorithm>

#include "cli_support.h"

namespace folios::cli {

namespace {

// Edit distance where swapping two neighbouring letters costs one.
size_t Distance(const std::string& a, const std::string& b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[a.size()][b.size()];
}

}  // namespace

std::string ClosestWord(const std::string& word, const std::vector<std::string>& candidates) {
  std::string best;
  size_t best_distance = 0;
  for (const std::string& candidate : candidates) {
    size_t distance = Distance(word, candidate);
    if (best.empty() || distance < best_distance) {
      best = candidate;
      best_distance = distance;
    }
  }
  // Leading dashes are no letters of the word.
  size_t letters = word.size() - std::min(word.find_first_not_of('-'), word.size());
  size_t allowed = letters >= 6 ? 2 : letters >= 3 ? 1 : 0;
  return !best.empty() && best_distance <= allowed ? best : std::string();
}

int ExpandLongOptions(std::vector<std::string>* args, const std::vector<OptionName>& options, const char* command) {
  std::vector<std::string> long_names;
  for (const OptionName& option : options) {
    if (std::string(option.name).rfind("--", 0) == 0) long_names.push_back(option.name);
  }
  auto find = [&](const std::string& name) -> const OptionName* {
    for (const OptionName& option : options) {
      if (name == option.name) return &option;
    }
    return nullptr;
  };
  for (size_t i = 0; i < args->size(); ++i) {
    std::string& arg = (*args)[i];
    if (arg == "--") break;
    if (arg.size() < 2 || arg[0] != '-') continue;
    const size_t eq = arg.find('=');
    const std::string name = arg.substr(0, eq);
    const OptionName* known = find(name);
    if (!known && arg.rfind("--", 0) == 0 && arg.size() > 2) {
      std::vector<std::string> matches;
      for (const std::string& candidate : long_names) {
        if (candidate.rfind(name, 0) == 0) matches.push_back(candidate);
      }
      if (matches.size() == 1) {
        arg = matches.front() + (eq == std::string::npos ? std::string() : arg.substr(eq));
        known = find(matches.front());
      } else if (matches.size() > 1) {
        std::string list;
        for (const std::string& match : matches) list += (list.empty() ? "" : ", ") + match;
        return UsageError(command, "option '" + name + "' is ambiguous: " + list);
      } else if (std::string close = ClosestWord(name, long_names); !close.empty()) {
        return UsageError(command, "unknown option '" + name + "'; did you mean '" + close + "'?");
      }
    }
    // The value of an option is never taken for an option.
    if (known && known->takes_value && eq == std::string::npos) ++i;
  }
  return kExitOk;
}

}  // namespace folios::cli
