// CRegistry: the settings store.
//
// Every persistent option lives as a named text value below a key path under
// one of the predefined roots (indexes 0..6, see RegistryRoot). Integers are
// stored as their decimal text. Nothing is cached between calls in a way a
// caller could notice: every read sees the store as it is on disk now (or as
// overridden for this run, see OverrideForThisRun).
//
// On this platform the store is one text file, settings.ini, in the settings
// directory: $FOLIOS_CONFIG_DIR, else $XDG_CONFIG_HOME/lumentra-folios, else
// ~/.config/lumentra-folios. Writes replace the file atomically. A store that
// cannot be read gives the defaults and is never written over; a write that
// fails is dropped (silently, but for the Try... forms, which say why).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "status.h"

namespace folios {

// Predefined roots. Any other index names no root: writes do nothing and
// reads find nothing.
enum RegistryRoot {
  kClassesRoot = 0,
  kCurrentUser = 1,
  kLocalMachine = 2,
  kUsers = 3,
  kPerformanceData = 4,
  kCurrentConfig = 5,
  kDynData = 6,
};

// The key every setting of the system lives below (root kLocalMachine).
inline constexpr const char kProductKey[] = "Software\\Lumentra Folios";
// Suffixes of the two subkeys, appended to kProductKey.
inline constexpr const char kDocSubkey[] = "\\doc";
inline constexpr const char kTemplateKwSubkey[] = "\\template_kw";

class CRegistry {
 public:
  // For the explicit-location operations.
  CRegistry();
  // For the member-location operations.
  CRegistry(int root, std::string key_path);
  virtual ~CRegistry();

  // Explicit location: `subkey` is the full key path below the root; an
  // empty subkey means the root itself.
  void WriteInt(int root, const std::string& subkey, const std::string& name, int value);
  void WriteString(int root, const std::string& subkey, const std::string& name,
                   const std::string& text);
  // The same, with the reason when the store could not be changed.
  Status TryWriteString(int root, const std::string& subkey, const std::string& name,
                        const std::string& text);
  // The stored text converted as C's atoi does (leading blanks, a sign,
  // digits; no digits give 0); `def` when the value is absent. A present but
  // empty value gives 0.
  int ReadInt(int root, const std::string& subkey, const std::string& name, int def);
  int ReadInt(int root, const std::string& subkey, const std::string& name);
  // The stored text; `def` when absent; a present empty value gives "".
  std::string ReadString(int root, const std::string& subkey, const std::string& name,
                         const std::string& def);
  // The stored text, or nullopt when the value is absent. Reading a key that
  // does not exist creates it, empty.
  std::optional<std::string> QueryString(int root, const std::string& subkey,
                                         const std::string& name);

  // Member location: the root and key path given to the constructor.
  void WriteInt(const std::string& name, int value);
  void WriteString(const std::string& name, const std::string& text);
  std::string ReadString(const std::string& name, const std::string& def);
  int ReadInt(const std::string& name, int def);

  // Deletes the member key with all its values and every key below it
  // (for the product key: "\doc" and "\template_kw").
  void DeleteKey();
  Status TryDeleteKey();

  int root() const { return root_; }
  const std::string& key_path() const { return key_path_; }

  // A value that every read of this process sees in place of the stored one,
  // without being stored (the command line's --set). Pass nullopt to drop it.
  static void OverrideForThisRun(int root, const std::string& subkey, const std::string& name,
                                 std::optional<std::string> text);

  // Values every read of this process sees in place of the stored ones, and
  // under the run's overrides: the layer of a project's settings file. Each
  // replaces the layer before; an empty list drops it.
  struct LayerValue {
    int root;
    std::string subkey;
    std::string name;
    std::string text;
  };
  static void SetLayer(const std::vector<LayerValue>& values);

  // The C rule of atoi, without its undefined behaviour on overflow
  // (out-of-range numbers saturate).
  static int AtoiRule(const std::string& text);

  // The directory and the file of the store.
  static std::string StoreDirectory();
  static std::string StoreFile();

 private:
  int root_ = -1;
  std::string key_path_;
};

}  // namespace folios
