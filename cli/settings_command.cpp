// folios settings: look at and change the stored settings.
#include <iostream>

#include "cli_support.h"
#include "commands.h"
#include "input_files.h"
#include "option_parser.h"
#include "paths.h"
#include "registry.h"
#include "settings_file.h"
#include "settings_table.h"

namespace folios::cli {

namespace {

const char kHelp[] =
    "Usage: folios settings list [--key KEY]\n"
    "       folios settings get [--key KEY] NAME\n"
    "       folios settings set [--key KEY] NAME VALUE\n"
    "       folios settings reset\n"
    "       folios settings path [--settings FILE | --no-project-settings]\n"
    "\n"
    "Shows and changes the settings the desktop program and the builds use.\n"
    "KEY is main (the default), doc (fonts and colours of listing text) or\n"
    "template_kw (the style offered for new keywords); NAME may also be written\n"
    "KEY/NAME, as list prints it. 'list' prints every setting as NAME=VALUE with\n"
    "the value in force (stored, else the default; line breaks shown as \\n).\n"
    "'reset' deletes every stored setting so that all read as their defaults.\n"
    "'path' prints the files whose settings apply in the current directory, in\n"
    "the order they are layered: the file the settings are kept in, then the\n"
    "project settings file (.folios.ini here or in the nearest directory above)\n"
    "that the other commands layer over it. Every argument after -- is a NAME\n"
    "or VALUE, even one that begins with '-'.\n"
    "\n"
    "  --key KEY         the key of NAME: main, doc or template_kw\n"
    "  --settings FILE   with path: the project settings file named instead\n"
    "  --no-project-settings  with path: no project settings file\n"
    "  -q, --quiet       print nothing but errors (no warnings)\n";

struct Parsed {
  std::optional<SettingKey> key;
  std::vector<std::string> words;
  CommonOptions common;
};

// The words (action, NAME, VALUE) may begin with '-': what is none of the
// options is a word.
int ParseArgs(const std::vector<std::string>& args, Parsed* parsed, bool* help) {
  OptionParser parser("settings");
  parser.Value("--key", "a value", [parsed](const std::string& value) {
    parsed->key = SettingKeyFromName(value);
    if (!parsed->key) return "unknown key '" + value + "'";
    return std::string();
  });
  // Of the options the commands share, only those that settings uses: "-0"
  // may be a VALUE here.
  parser.Value("--settings", "a settings FILE", [parsed](const std::string& file) {
    parsed->common.settings_file = file;
    return std::string();
  });
  parser.Flag("--no-project-settings", [parsed] { parsed->common.no_project_settings = true; });
  parser.Flag("-q,--quiet", [] { SetQuiet(true); });
  parser.Operands([parsed](const std::string& word, bool) {
    parsed->words.push_back(word);
    return std::string();
  });
  parser.UnknownOptionsAreOperands();
  int rc = parser.Parse(args);
  *help = parser.help_asked();
  return rc;
}

// Finds NAME (or KEY/NAME) in the table.
const SettingInfo* Lookup(const Parsed& parsed, const std::string& word) {
  std::string name = word;
  std::optional<SettingKey> key = parsed.key;
  size_t slash = word.find('/');
  if (slash != std::string::npos) {
    key = SettingKeyFromName(word.substr(0, slash));
    if (!key) return nullptr;
    name = word.substr(slash + 1);
  }
  return FindSetting(key.value_or(SettingKey::kMain), name);
}

std::string DisplayName(const SettingInfo& info) {
  if (info.key == SettingKey::kMain) return info.name;
  return std::string(SettingKeyName(info.key)) + "/" + info.name;
}

int List(const Parsed& parsed) {
  for (const SettingInfo& info : AllSettings()) {
    if (parsed.key && info.key != *parsed.key) continue;
    std::string value = Settings(info.key).Text(info.name);
    std::cout << DisplayName(info) << '=' << EscapeSettingsText(value, false) << '\n';
  }
  return kExitOk;
}

}  // namespace

int RunSettingsCommand(const std::vector<std::string>& args) {
  Parsed parsed;
  bool help = false;
  if (int rc = ParseArgs(args, &parsed, &help); rc != kExitOk) return rc;
  if (help) {
    std::cout << kHelp;
    return kExitOk;
  }
  if (parsed.words.empty()) return UsageError("settings", "missing action (list, get, set, reset, path)");
  const std::string action = parsed.words.front();
  parsed.words.erase(parsed.words.begin());
  const std::vector<std::string>& words = parsed.words;

  if (action == "list") {
    if (!words.empty()) return UsageError("settings", "'list' takes no names");
    return List(parsed);
  }
  if (action == "path") {
    if (!words.empty()) return UsageError("settings", "'path' takes no names");
    std::cout << CRegistry::StoreFile() << '\n';
    ProjectSettingsFinder finder = MakeProjectSettingsFinder(parsed.common);
    std::shared_ptr<const ProjectSettings> project;
    Status status = finder.ForDirectory(AbsolutePath("."), &project);
    if (!status.ok()) {
      PrintProjectSettingsError(finder.last_path(), status);
      return kExitFailure;
    }
    if (project) std::cout << project->path << '\n';
    return kExitOk;
  }
  if (action == "reset") {
    if (!words.empty()) return UsageError("settings", "'reset' takes no arguments");
    Status reset = ResetAllSettings();
    if (!reset.ok()) {
      PrintMessage(reset.message());
      return kExitFailure;
    }
    return kExitOk;
  }
  if (action == "get" || action == "set") {
    size_t wanted = action == "get" ? 1 : 2;
    if (words.size() != wanted) {
      return UsageError("settings", action == "get" ? "'get' needs NAME" : "'set' needs NAME VALUE");
    }
    const SettingInfo* info = Lookup(parsed, words[0]);
    if (!info) return UsageError("settings", "unknown setting '" + words[0] + "'");
    Settings settings(info->key);
    if (action == "get") {
      std::cout << settings.Text(info->name) << '\n';
    } else {
      std::string use;
      std::string message;
      ValueCheck check = CheckSettingValue(*info, words[1], &use, &message);
      if (check == ValueCheck::kRefused) return UsageError("settings", message);
      if (check == ValueCheck::kClamped) PrintMessage("warning: " + message);
      // The write's own result: a later read could already see another
      // process's value.
      Status written = settings.TrySetText(info->name, use);
      if (!written.ok()) {
        PrintMessage(written.message());
        return kExitFailure;
      }
    }
    return kExitOk;
  }
  return UsageError("settings", "unknown action '" + action + "'");
}

}  // namespace folios::cli
