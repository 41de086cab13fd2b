// The colour vocabulary of listing documents: the fixed RTF colour table and
// the names under which people choose its colours (option pages, keyword
// files, the keyword editor).
#pragma once

#include <string>
#include <string_view>

namespace folios {

// Entries of the colour table after the automatic colour 0: indexes 1..16.
inline constexpr int kColorTableSize = 16;
// Indexes 1..14 carry names; 15 and 16 (two greys) have none.
inline constexpr int kNamedColorCount = 14;

struct RtfColor {
  int red, green, blue;
};

// The red, green and blue values of colour index 1..16.
// REQUIRES: 1 <= index <= kColorTableSize.
RtfColor ColorOfIndex(int index);

// The name of colour index 1..14 ("black", "blue", ...); empty for any other
// index. Index 3 is "türkis", written in code page 1252 as the program always
// has: its fourth byte is 0xFC.
std::string ColorName(int index);

// The decimal text of the index whose name matches exactly (case-sensitive),
// "0" for any other name.
std::string ColorIndex(std::string_view name);

// The same name as ColorName, but valid UTF-8 (ü as two bytes), for front
// ends that show text as UTF-8. ColorIndex accepts both spellings.
std::string ColorDisplayName(int index);

}  // namespace folios
