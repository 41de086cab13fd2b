// Fuzz target: the settings-file parser.
//
// Body: a settings file, whose last bytes also give a name and a value to
// store. Header bytes: 0 length of the name (low half) and which key
// (bits 4-5: the product key, its "\doc" subkey, a key of the file);
// 1 length of the value (0..63).
// Oracles: what is parsed is written and parsed again to the same keys,
// values and kept lines, and writing that changes nothing more; a value
// stored and written reads back as stored, every other value unchanged;
// the integer reading of every value follows the C rule.
#include <climits>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "registry.h"
#include "settings_file.h"

namespace folios::fuzz {
namespace {

constexpr size_t kHeader = 2;

// Keys, their lines (name, value; raw text for kept lines) in order.
std::string Describe(const SettingsData& data) {
  std::string text;
  for (const SettingsKey& key : data.keys()) {
    text += "[" + key.path + "]\n";
    for (const SettingsLine& line : key.lines) {
      text += line.name.empty() ? "kept " + line.raw : "value " + line.name + "=" + line.value;
      text += "\n";
    }
  }
  return text;
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The C rule of atoi, saturating where atoi's behaviour is undefined.
int AtoiModel(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                             text[i] == '\v' || text[i] == '\f' || text[i] == '\r')) {
    ++i;
  }
  int sign = 1;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) sign = text[i++] == '-' ? -1 : 1;
  long long magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (magnitude <= INT_MAX) magnitude = magnitude * 10 + (text[i] - '0');
  }
  long long value = sign * magnitude;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace
}  // namespace folios::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace folios;
  using namespace folios::fuzz;
  FuzzInput in(data, size, kHeader);
  std::string_view body = in.body();

  SettingsData first = SettingsData::Parse(body);
  std::string written = first.Serialize();
  SettingsData second = SettingsData::Parse(written);
  std::string before = Describe(first);
  std::string after = Describe(second);
  if (before != after) Fail("parse, write, parse changed the settings", before + "---- became ----\n" + after);
  Check(second.Serialize() == written, "writing parsed settings a second time changed the file", written);

  for (const SettingsKey& key : first.keys()) {
    for (const SettingsLine& line : key.lines) {
      if (line.name.empty()) continue;
      Check(CRegistry::AtoiRule(line.value) == AtoiModel(line.value),
            "a value's integer reading breaks the C rule", line.value);
    }
  }

  // Store a name and value taken from the end of the body.
  size_t value_size = std::min<size_t>(in.Byte(1) & 63, body.size());
  std::string value(body.substr(body.size() - value_size));
  std::string_view rest = body.substr(0, body.size() - value_size);
  size_t name_size = std::min<size_t>(in.Byte(0) & 15, rest.size());
  std::string name = "m_" + std::string(rest.substr(rest.size() - name_size));
  std::string full_key = "HKEY_LOCAL_MACHINE\\" + std::string(kProductKey);
  int key_choice = (in.Byte(0) >> 4) & 3;
  if (key_choice == 1) full_key += kDocSubkey;
  if (key_choice >= 2 && !first.keys().empty()) full_key = first.keys()[0].path;

  SettingsData changed = SettingsData::Parse(written);
  changed.SetValue(full_key, name, value);
  SettingsData reread = SettingsData::Parse(changed.Serialize());
  const std::string* stored = reread.FindValue(full_key, name);
  if (!stored || *stored != value) {
    Fail("a stored value does not read back (" + name + ")", changed.Serialize());
  }
  // Every other value reads as before.
  for (const SettingsKey& key : second.keys()) {
    for (const SettingsLine& line : key.lines) {
      if (line.name.empty()) continue;
      const std::string* now = reread.FindValue(key.path, line.name);
      const std::string* was = second.FindValue(key.path, line.name);
      // The stored name itself (keys and names match without regard to case).
      if (reread.FindKey(key.path) == reread.FindKey(full_key) && Lower(line.name) == Lower(name)) continue;
      if (!now || !was || *now != *was) {
        Fail("storing " + name + " changed " + line.name, changed.Serialize());
      }
    }
  }
  return 0;
}
