// Named styles: groups of beautifier settings that produce the layouts C,
// C++ and Java code is commonly written in, chosen at once by name.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

namespace folios {

struct NamedStyle {
  const char* name;         // "kr"
  const char* description;  // one line for people
  // A value for every layout setting, so that a style gives the same layout
  // whatever the store holds; the comment columns are left to the store.
  std::vector<std::pair<const char*, const char*>> values;
};

// Every style, "classic" (the settings' defaults) first.
const std::vector<NamedStyle>& NamedStyles();

// The style called `name` (ignoring case), or null.
const NamedStyle* FindNamedStyle(std::string_view name);

// "classic, kr, allman, ...": the names, for messages and help texts.
std::string_view NamedStyleList();

}  // namespace folios
