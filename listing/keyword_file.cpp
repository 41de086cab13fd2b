#include "keyword_file.h"

#include <sys/stat.h>

#include <cstdio>

#include "atomic_file.h"
#include "data_files.h"
#include "paths.h"
#include "rtf_colors.h"
#include "setting_names.h"
#include "settings_table.h"

namespace folios {

namespace {

// Reads a file as lines ended by LF; a CR before the LF is dropped.
class LineSource {
 public:
  explicit LineSource(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {}
  ~LineSource() {
    if (file_) std::fclose(file_);
  }
  LineSource(const LineSource&) = delete;
  LineSource& operator=(const LineSource&) = delete;

  bool is_open() const { return file_ != nullptr; }

  // False at the end of the file (with `line` empty).
  bool Next(std::string* line) {
    line->clear();
    if (!file_) return false;
    int c;
    bool any = false;
    while ((c = std::getc(file_)) != EOF) {
      any = true;
      if (c == '\n') break;
      line->push_back(static_cast<char>(c));
    }
    if (!any) return false;
    if (!line->empty() && line->back() == '\r') line->pop_back();
    return true;
  }

 private:
  std::FILE* file_;
};

bool FileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

struct LanguageFiles {
  const char* setting;
  const char* shipped_name;
};

const LanguageFiles kLanguageFiles[kLanguageCount] = {
    {setting_name::kVbfiles, "VB-Keywords.lfx"},
    {setting_name::kJavafiles, "JAVA-Keywords.lfx"},
    {setting_name::kCfiles, "C-Keywords.lfx"},
};

// A colour field as the editor shows it; false when it is not a number.
bool ColorFieldName(const std::string& field, std::string* name) {
  size_t i = 0;
  while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
  size_t start = i;
  if (i < field.size() && (field[i] == '-' || field[i] == '+')) ++i;
  size_t digits = i;
  while (i < field.size() && field[i] >= '0' && field[i] <= '9') ++i;
  // Nine digits at most, so the number always fits an int.
  if (i == digits || i - digits > 9) return false;
  *name = ColorName(std::stoi(field.substr(start, i - start)));
  return true;
}

// True for the decimal text of a colour-table index (0, the automatic
// colour, to kColorTableSize).
bool IsColorTableIndex(const std::string& field) {
  if (field.empty() || field.size() > 2 || field.find_first_not_of("0123456789") != std::string::npos) return false;
  return std::stoi(field) <= kColorTableSize;
}

// Colours a listing cannot show (outside the colour table, or no number)
// become the automatic colour, with one warning for the file.
void UseTableColors(const std::string& path, KeywordTable* table, KeywordWarningSink* sink) {
  long refused = 0;
  std::string example;
  for (size_t k = 1; k < table->entries.size(); ++k) {
    KeywordRecord& record = table->entries[k];
    for (std::string* color : {&record.fore, &record.back}) {
      if (color->empty()) *color = "0";
      if (IsColorTableIndex(*color)) continue;
      if (refused++ == 0) example = "'" + *color + "' of the keyword '" + record.keyword + "'";
      *color = "0";
    }
  }
  if (refused == 0 || !sink) return;
  sink->Warn(path + " - " + std::to_string(refused) + (refused == 1 ? " colour is" : " colours are") +
             " not in the colour table (0 to " + std::to_string(kColorTableSize) + "), such as " + example +
             ";\nthe automatic colour is used instead.");
}

}  // namespace

KeywordWarningSink::~KeywordWarningSink() = default;

Language LanguageOfPath(const std::string& path) {
  std::string ext = Extension(path);
  if (ext == "cls" || ext == "bas" || ext == "frm") return Language::kVisualBasic;
  if (ext == "java") return Language::kJava;
  return Language::kCpp;
}

const char* LineCommentMarker(Language language) {
  return language == Language::kVisualBasic ? "'" : "//";
}

std::string InvalidKeywordFileMessage(const std::string& path) {
  return path +
         " - invalid keyword file!\nPerhaps some keywords will be formatted wrong!\n"
         "Download a newer Version of Lumentra Folios at: " +
         kKeywordFileDownloadAddress + "!";
}

std::string InvalidKeywordFileEditorMessage(const std::string& path) {
  return "The file " + path + " is invalid!\nSelect another keywordfile!";
}

std::string KeywordFileForListing(Language language) {
  const LanguageFiles& files = kLanguageFiles[static_cast<int>(language)];
  std::string chosen = Settings(SettingKey::kMain).Text(files.setting);
  if (FileExists(chosen)) return chosen;
  return LocateDataFile(files.shipped_name);
}

KeywordTable LoadKeywordTableForListing(const std::string& path, Language language,
                                        KeywordWarningSink* sink) {
  KeywordTable table;
  Settings doc(SettingKey::kDoc);
  // The comment entry keeps its style flags as the codes 0 or 1, never
  // "True", so its bold, italic and underline come from the comment prefix.
  KeywordRecord comment;
  comment.keyword = LineCommentMarker(language);
  comment.bold = std::string(1, static_cast<char>(doc.Int(setting_name::kCommentBold)));
  comment.italic = std::string(1, static_cast<char>(doc.Int(setting_name::kCommentItalic)));
  comment.underline = std::string(1, static_cast<char>(doc.Int(setting_name::kCommentUnderline)));
  comment.fore = std::to_string(doc.Int(setting_name::kCommentForecolor));
  comment.back = std::to_string(doc.Int(setting_name::kCommentBackColor));
  table.entries.push_back(comment);

  LineSource in(path);
  if (!in.is_open()) return table;
  std::string header;
  in.Next(&header);
  if (header != kKeywordFileHeader && sink) sink->Warn(InvalidKeywordFileMessage(path));
  while (true) {
    KeywordRecord record;
    std::string* fields[6] = {&record.keyword, &record.bold, &record.italic,
                              &record.underline, &record.fore, &record.back};
    int read = 0;
    for (std::string* field : fields) {
      if (in.Next(field)) ++read;
    }
    if (read == 0) break;
    table.entries.push_back(std::move(record));
    if (read < 6) break;
  }
  // Files written by the system end with an empty record; a real keyword in
  // the last record is kept.
  if (table.entries.size() > 1 && table.entries.back().keyword.empty()) table.entries.pop_back();
  UseTableColors(path, &table, sink);
  return table;
}

KeywordReadResult ReadKeywordFileForEditor(const std::string& path, std::vector<KeywordRow>* rows,
                                           std::string* error) {
  if (!FileExists(path)) return KeywordReadResult::kMissing;
  LineSource in(path);
  std::string header;
  if (!in.is_open() || !in.Next(&header) || header != kKeywordFileHeader) {
    return KeywordReadResult::kInvalidHeader;
  }
  rows->clear();
  KeywordRow row;
  while (in.Next(&row.keyword)) {
    std::string fore, back;
    in.Next(&row.bold);
    in.Next(&row.italic);
    in.Next(&row.underline);
    in.Next(&fore);
    bool complete = in.Next(&back);
    for (auto [field, name] : {std::pair{&fore, &row.fore_name}, std::pair{&back, &row.back_name}}) {
      if (field->empty()) {
        name->clear();
      } else if (!ColorFieldName(*field, name)) {
        if (error) *error = "'" + *field + "' is not a valid colour number";
        return KeywordReadResult::kRead;
      }
    }
    rows->push_back(row);
    if (!complete) break;
  }
  // Drop the trailing empty record; a last record holding a real keyword stays.
  if (!rows->empty() && rows->back().keyword.empty()) rows->pop_back();
  return KeywordReadResult::kRead;
}

Status WriteKeywordFile(const std::string& path, const std::vector<KeywordRow>& rows) {
  std::string out = std::string(kKeywordFileHeader) + "\n";
  // One step past the last row writes the trailing empty record.
  for (size_t r = 0; r <= rows.size(); ++r) {
    KeywordRow empty;
    const KeywordRow& row = r < rows.size() ? rows[r] : empty;
    out += row.keyword + "\n" + row.bold + "\n" + row.italic + "\n" + row.underline + "\n";
    out += ColorIndex(row.fore_name) + "\n" + ColorIndex(row.back_name) + "\n";
  }
  return WriteFileAtomically(path, out);
}

}  // namespace folios
