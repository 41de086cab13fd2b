// The well-formedness oracle for the web pages the builds write.
#pragma once

#include <string>
#include <string_view>

namespace folios::fuzz {

// True when `html` is one complete web page as the listing writes it:
// - valid UTF-8, starting "<!DOCTYPE html>" and ending "</html>\n";
// - every element but the void ones (meta, br, hr) closed by its own end
//   tag, in order, and nothing after the closing </html>;
// - no "<", ">" or "&" in text but as tags and entities ("&lt;", "&gt;",
//   "&amp;", "&quot;", "&#39;"), no '"', "<" or ">" inside attribute values;
// - no control character but the line end between elements.
// Otherwise false, and `problem` (may be null) says what is wrong and at
// which line.
bool CheckPage(std::string_view html, std::string* problem);

}  // namespace folios::fuzz
