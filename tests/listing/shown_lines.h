// The lines a reader shows of a listing, the same way for both document
// types, so that an RTF document and a web page of the same build can be
// compared line by line: each file's header, an empty line, then its lines
// (a procedure separator as an empty line), as UTF-8 with trailing blanks
// dropped. A line number is followed by one blank, the continuation mark
// is "↓" and control characters are their pictures (U+2400 and on).
#pragma once

#include <string>
#include <vector>

namespace folios::test {

// The paragraphs of a listing document, without the one before the first
// header and the three of the document end. Only what listing documents
// use is understood; "\page" ends a paragraph as "\par" does, and a raw
// form feed is dropped.
std::vector<std::string> RtfShownLines(const std::string& rtf);

// The lines of the page's <main>: headers, lines, separators.
std::vector<std::string> HtmlShownLines(const std::string& html);

// A keyword run: its style (the RTF run's format, such as "\\b\\cf9\\highlight8",
// or the page's class, such as "k1") and its word.
struct KeywordRun {
  std::string style;
  std::string word;
  bool operator==(const KeywordRun&) const = default;
};
// Every keyword run of the document, in order.
std::vector<KeywordRun> RtfKeywordRuns(const std::string& rtf);
std::vector<KeywordRun> HtmlKeywordRuns(const std::string& html);
// Empty when both documents style the same words in the same order, each
// RTF format always as one class and each class always as one format;
// otherwise what differs first.
std::string KeywordRunDifference(const std::string& rtf, const std::string& html);

}  // namespace folios::test
