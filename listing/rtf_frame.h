// CRtfFrame: the fixed RTF text around a listing's content: the document
// head (font, colour and style tables, paper, margins, columns) and the
// character-format prefixes of header, code and comment text, plus how many
// characters fit on a printed line.
#pragma once

#include <string>
#include <vector>

namespace folios {

class CRtfFrame {
 public:
  // Fills the font table and reads the code and comment font sizes, the
  // column count, the column separator and the orientation from the settings.
  CRtfFrame();
  virtual ~CRtfFrame();

  // Everything up to the listing body; ends inside an open group that the
  // body closes.
  std::string GetDocumentHead() const;
  std::string GetFontTable() const;
  std::string GetColorTable() const;
  std::string GetStyleSheet() const;

  // "\pard\plain \f0\fsN" + "\ul" "\b" "\i" as set + "\cfN\highlightN\lang1033".
  // Styles and colours (and the header's size) are read from the settings at
  // every call; the code and comment sizes come from construction.
  std::string GetHeaderFormat() const;
  std::string GetCodeFormat() const;
  std::string GetCommentFormat() const;

  // Characters that fit on one line for a font size in half-points, given the
  // orientation and column count; 80 outside 8..16 points or 1..2 columns.
  int GetLineCapacity(int half_points) const;

  int code_font_size() const { return code_font_size_; }        // half-points
  int comment_font_size() const { return comment_font_size_; }  // half-points
  int column_count() const { return column_count_; }
  int orientation() const { return orientation_; }
  int column_separator() const { return column_separator_; }

 private:
  // The prefixes without their paragraph reset ("\plain \f0\fsN..."), as the
  // style sheet entries hold them.
  std::string HeaderCharacterFormat() const;
  std::string CodeCharacterFormat() const;

  std::vector<std::string> font_names_;
  int code_font_size_;
  int comment_font_size_;
  int column_count_;
  int orientation_;
  int column_separator_;
};

}  // namespace folios
