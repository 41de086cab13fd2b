// Fuzz target: the documentation build over a format file and a source, both
// from the input, for every output type.
//
// Body: FORMAT "\n==source==\n" SOURCE, or a source alone, which is then
// built with the shipped format file.
// Header bytes (0 selects the default everywhere):
//   0  bit 0 unsorted topics, 1 topic log, 2 a second run appending to the
//      first one's document, 3-5 source extension (c, cpp, h, java, bas,
//      cls, frm, none)
//   1  tab size
//   2  0x21 in bits 0-5: the source repeated to 256 KB
// Oracles: no crash or hang, no file left in the temporary directory; with
// the shipped format every RTF document written is well-formed RTF (the
// topic log is plain text whatever its name).
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "data_files.h"
#include "doc_driver.h"
#include "fuzz_support.h"

namespace folios::fuzz {
namespace {

constexpr size_t kHeader = 3;
constexpr size_t kAmplifiedSize = 256 * 1024;
constexpr std::string_view kSourceMarker = "\n==source==\n";

const char* const kExtensions[] = {"c", "cpp", "h", "java", "bas", "cls", "frm", ""};
const char* const kTabSizes[] = {"8", "1", "4", "0", "99", "2147483648", "3", "16"};
const char* const kOutputTypes[] = {"doc", "help", "html"};

bool IsRtfType(const std::string& type) { return type == "doc" || type == "help"; }

void CheckRtfFile(const std::string& path, const std::string& what) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return;
  RequireRtf(ReadFileOrDie(path), what);
}

}  // namespace
}  // namespace folios::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace folios;
  using namespace folios::fuzz;
  namespace fs = std::filesystem;
  FuzzInput in(data, size, kHeader);
  const std::string dir = WorkDirectory() + "/doc";
  std::error_code ec;
  fs::remove_all(dir, ec);
  fs::create_directories(dir);

  std::string_view body = in.body();
  std::string format_path;
  size_t marker = body.find(kSourceMarker);
  std::string_view source = body;
  if (marker == std::string_view::npos) {
    format_path = LocateDataFile("LFX.fmt");
  } else {
    format_path = dir + "/format.fmt";
    WriteFileOrDie(format_path, body.substr(0, marker));
    source = body.substr(marker + kSourceMarker.size());
  }
  const bool shipped_format = marker == std::string_view::npos;

  std::string extension = kExtensions[(in.Byte(0) >> 3) & 7];
  std::string source_path = dir + "/source" + (extension.empty() ? "" : "." + extension);
  WriteFileOrDie(source_path, in.Amplified(2) ? Repeated(source, kAmplifiedSize) : std::string(source));

  for (const char* type_name : kOutputTypes) {
    std::string type = type_name;
    std::string output = dir + "/out-" + type + ".rtf";
    std::string log = dir + "/Topics-" + type + ".rtf";
    std::vector<std::string> argv{source_path, "-r", type, "-o", output, "-f", format_path,
                                  "-t", kTabSizes[in.Choice(1, 8)]};
    if (in.Bit(0, 0)) argv.push_back("-u");
    if (in.Bit(0, 1)) {
      argv.push_back("-l");
      argv.push_back(log);
    }
    int runs = in.Bit(0, 2) ? 2 : 1;
    for (int run = 0; run < runs; ++run) {
      if (run == 1) argv.push_back("-a");
      std::ostringstream messages;
      docgen::RunDocDriver(argv, nullptr, messages, messages, WorkDirectory() + "/tmp/");
    }
    if (shipped_format && IsRtfType(type)) {
      CheckRtfFile(output, "the " + type + " document");
    }
  }
  // Nothing may be left behind in the temporary directory: the spool file
  // goes on every way out of a run.
  for (const auto& entry : fs::directory_iterator(WorkDirectory() + "/tmp")) {
    Fail("a documentation run left a file behind", entry.path().string());
  }
  return 0;
}
