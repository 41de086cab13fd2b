// Throughput of the beautifier engine in memory, on the bundled samples and
// on generated C of growing size (the time per byte should stay the same).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "beautifier_options.h"
#include "engine.h"
#include "reformat_file.h"
#include "token_check.h"

namespace {

std::string SamplesText() {
  std::string all;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(FOLIOS_SAMPLES_DIR)) {
    std::string ext = entry.path().extension().string();
    if (ext != ".c" && ext != ".cpp" && ext != ".h" && ext != ".java") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    all.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return all;
}

// A function body with the constructs the engine works hardest on.
std::string GeneratedC(int functions) {
  std::string s;
  for (int i = 0; i < functions; ++i) {
    std::string n = std::to_string(i);
    s += "/* function " + n + "\n * does things\n */\n";
    s += "static int f" + n + "(int a, int b)\n{\n";
    s += "\tint table[] = { 1, 2, 3 };\t/* data */\n";
    s += "\tif (a > b)\n\t\ta = b;  // clamp\n\telse if (a < 0)\n\t{\n\t\ta = 0;\n\t}\n";
    s += "\tswitch (a) {\n\tcase 1:\n\t\tb++;\n\t\tbreak;\n\tdefault:\n\t\tbreak;\n\t}\n";
    s += "#define SQ(x) \\\n\t((x) * \\\n\t (x))\n";
    s += "\treturn SQ(a) + b +\n\t\ttable[0];\n}\n\n";
  }
  return s;
}

void Format(benchmark::State& state, const std::string& text) {
  folios::BeautifierOptions options;
  for (auto _ : state) {
    std::istringstream in(text);
    std::ostringstream out, report, err;
    int rc = folios::RunBeautifier(in, out, options, false, report, err);
    if (rc != 0) state.SkipWithError("engine failed");
    benchmark::DoNotOptimize(out.str().size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

// The token checker over a text and its formatting, as the reformat command
// runs it before a formatted file replaces its source. Its time per byte,
// set against BM_Format* on the same text, is the cost of the guard.
void Check(benchmark::State& state, const std::string& text) {
  folios::BeautifierOptions options;
  std::istringstream in(text);
  std::ostringstream out, report, err;
  folios::RunBeautifier(in, out, options, false, report, err);
  const std::string formatted = out.str();
  for (auto _ : state) {
    std::istringstream a(text), b(formatted);
    folios::TokenCheckResult r = folios::CheckTokens(a, b, folios::TokenCheckOptions{});
    if (!r.same) state.SkipWithError("token check failed");
    benchmark::DoNotOptimize(r.line);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

// A whole ReformatFile as the reformat command runs it: the source read,
// formatted into a temporary file, checked token for token and renamed over
// the output. Set against BM_FormatSamples, the difference is what reading,
// writing and checking add to the engine.
void BM_ReformatFileSamples(benchmark::State& state) {
  static const std::string text = SamplesText();
  const std::string dir = (std::filesystem::temp_directory_path() / "folios-bench-reformat").string();
  std::filesystem::create_directories(dir);
  const std::string input = dir + "/samples.c", output = dir + "/formatted.c";
  std::ofstream(input, std::ios::binary) << text;
  folios::ReformatFileOptions options;
  const folios::FormatSettings settings;  // the defaults, as a fresh settings store has them
  options.settings = &settings;
  for (auto _ : state) {
    std::ostream report(nullptr);
    std::ostringstream err;
    folios::ReformatFileResult r = folios::ReformatFileWith(input, output, options, report, err);
    if (r.code != 0) state.SkipWithError(r.reason.c_str());
  }
  std::filesystem::remove_all(dir);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReformatFileSamples);

void BM_FormatSamples(benchmark::State& state) {
  static const std::string text = SamplesText();
  Format(state, text);
}
BENCHMARK(BM_FormatSamples);

void BM_FormatGenerated(benchmark::State& state) {
  const std::string text = GeneratedC(static_cast<int>(state.range(0)));
  Format(state, text);
}
BENCHMARK(BM_FormatGenerated)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000);

void BM_TokenCheckSamples(benchmark::State& state) {
  static const std::string text = SamplesText();
  Check(state, text);
}
BENCHMARK(BM_TokenCheckSamples);

void BM_TokenCheckGenerated(benchmark::State& state) {
  const std::string text = GeneratedC(static_cast<int>(state.range(0)));
  Check(state, text);
}
BENCHMARK(BM_TokenCheckGenerated)->Arg(1000);

// One line of 20000 initialiser pairs: the time per byte must stay that of
// ordinary code (it grew with the square of the line before).
void BM_FormatLongLine(benchmark::State& state) {
  std::string text = "int t[][2] = {";
  for (int i = 0; i < static_cast<int>(state.range(0)); ++i) text += "{" + std::to_string(i) + ", 1}, ";
  text += "};\n";
  Format(state, text);
}
BENCHMARK(BM_FormatLongLine)->Arg(2000)->Arg(20000);

}  // namespace

BENCHMARK_MAIN();
