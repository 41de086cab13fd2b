// How the documentation build grows with the number of topics: generated
// sources with N tagged functions each, written through the shipped format
// file. Time should grow no worse than n log n (the topics are sorted); the
// memory check against text length is in scripts/bench-docgen.sh.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "data_files.h"
#include "doc_driver.h"

namespace {

namespace fs = std::filesystem;

// Writes `topics` documented functions into files of 200 functions each,
// with names in an order that makes the sort work.
std::vector<std::string> MakeSources(const fs::path& dir, int topics, int text_repeat) {
  fs::create_directories(dir);
  std::vector<std::string> paths;
  std::ofstream file;
  std::string description;
  for (int r = 0; r < text_repeat; ++r) description += "Does what its name says, for the benchmark. ";
  for (int i = 0; i < topics; ++i) {
    if (i % 200 == 0) {
      if (file.is_open()) file.close();
      paths.push_back((dir / ("src" + std::to_string(i / 200) + ".c")).string());
      file.open(paths.back());
      file << "/* @doc BENCH */\n";
    }
    unsigned scrambled = static_cast<unsigned>(i) * 2654435761u;
    file << "/* @func " << description << "\n * @parm The count.\n * @parm The name.\n"
         << " * @rdesc Zero on success.\n */\nint fn_" << scrambled << "_" << i
         << "(int count, const char *name)\n{\n  return count + name[0];\n}\n\n";
  }
  return paths;
}

void BM_DocBuild(benchmark::State& state) {
  const int topics = static_cast<int>(state.range(0));
  fs::path dir = fs::temp_directory_path() / ("folios_docgen_bench_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  std::vector<std::string> argv = MakeSources(dir / "src", topics, 1);
  argv.insert(argv.end(), {"-f", folios::LocateDataFile("LFX.fmt"), "-o", (dir / "out.rtf").string()});
  for (auto _ : state) {
    std::ostringstream out, err;
    int rc = folios::docgen::RunDocDriver(argv, nullptr, out, err);
    if (rc != 0 || !err.str().empty()) state.SkipWithError("the build reported errors");
  }
  state.SetComplexityN(topics);
  state.counters["topics/s"] = benchmark::Counter(topics, benchmark::Counter::kIsIterationInvariantRate);
  fs::remove_all(dir);
}
BENCHMARK(BM_DocBuild)->RangeMultiplier(4)->Range(1 << 8, 1 << 16)->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);

// A format file of N paragraph tags whose topic lists them in its order
// list, forward or in reverse, over one topic holding one paragraph of each
// tag in source order: the reverse order must cost no more than the forward.
void BM_OrderList(benchmark::State& state) {
  const int tags = static_cast<int>(state.range(0));
  const bool reverse = state.range(1) != 0;
  fs::path dir = fs::temp_directory_path() / ("folios_docgen_order_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream format(dir / "order.fmt");
  format << "[file]\n.output=doc\n.pre={\\rtf1 \n.post=}\n[topic]\n.tag=t, doc, 1, 1, $1\n.order=";
  for (int i = 0; i < tags; ++i) format << " p" << (reverse ? tags - 1 - i : i);
  format << "\n.pre=\\par $1\n[paragraph]\n";
  for (int i = 0; i < tags; ++i) format << ".tag=p" << i << ", doc, 1, 1\n.format=\\par $1\n";
  format << "[extension]\n.ext=c, c\n[token]\n.output=doc, rtf\n";
  format.close();
  std::ofstream source(dir / "topic.c");
  source << "/* @doc\n @t Topic\n";
  for (int i = 0; i < tags; ++i) source << " @p" << i << " text of p" << i << "\n";
  source << "*/\n";
  source.close();
  std::vector<std::string> argv = {(dir / "topic.c").string(), "-f", (dir / "order.fmt").string(), "-o",
                                   (dir / "out.rtf").string()};
  for (auto _ : state) {
    std::ostringstream out, err;
    int rc = folios::docgen::RunDocDriver(argv, nullptr, out, err);
    if (rc != 0 || !err.str().empty()) state.SkipWithError("the build reported errors");
  }
  state.SetLabel(reverse ? "order list in reverse" : "order list forward");
  fs::remove_all(dir);
}
BENCHMARK(BM_OrderList)->ArgsProduct({{1000, 4000}, {0, 1}})->ArgNames({"tags", "reverse"})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
