// Shared pieces of the folios subcommands: exit codes, messages, and the
// --set NAME=VALUE overrides.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace folios::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Prints "folios: <what> '<path>': <reason>" to standard error.
void PrintError(const std::string& what, const std::string& path, const std::string& reason);
// Prints "folios: <text>" to standard error; a text beginning "warning: "
// is left out while the run is quiet.
void PrintMessage(const std::string& text);

// -q: nothing but errors is printed (no warnings, no progress bar).
void SetQuiet(bool quiet);
bool Quiet();

// A path as messages and diffs show it: relative to the current directory
// when it lies below it, else as it is.
std::string ShownPath(const std::string& path);
// Prints "folios: <text>" and a hint to run --help; returns kExitUsage.
int UsageError(const std::string& command, const std::string& text);

// True for "-h" and "--help".
bool IsHelp(const std::string& arg);

// Applies "NAME=VALUE" for this run only (the settings store is not
// written). NAME is a setting of the table, or "doc/NAME" and
// "template_kw/NAME" to name the key. False with a message when NAME is
// unknown or VALUE is outside the setting's allowed range; a value the
// engine clamps is brought into range with a warning.
bool ApplySettingOverride(const std::string& assignment, std::string* error);

// A subcommand: `args` excludes the program and command names.
using CommandFunction = int (*)(const std::vector<std::string>& args);

}  // namespace folios::cli
