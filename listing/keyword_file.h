// Keyword files: the keywords of one language with the character style of
// each, as plain text ("Lumentra Folios bgc", then six-line records ended by
// one empty record). Loaded by listings, read and written by the keyword editor.
#pragma once

#include <string>
#include <vector>

#include "status.h"

namespace folios {

inline constexpr const char kKeywordFileHeader[] = "Lumentra Folios bgc";
inline constexpr const char kKeywordFileDownloadAddress[] =
    "https://lumentra-folios.example/download";

// Language index of a file: 0 Visual Basic, 1 Java, 2 C/C++.
enum class Language { kVisualBasic = 0, kJava = 1, kCpp = 2 };
inline constexpr int kLanguageCount = 3;

// From the lower-case extension: cls, bas, frm give Visual Basic, java gives
// Java, anything else (none included) C/C++.
Language LanguageOfPath(const std::string& path);
// "'" for Visual Basic, "//" otherwise.
const char* LineCommentMarker(Language language);

// One record as stored: six texts, used raw.
struct KeywordRecord {
  std::string keyword;
  std::string bold;       // "True" or "False"
  std::string italic;     // "True" or "False"
  std::string underline;  // "True" or "False"
  std::string fore;       // colour index, decimal
  std::string back;       // colour index, decimal
};

// The style table of one language as a listing uses it: entry 0 is the line
// comment marker with the comment style, entries 1.. the file's records in
// file order (not sorted, duplicates kept).
struct KeywordTable {
  std::vector<KeywordRecord> entries;
};

// Receives the warning about a keyword file with a wrong header. The desktop
// program shows it in a message box, the command line prints it.
class KeywordWarningSink {
 public:
  virtual ~KeywordWarningSink();
  // `message` is the complete text, such as
  // "PATH - invalid keyword file!\nPerhaps some keywords ...!".
  virtual void Warn(const std::string& message) = 0;
};

// The warning text for a keyword file with a wrong header.
std::string InvalidKeywordFileMessage(const std::string& path);

// The keyword file a listing uses for `language`: the setting (m_vbfiles,
// m_javafiles, m_cfiles) when a file exists there, else the shipped default.
std::string KeywordFileForListing(Language language);

// Loads one file for a listing: the comment entry first (style from the
// settings under "\doc"), then every record. A wrong header warns through
// `sink` (may be null) and the file is read regardless. Only a final record
// whose keyword is empty (the trailing empty record) is dropped; a file
// that cannot be opened gives the comment entry alone. A colour that is not
// an index of the colour table (0 to 16) becomes 0, the automatic colour,
// with one warning for the file.
KeywordTable LoadKeywordTableForListing(const std::string& path, Language language,
                                        KeywordWarningSink* sink);

// A row of the keyword editor: colours by name (ColorName).
struct KeywordRow {
  std::string keyword;
  std::string bold;
  std::string italic;
  std::string underline;
  std::string fore_name;
  std::string back_name;
};

enum class KeywordReadResult {
  kRead,           // `rows` replaced by the file's records
  kMissing,        // no file: `rows` untouched
  kInvalidHeader,  // wrong header: `rows` untouched
};

// Reads a keyword file for the editor. On kRead, `rows` holds one row per
// record without the trailing empty record. A colour field that is not a
// number ends the reading there (with `error` set when non-null); the rows
// read so far are kept.
KeywordReadResult ReadKeywordFileForEditor(const std::string& path, std::vector<KeywordRow>* rows,
                                           std::string* error = nullptr);

// The editor's message for a file with a wrong header.
std::string InvalidKeywordFileEditorMessage(const std::string& path);

// Writes the rows and the trailing empty record (colours stored by
// ColorIndex of their names), replacing the file atomically:
// 1 + 6 x (rows + 1) lines.
Status WriteKeywordFile(const std::string& path, const std::vector<KeywordRow>& rows);

}  // namespace folios
