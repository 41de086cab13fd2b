// Fuzz target: the noise-characters reader, and a listing that removes them.
//
// Body: the noise-characters file. Header byte 0: bit 0 line numbers,
// bit 1 Java instead of C, bit 2 Visual Basic.
// Oracles: the reader gives the file's first 200 bytes and reads back what
// the writer wrote; a listing of a source holding every kind of character
// (RTF specials, tabs, control bytes, high bytes, comments, keywords) with
// those characters removed is well-formed RTF.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "data_files.h"
#include "fuzz_support.h"
#include "listing_build.h"
#include "noise_chars.h"

namespace {

constexpr size_t kHeader = 1;

// Every byte value once, then code with comments, keywords and RTF specials.
std::string ListedSource() {
  std::string text;
  for (int c = 1; c < 256; ++c) {
    text.push_back(static_cast<char>(c));
    if (c % 32 == 0) text.push_back('\n');
  }
  text +=
      "\n#include <stdio.h> /* {block} \\ comment */\n"
      "int main(void) {\n"
      "\tprintf(\"\\\\ {%d} \\n\", 1); // {line} \\ comment\n"
      "  if (a < b) { return '}'; } else { x = \"/* not */\"; }\n"
      "Private Sub Form_Load() ' {vb} \\ comment\n"
      "  Dim s As String: s = \"it's\"\n"
      "End Sub\n"
      "\\par }{\\b \\'41 \\\n";
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace folios;
  using namespace folios::fuzz;
  FuzzInput in(data, size, kHeader);
  const std::string& dir = WorkDirectory();
  const std::string path = WritableDataFile(kNoiseCharsFileName);
  std::string_view body = in.body();
  WriteFileOrDie(path, body);

  std::string chars = ReadNoiseCharsFile(path);
  Check(chars == body.substr(0, kNoiseCharsMaxBytes), "the noise characters read are not the file's first bytes", chars);
  const std::string copy = dir + "/noise-copy.lfx";
  Status written = WriteNoiseCharsFile(copy, chars);
  Check(written.ok(), "the noise characters cannot be written", written.message());
  Check(ReadNoiseCharsFile(copy) == chars, "the noise characters written do not read back", chars);
  Check(LoadNoiseChars() == chars, "the listing's noise characters are not the user's file", chars);

  SetSetting("m_remove_noise_chars", "1");
  SetSetting("m_use_advanced_options", "0");
  SetSetting("m_uselinenumbers", in.Bit(0, 0) ? "0" : "1");
  const char* extension = in.Bit(0, 2) ? "bas" : in.Bit(0, 1) ? "java" : "c";
  const std::string listed = dir + "/listed." + extension;
  WriteFileOrDie(listed, ListedSource());

  char* buffer = nullptr;
  size_t length = 0;
  std::FILE* out = open_memstream(&buffer, &length);
  if (!out) Fail("open_memstream failed");
  RunListingBuildToStream({listed}, out, ListingBuildOptions());
  std::fclose(out);
  std::string rtf(buffer, length);
  std::free(buffer);
  RequireRtf(rtf, "a listing without the noise characters");
  return 0;
}
