// Saving and opening the project of a 64 MB unit with 30 000 phrases.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "BenchFiles.h"
#include "BenchTable.h"
#include "project/file/ProjectFile.h"

using namespace velmora;

namespace {

struct BenchProject {
  PhraseTable table;
  bench::TempDir dir;
  std::string path;
  BenchProject() : table(bench::ExtractedBenchTable(64u << 20, 30000, 42, 2000)), path(dir.File("bench.vmprj")) {}
};

BenchProject& Project() {
  static BenchProject p;
  return p;
}

void BM_SaveProject(benchmark::State& state) {
  auto& p = Project();
  for (auto _ : state) SaveProject(p.table, p.path);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(std::filesystem::file_size(p.path)));
  state.counters["records"] = static_cast<double>(p.table.Phrases.size());
}
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenProject(benchmark::State& state) {
  auto& p = Project();
  SaveProject(p.table, p.path);
  PhraseTable opened;
  for (auto _ : state) OpenProject(opened, p.path);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(std::filesystem::file_size(p.path)));
}
BENCHMARK(BM_OpenProject)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
