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
// every text round-trips exactly. Lines that fit neither form are ignored.
// Key paths and value names are matched without regard to ASCII case.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace folios {

struct SettingsKey {
  std::string path;  // "HKEY_LOCAL_MACHINE\Software\Lumentra Folios", as first written
  std::vector<std::pair<std::string, std::string>> values;  // name, text; in file order
  std::unordered_map<std::string, size_t> index;             // lower-case name -> position
};

// The parsed content of a settings file.
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
  std::vector<SettingsKey> keys_;
  std::unordered_map<std::string, size_t> key_index_;  // lower-case full key -> position
  void Reindex();
};

std::string EscapeSettingsText(std::string_view text, bool is_name);
std::string UnescapeSettingsText(std::string_view text);

// The process-wide view of the store file. Reads revalidate against the
// file's identity (inode, size, modification time) on every call, so they
// see other processes' writes at once while costing one stat().
class SettingsFile {
 public:
  static std::optional<std::string> Read(const std::string& full_key, const std::string& name,
                                         bool create_missing_key);
  static void Write(const std::string& full_key, const std::string& name, const std::string& text);
  static void DeleteTree(const std::string& full_key);
  // Everything stored now (an empty result when the file is missing or unreadable).
  static SettingsData Snapshot();
};

}  // namespace folios
