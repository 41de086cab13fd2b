#include "cli_support.h"

#include <iostream>

#include "paths.h"
#include "registry.h"
#include "settings_table.h"

namespace folios::cli {

void PrintError(const std::string& what, const std::string& path, const std::string& reason) {
  std::cerr << "folios: " << what << " '" << path << "': " << reason << '\n';
}

namespace {
bool g_quiet = false;
}  // namespace

void SetQuiet(bool quiet) { g_quiet = quiet; }
bool Quiet() { return g_quiet; }

void PrintMessage(const std::string& text) {
  if (g_quiet && text.rfind("warning: ", 0) == 0) return;
  std::cerr << "folios: " << text << '\n';
}

std::string ShownPath(const std::string& path) {
  std::string cwd = AbsolutePath(".");
  while (cwd.size() > 1 && cwd.back() == '/') cwd.pop_back();
  std::string prefix = cwd == "/" ? cwd : cwd + "/";
  if (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0) return path.substr(prefix.size());
  return path;
}

int UsageError(const std::string& command, const std::string& text) {
  std::cerr << "folios: " << text << "\nTry 'folios " << command << " --help'.\n";
  return kExitUsage;
}

bool IsHelp(const std::string& arg) { return arg == "-h" || arg == "--help"; }

bool ApplySettingOverride(const std::string& assignment, std::string* error) {
  size_t eq = assignment.find('=');
  if (eq == std::string::npos || eq == 0) {
    *error = "expected NAME=VALUE, got '" + assignment + "'";
    return false;
  }
  std::string name = assignment.substr(0, eq);
  std::string value = assignment.substr(eq + 1);
  const SettingInfo* info = nullptr;
  size_t slash = name.find('/');
  if (slash != std::string::npos) {
    std::optional<SettingKey> key = SettingKeyFromName(name.substr(0, slash));
    if (key) info = FindSetting(*key, name.substr(slash + 1));
  } else {
    info = FindSettingAnyKey(name);
  }
  if (!info) {
    *error = "unknown setting '" + name + "' (see 'folios settings list')";
    return false;
  }
  std::string use;
  std::string message;
  switch (CheckSettingValue(*info, value, &use, &message)) {
    case ValueCheck::kRefused:
      *error = message;
      return false;
    case ValueCheck::kClamped:
      PrintMessage("warning: " + message);
      break;
    case ValueCheck::kAccepted:
      break;
  }
  CRegistry::OverrideForThisRun(kLocalMachine, SettingKeyPath(info->key), info->name, use);
  return true;
}

}  // namespace folios::cli
