// The gate that lets only the script sections of an HTML page through to the
// formatter; every other file is formatted throughout.
#pragma once

#include <string_view>

namespace folios {

class ScriptGate {
 public:
  enum Mode { kUndecided = 0, kHtmlText = 1, kScript = 2, kNotHtml = -1 };

  // Given the line as read (without its line feed), true when it is to be
  // copied unchanged, false when it is to be formatted. The first non-blank
  // character of the file decides: '<' makes the file an HTML page, whose
  // lines between a "<SCRIPT>" or "<SERVER>" line and the matching closing
  // tag line (case ignored, nothing else on the line) are formatted.
  bool CopyUnchanged(std::string_view line);

  Mode mode() const { return mode_; }

 private:
  Mode mode_ = kUndecided;
};

}  // namespace folios
