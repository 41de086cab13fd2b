// CHtmlListingWriter: the listing as one self-contained HTML5 page. The
// lines, their numbers, cuts, comment and keyword runs are the listing
// writer's decisions, shared with the RTF document; this class only writes
// them: an index of the files, a header per file, a line per output line
// with its number in a column of its own, the styles as CSS classes, and
// the paper, columns and page breaks as print CSS.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "listing_writer.h"

namespace folios {

class CHtmlListingWriter : public CListingWriter {
 public:
  // Writes the page head and the index of `index_paths`: the files the
  // build lists, in order. The n-th file appended is taken to be the n-th
  // of them; those never appended are named at the end of the page.
  CHtmlListingWriter(std::FILE* out, const std::vector<std::string>& index_paths,
                     Progress* progress, KeywordWarningSink* warnings);
  ~CHtmlListingWriter() override;

  void EndDocument() override;

 protected:
  void WriteFileHeader(const std::string& path) override;
  void WriteLine(const OutputLine& line) override;
  void WriteNote(const std::string& text) override;

 private:
  class StyleClasses;
  class Staged;
  CHtmlListingWriter(std::FILE* out, const std::vector<std::string>& index_paths,
                     Progress* progress, KeywordWarningSink* warnings,
                     std::shared_ptr<StyleClasses> classes);
  void WriteHead();
  void CloseFile();
  // Opens the block of lines that the next line goes into: a new one, on a
  // new page, when `page_break`.
  void OpenLines(bool page_break);
  // Appends decided line text (escapes, runs, placeholders) as HTML; false
  // when it shows nothing.
  bool AppendLineText(Staged& out, std::string_view text);
  // The character a placeholder stands for; false for a form feed, which
  // shows nothing (the line starts a new page).
  bool AppendPlaceholder();

  std::shared_ptr<StyleClasses> classes_;
  std::vector<std::string> index_paths_;
  bool numbers_;     // the lines carry numbers
  bool page_break_;  // a new page for every file
  int files_ = 0;    // files begun
  bool file_open_ = false;
  bool lines_open_ = false;  // a block of lines is open
  // The numbers of the current file, for the lines' ids.
  long long last_number_ = 0;
  long long numbered_lines_ = 0;
  bool numbers_rise_ = true;
  int open_runs_ = 0;
  std::string id_prefix_;  // "file-N-line-" of the current file
  std::string id_;
};

}  // namespace folios
