// The text file behind CRegistry.
//
// Layout, one section per key, meant to be read and edited by people:
//
//   [HKEY_LOCAL_MACHINE\Software\Lumentra Folios]
//   m_openfile=1
//   m_file_location=/home/ada/src
//
// A value is everything after the first "=" up to the end of the line, blanks
// included. In names and values "\\" stands for a backslash, "\n" for a line
// feed, "\r" for a carriage return and "\xHH" for any other control byte, so
// every text round-trips exactly. Lines that fit neither form are kept as they
// are but carry no value.
// Key paths and value names are matched without regard to ASCII case.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "status.h"

namespace folios {

// One line of a section: a value, or a line kept as a person wrote it.
struct SettingsLine {
  std::string name;   // empty for a kept line (comment, blank, unreadable, shadowed)
  std::string value;
  std::string raw;    // the line as read; written back as it is while the value is unchanged
};

struct SettingsKey {
  std::string path;    // "HKEY_LOCAL_MACHINE\Software\Lumentra Folios", as first written
  std::string header;  // the "[...]" line as read; empty for a key made by this process
  std::vector<SettingsLine> lines;                // in file order
  std::unordered_map<std::string, size_t> index;  // lower-case name -> line holding its value
  const std::string* Find(const std::string& name) const;
  size_t value_count() const { return index.size(); }
};

// The parsed content of a settings file. Serialize writes back every line a
// person added (comments, blank lines, names this version does not know,
// lines it cannot read) as it was; only changed values are written anew.
class SettingsData {
 public:
  static SettingsData Parse(std::string_view text);
  std::string Serialize() const;

  // `full_key` is the root name, a backslash and the key path (or the root alone).
  const SettingsKey* FindKey(const std::string& full_key) const;
  SettingsKey& CreateKey(const std::string& full_key);
  const std::string* FindValue(const std::string& full_key, const std::string& name) const;
  void SetValue(const std::string& full_key, const std::string& name, const std::string& text);
  // Removes the key and every key below it; true when anything was removed.
  bool DeleteTree(const std::string& full_key);

  const std::vector<SettingsKey>& keys() const { return keys_; }

 private:
  std::vector<std::string> preamble_;  // lines before the first section
  std::vector<SettingsKey> keys_;
  std::unordered_map<std::string, size_t> key_index_;  // lower-case full key -> position
  void Reindex();
};

std::string EscapeSettingsText(std::string_view text, bool is_name);
std::string UnescapeSettingsText(std::string_view text);

// The process-wide view of the store file. Reads revalidate against the
// file's identity (inode, size, modification time) on every call, so they
// see other processes' writes at once while costing one stat().
//
// A store file that exists but cannot be read is never written over: reads
// give the defaults, and changes fail with the reason.
class SettingsFile {
 public:
  static std::optional<std::string> Read(const std::string& full_key, const std::string& name,
                                         bool create_missing_key);
  static Status Write(const std::string& full_key, const std::string& name, const std::string& text);
  static Status DeleteTree(const std::string& full_key);
  // Everything stored now (an empty result when the file is missing or unreadable).
  static SettingsData Snapshot();
};

}  // namespace folios
