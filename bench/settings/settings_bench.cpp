// How fast settings are read: the listing build reads one for every source
// line, so a read of a stored value must cost a few microseconds at most.
// Every read revalidates against the store file, so the baseline is one
// stat() of that file, measured in the same run.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "registry.h"
#include "setting_names.h"
#include "settings_table.h"

namespace {

using namespace folios;

// A store in a private directory holding every setting of the table.
class StoreFixture {
 public:
  StoreFixture() {
    char pattern[] = "/tmp/folios-bench-XXXXXX";
    dir_ = mkdtemp(pattern);
    setenv("FOLIOS_CONFIG_DIR", dir_.c_str(), 1);
    for (const SettingInfo& info : AllSettings()) {
      Settings(info.key).SetText(info.name, DefaultText(info.key, info.name));
    }
  }
  ~StoreFixture() { std::filesystem::remove_all(dir_); }

 private:
  std::string dir_;
};

StoreFixture& Store() {
  static StoreFixture store;
  return store;
}

void BM_StatBaseline(benchmark::State& state) {
  Store();
  std::string path = CRegistry::StoreFile();
  struct stat st;
  for (auto _ : state) benchmark::DoNotOptimize(stat(path.c_str(), &st));
  state.counters["reads/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StatBaseline);

void BM_RegistryReadStoredInt(benchmark::State& state) {
  Store();
  CRegistry reg(kLocalMachine, kProductKey);
  for (auto _ : state) benchmark::DoNotOptimize(reg.ReadInt(setting_name::kLinebreaks, 1));
  state.counters["reads/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RegistryReadStoredInt);

void BM_RegistryReadStoredIntFreshObject(benchmark::State& state) {
  Store();
  for (auto _ : state) {
    CRegistry reg(kLocalMachine, std::string(kProductKey) + kDocSubkey);
    benchmark::DoNotOptimize(reg.ReadInt(setting_name::kCommentForecolor, 11));
  }
  state.counters["reads/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RegistryReadStoredIntFreshObject);

void BM_SettingsTableRead(benchmark::State& state) {
  Store();
  Settings settings;
  for (auto _ : state) benchmark::DoNotOptimize(settings.Int(setting_name::kUselinenumbers));
  state.counters["reads/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SettingsTableRead);

void BM_RegistryWrite(benchmark::State& state) {
  Store();
  CRegistry reg(kLocalMachine, kProductKey);
  int i = 0;
  for (auto _ : state) reg.WriteInt("bench_counter", ++i);
  state.counters["writes/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RegistryWrite);

}  // namespace

BENCHMARK_MAIN();
