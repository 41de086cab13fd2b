// Expected RTF text of listing documents, composed from the fixed texts of
// the document format (not from the code under test).
#pragma once

#include <string>
#include <vector>

namespace folios::test {

struct HeadLayout {
  bool landscape = false;
  int columns = 1;
  bool separator = true;
};

// The three format prefixes with every setting at its default.
inline constexpr const char kDefaultHeaderFormat[] =
    "\\pard\\plain \\f0\\fs32\\b\\cf1\\highlight8\\lang1033";
inline constexpr const char kDefaultCodeFormat[] =
    "\\pard\\plain \\f0\\fs20\\cf1\\highlight8\\lang1033";
// The style sheet's fallback for the comment colour is black (1); the
// default settings leave it unset.
inline constexpr const char kDefaultCommentFormat[] =
    "\\pard\\plain \\f0\\fs16\\cf1\\highlight8\\lang1033";

// The document head for the layout with the given prefixes.
std::string ExpectedHead(const HeadLayout& layout, const std::string& header_format,
                         const std::string& code_format);
std::string ExpectedHead(const HeadLayout& layout = HeadLayout());

// Closes the last line's group and the document's.
inline constexpr const char kDocumentEnd[] = "\\par}}\n";

// The text of each paragraph of a listing document as a reader shows it:
// control words dropped, "\\", "\{", "\}" and "\'hh" decoded, groups that
// start with "\*" (field instructions) skipped, a paragraph ended by each
// "\par". Only what listing documents use is understood.
std::vector<std::string> ParagraphTexts(const std::string& rtf);

// The position just after the group that opens at `open` (escaped braces
// skipped), or the end of `rtf`.
size_t EndOfGroup(const std::string& rtf, size_t open);

}  // namespace folios::test
