// How fast listings are written. The keyword pass runs once per output line,
// so it is measured alone (one scan of the line against searching keyword by
// keyword) and as part of whole builds of generated C sources, with and
// without line numbers; one very long line is cut at three sizes.
// scripts/bench-listing.sh compares the command with other converters on
// real sources.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "data_files.h"
#include "listing_build.h"
#include "listing_line.h"
#include "registry.h"
#include "setting_names.h"
#include "settings_table.h"

namespace {

using namespace folios;

const char* const kLines[] = {
    "static int ring_put(struct ring *rb, unsigned char byte)",
    "{",
    "\tif (rb->count == RING_CAPACITY) /* full */",
    "\t\treturn -EAGAIN;",
    "\trb->data[(rb->head + rb->count) % RING_CAPACITY] = byte;  // wrap",
    "\tfor (size_t i = 0; i < n; i++) {",
    "\t\tconst char *name = \"{device} \\\\ path\";",
    "#include <linux/module.h>",
    "#define RING_CAPACITY 64",
    "\tswitch (state) { case 0: break; default: return unsigned_long_value; }",
    "/*",
    " * Kernel-style block comment spanning several lines, with words like int",
    " * and return that must stay unstyled inside it.",
    " */",
    "\t\tpr_info(\"ring %d: %zu bytes free, %u used, %s\\n\", id, free, used, name);",
    "",
    "}",
};

std::string GeneratedSource(size_t bytes) {
  std::string text;
  std::mt19937 rng(7);
  std::uniform_int_distribution<size_t> pick(0, std::size(kLines) - 1);
  while (text.size() < bytes) {
    // Keep block comments whole so the comment state stays realistic.
    size_t i = pick(rng);
    if (i >= 10 && i <= 13) {
      for (size_t k = 10; k <= 13; ++k) text += std::string(kLines[k]) + "\n";
    } else {
      text += std::string(kLines[i]) + "\n";
    }
  }
  return text;
}

class Environment {
 public:
  Environment() {
    char pattern[] = "/tmp/folios-listing-bench-XXXXXX";
    dir_ = mkdtemp(pattern);
    setenv("FOLIOS_CONFIG_DIR", dir_.c_str(), 1);
    setenv("FOLIOS_DATA_DIR", dir_.c_str(), 1);
    Settings().SetInt(setting_name::kUseAdvancedOptions, 0);
  }
  ~Environment() { std::filesystem::remove_all(dir_); }
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_;
};

Environment& Env() {
  static Environment env;
  return env;
}

void StyleLines(benchmark::State& state, bool scan) {
  Env();
  KeywordTable table =
      LoadKeywordTableForListing(LocateDataFile("C-Keywords.lfx"), Language::kCpp, nullptr);
  LineStyler styler(table, "\\pard\\plain \\f0\\fs16\\cf1\\highlight8\\lang1033");
  std::vector<std::string> lines;
  for (const char* line : kLines) {
    std::string text = line;
    EscapeRtf(&text);
    lines.push_back(text);
  }
  std::string out;
  size_t bytes = 0;
  for (auto _ : state) {
    CommentState comments;
    for (const std::string& line : lines) {
      StyleInput input;
      input.text = line;
      out.clear();
      if (scan) {
        styler.Style(input, &comments, &out);
      } else {
        styler.StyleBySearch(input, &comments, &out);
      }
      bytes += line.size();
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

void BM_KeywordPassWordScan(benchmark::State& state) { StyleLines(state, true); }
void BM_KeywordPassSearchEachKeyword(benchmark::State& state) { StyleLines(state, false); }
BENCHMARK(BM_KeywordPassWordScan);
BENCHMARK(BM_KeywordPassSearchEachKeyword);

void BuildListing(benchmark::State& state, bool numbers, ListingFormat format = ListingFormat::kRtf) {
  const std::string path = Env().dir() + "/source.c";
  const size_t size = static_cast<size_t>(state.range(0)) << 20;
  {
    std::ofstream out(path, std::ios::binary);
    out << GeneratedSource(size);
  }
  Settings().SetInt(setting_name::kUselinenumbers, numbers ? 0 : 1);
  ListingBuildOptions options;
  options.format = format;
  for (auto _ : state) {
    std::FILE* sink = std::fopen("/dev/null", "wb");
    ListingBuildResult result = RunListingBuildToStream({path}, sink, options);
    std::fclose(sink);
    if (!result.ok()) state.SkipWithError("build failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
}

void BM_ListingDefault(benchmark::State& state) { BuildListing(state, false); }
void BM_ListingLineNumbers(benchmark::State& state) { BuildListing(state, true); }
// The same as a web page.
void BM_PageDefault(benchmark::State& state) { BuildListing(state, false, ListingFormat::kHtml); }
void BM_PageLineNumbers(benchmark::State& state) { BuildListing(state, true, ListingFormat::kHtml); }
BENCHMARK(BM_ListingDefault)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListingLineNumbers)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageDefault)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageLineNumbers)->Arg(8)->Unit(benchmark::kMillisecond);

// One line of 1, 4 and 16 MB with strings, character literals and comments,
// cut into segments: with cutting linear in the line, the time per byte
// stays the same at every size (the fitted complexity reads N).
void BM_CutOneLongLine(benchmark::State& state) {
  const std::string path = Env().dir() + "/line.c";
  const size_t size = static_cast<size_t>(state.range(0)) << 20;
  {
    std::string line;
    while (line.size() < size) line += "x = \"a // b\", f(y, '\"', z); /* c */ ";
    std::ofstream out(path, std::ios::binary);
    out << line << "\n";
  }
  Settings().SetInt(setting_name::kUselinenumbers, 1);
  for (auto _ : state) {
    std::FILE* sink = std::fopen("/dev/null", "wb");
    ListingBuildResult result = RunListingBuildToStream({path}, sink, ListingBuildOptions());
    std::fclose(sink);
    if (!result.ok()) state.SkipWithError("build failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
  state.SetComplexityN(static_cast<int64_t>(size));
}
BENCHMARK(BM_CutOneLongLine)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
