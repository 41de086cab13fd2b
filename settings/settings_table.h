// The table of every setting of the system with its default, and readers
// that take their defaults from it.
//
// All settings live below root kLocalMachine, under the product key or one of
// its two subkeys. Defaults that name places are resolved when read: the
// keyword files are looked up among the data files, and the last searched
// directory starts at the user's home directory.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "status.h"

namespace folios {

enum class SettingKey {
  kMain,        // "Software\Lumentra Folios"
  kDoc,         // ... "\doc": fonts and colours of listing text
  kTemplateKw,  // ... "\template_kw": the style offered for new keywords
};

enum class SettingKind { kInt, kText };

// The whole numbers a setting may hold, as its option page allows them.
struct AllowedRange {
  int min;
  int max;
  // Out of range: refused (a check box, a choice, a number the page
  // refuses), or brought to the nearer end with a warning (a number the
  // engine that reads it clamps itself).
  bool clamp = false;
};

struct SettingInfo {
  SettingKey key;
  const char* name;          // value name, a constant of setting_names.h
  SettingKind kind;          // how its owner writes it
  const char* default_text;  // "{data}/NAME" for a data file, "{home}" for the home directory
  const char* meaning;       // one line for people (the command line lists it)
  std::optional<AllowedRange> range = std::nullopt;  // none: any text
};

// "0 or 1", or "from 1 to 99999".
std::string DescribeRange(const AllowedRange& range);

enum class ValueCheck {
  kAccepted,  // the value is allowed as it is
  kClamped,   // out of range; `*use` holds the nearer end of the range
  kRefused,   // not a whole number, or out of a range that is not clamped
};

// Checks `value` for the setting `info` as its option page would: a
// setting with a range takes a whole decimal number (an optional sign, then
// digits) within it. `*use` receives the value to store; `*message` says
// what was wrong (for kClamped and kRefused), naming the setting and its
// allowed range.
ValueCheck CheckSettingValue(const SettingInfo& info, const std::string& value, std::string* use,
                             std::string* message);

// Every setting, in the order people will find them listed.
const std::vector<SettingInfo>& AllSettings();

// The entry for `name` below `key`, or null. Names are matched ignoring case.
const SettingInfo* FindSetting(SettingKey key, std::string_view name);
// The entry for `name` below any of the three keys (names are unique), or null.
const SettingInfo* FindSettingAnyKey(std::string_view name);

// The key path below the root: the product key, with "\doc" or
// "\template_kw" appended.
std::string SettingKeyPath(SettingKey key);
// "main", "doc" or "template_kw".
const char* SettingKeyName(SettingKey key);
std::optional<SettingKey> SettingKeyFromName(std::string_view name);

// The default of a setting of the table, as text with places resolved.
// REQUIRES: the setting is in the table.
std::string DefaultText(SettingKey key, std::string_view name);
int DefaultInt(SettingKey key, std::string_view name);

// The style sheet of a listing document falls back to black comments where
// every other reader of m_comment_forecolor falls back to dark green (11).
inline constexpr int kStyleSheetCommentForeColorDefault = 1;

// Reads and writes settings of one key with the table's defaults. Every call
// reads the store afresh. Names not in the table read as 0 or "".
class Settings {
 public:
  explicit Settings(SettingKey key = SettingKey::kMain) : key_(key) {}
  int Int(std::string_view name) const;
  std::string Text(std::string_view name) const;
  // With an explicit default, for the few readers whose default differs.
  int Int(std::string_view name, int def) const;
  void SetInt(std::string_view name, int value) const;
  void SetText(std::string_view name, const std::string& text) const;
  // SetText that says why the store could not be changed.
  Status TrySetText(std::string_view name, const std::string& text) const;

 private:
  SettingKey key_;
};

// Deletes the product key with all its values and subkeys, so that every
// setting reads as its default again.
Status ResetAllSettings();

}  // namespace folios
