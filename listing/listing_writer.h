// CListingWriter: turns source files, one after another, into one RTF
// listing document: a header line per file, then every source line as one
// paragraph, numbered, escaped, cleaned of noise characters, with comments
// and keywords styled and over-long lines cut with a continuation mark.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "keyword_file.h"
#include "listing_line.h"
#include "progress.h"
#include "rtf_frame.h"
#include "status.h"

namespace folios {

// A source file that could not be listed, and why.
struct ListingFileFailure {
  std::string path;
  std::string reason;  // such as "No such file or directory"
};

// The text of the paragraph that stands for an unreadable file's content.
std::string UnreadableFileText(const std::string& reason);

// The paragraph that stands for the content of a file holding NUL bytes.
inline constexpr char kBinaryFileText[] = "(binary file: not listed)";
// ... and the reason given for it.
inline constexpr char kBinaryFileReason[] = "binary file (it holds NUL bytes): not listed";
// The paragraph that ends a file whose line did not fit in memory.
inline constexpr char kOutOfMemoryText[] = "(out of memory: the rest of this file is not listed)";
inline constexpr char kOutOfMemoryReason[] = "out of memory (a line too long to hold)";

// The writer decides what a listing shows: which lines, their numbers,
// where they are cut, which runs are comments and keywords, and when the
// document ends. How that is written is the business of the protected
// hooks below; this class writes RTF, and writers of other document types
// derive from it and override them.
class CListingWriter : public CRtfFrame {
 public:
  // Writes the document head to `out` and loads the three keyword files.
  // The layout settings and the noise characters are read here, once.
  // `out` must stay open while the writer is in use; the writer does not
  // close it. `progress` and `warnings` may be null; when set they must
  // outlive the writer.
  CListingWriter(std::FILE* out, Progress* progress, KeywordWarningSink* warnings);
  ~CListingWriter() override;
  CListingWriter(const CListingWriter&) = delete;
  CListingWriter& operator=(const CListingWriter&) = delete;

  // Lists the file at `path` as file `index` (from 1) of `total`. When index
  // equals total, or when the user cancels, the document end is written.
  // Returns true when the user cancelled. A file that cannot be read, that
  // holds NUL bytes (not a text source) or whose line does not fit in memory
  // gets its header and one line saying so, and is added to failures().
  // LF, CR LF and a lone CR each end a line.
  bool AppendSource(const std::string& path, int index, int total);
  // The same, reading the lines from `read_path` (a pre-formatted copy) but
  // naming and classifying the file by `path`.
  bool AppendSource(const std::string& path, const std::string& read_path, int index, int total);

  // Writes the document end if it has not been written yet.
  virtual void EndDocument();
  bool document_ended() const { return ended_; }

  // Hands buffered text to the stream; an error when a write failed.
  Status Flush();

  const std::vector<ListingFileFailure>& failures() const { return failures_; }
  // Files whose text could be read, in whole or in part.
  int files_read() const { return files_read_; }

  // The only output primitive. Mode 0: one line as a paragraph (with a
  // separator line before it when `separator`); mode 1: the file header for
  // path `text`; mode 2: `text` as it is, then a line feed.
  void WriteText(const std::string& text, int mode, bool separator = false);

 protected:
  // The run markup of the styler for each language's keyword table.
  using MarkupForTable = std::function<RunMarkup(const KeywordTable&)>;
  // For writers of other document types: reads the settings and loads the
  // keyword files as the public constructor does, but writes nothing.
  // `markup` gives the styler's runs.
  CListingWriter(std::FILE* out, Progress* progress, KeywordWarningSink* warnings,
                 const MarkupForTable& markup);

  // One output line as decided. The views stay valid during the call only.
  struct OutputLine {
    // The line number and the blank after it, as the line shows them; empty
    // without numbers and on the later segments of a cut line.
    std::string_view number;
    // The indentation: blanks (a control character as an RTF hex escape,
    // a form feed as it is).
    std::string_view indent;
    // The text after them, RTF-escaped (a backslash before each backslash
    // and brace), holding the styler's run markup, the continuation mark at
    // the end of a segment that is continued, and a placeholder for each
    // character TakePlaceholder gives back.
    std::string_view text;
    bool separator;   // a Visual Basic procedure starts: a separator line first
    bool page_break;  // the source line holds a form feed
  };
  virtual void WriteFileHeader(const std::string& path);
  virtual void WriteLine(const OutputLine& line);
  // A line of the writer's own, such as "Operation was canceled!": plain
  // text without escapes.
  virtual void WriteNote(const std::string& text);

  // The original bytes of the next placeholder of the current source line
  // (one character or control character), empty when none is left.
  std::string_view TakePlaceholder();
  const KeywordTable& keyword_table(Language language) const {
    return tables_[static_cast<size_t>(language)];
  }
  // The output not yet handed to the stream; FlushWhenFull after adding.
  std::string& buffer() { return buffer_; }
  void FlushWhenFull();
  void set_document_ended() { ended_ = true; }
  // What the progress caption says before the file's path.
  std::string caption_ = "Create RTF document ";
  // Appended to a segment that is continued on the next output line.
  std::string continuation_mark_;

 private:
  struct FileSettings;
  class SourceReader;
  // Lists the lines of the open file; true when the user cancelled.
  bool ListLines(const FileSettings& settings, Language language);
  bool ReadListedLine(const FileSettings& settings);
  bool ReadSourceLine(const FileSettings& settings);
  int ComputeCapacity(size_t segment_start, bool line_comment_seen);
  size_t FindCut(size_t limit, size_t segment_start) const;
  void AppendExpanded(std::string_view text);
  void WriteParagraph(std::string_view number, std::string_view indent, std::string_view text, bool separator);
  void AppendHeaderPath(const std::string& path);
  void ReleaseLineMemory();
  void ReportProgress();

  std::FILE* out_;
  Progress* progress_;
  std::unique_ptr<FileSettings> settings_;
  std::string header_format_;
  std::string code_format_;
  std::string buffer_;
  int write_error_ = 0;
  int page_break_;
  int headers_written_ = 0;
  bool ended_ = false;
  long long line_counter_;
  KeywordTable tables_[kLanguageCount];
  std::vector<std::unique_ptr<LineStyler>> stylers_;
  std::vector<ListingFileFailure> failures_;
  int files_read_ = 0;

  // The file being listed.
  SourceReader* reader_ = nullptr;
  std::string noise_;
  // The current source line.
  std::string raw_;  // a line that spans two pieces of the read buffer
  bool form_feed_ = false;  // the source line holds a form feed
  // The read buffer, kept from file to file.
  std::unique_ptr<char[]> read_buffer_;
  size_t read_buffer_size_ = 0;
  std::string indent_;
  std::string text_;  // number prefix + escaped text
  // What the kCharacterPlaceholder bytes of text_ stand for, in order: their
  // bytes one after another, and the length of each.
  std::string placeholder_bytes_;
  std::vector<unsigned char> placeholder_lengths_;
  size_t next_placeholder_ = 0;
  size_t next_placeholder_byte_ = 0;
  size_t number_width_ = 0;
  // Comment marks of text_ for the capacity of cut lines.
  MarkerCursor slashes_, apostrophes_, opens_, closes_;
  bool marks_ready_ = false;
  bool first_line_ = true;
  bool gave_empty_line_ = false;
  bool vb_code_found_ = false;
  bool vb_form_ended_ = false;
  long long file_first_number_ = 0;  // the line number of the file's first line
  size_t unreported_progress_ = 0;  // bytes of lines not yet shown as progress
  // Per output line.
  std::string segment_;
  std::string styled_;
};

}  // namespace folios
