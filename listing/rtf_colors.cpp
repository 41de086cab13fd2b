#include "rtf_colors.h"

namespace folios {

namespace {

const RtfColor kColors[kColorTableSize] = {
    {0, 0, 0},       {0, 0, 255},     {0, 255, 255},   {0, 255, 0},
    {255, 0, 255},   {255, 0, 0},     {255, 255, 0},   {255, 255, 255},
    {0, 0, 128},     {0, 128, 128},   {0, 128, 0},     {128, 0, 128},
    {128, 0, 0},     {128, 128, 0},   {128, 128, 128}, {192, 192, 192},
};

// Code page 1252 spelling, as stored by the program since its first version.
const char* const kNames[kNamedColorCount] = {
    "black", "blue",      "t\xFCrkis",  "light-green", "pink",   "red",      "yellow",
    "white", "dark blue", "blue green", "dark green",  "violet", "dark red", "ocher",
};

const char kTuerkisUtf8[] = "t\xC3\xBCrkis";

}  // namespace

RtfColor ColorOfIndex(int index) { return kColors[index - 1]; }

std::string ColorName(int index) {
  if (index < 1 || index > kNamedColorCount) return std::string();
  return kNames[index - 1];
}

std::string ColorDisplayName(int index) {
  if (index == 3) return kTuerkisUtf8;
  return ColorName(index);
}

std::string ColorIndex(std::string_view name) {
  if (name == kTuerkisUtf8) return "3";
  for (int i = 0; i < kNamedColorCount; ++i) {
    if (name == kNames[i]) return std::to_string(i + 1);
  }
  return "0";
}

}  // namespace folios
