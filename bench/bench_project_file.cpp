// Saving and opening the project of a 64 MB unit with 30 000 phrases.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchTable.h"
#include "project/ProjectFile.h"

using namespace velmora;

namespace {

struct BenchProject {
  PhraseTable table;
  std::string dir;
  std::string path;
  BenchProject() : table(bench::ExtractedBenchTable(64u << 20, 30000, 42, 2000)) {
    std::string tmpl = (std::filesystem::temp_directory_path() / "velmora-bench-XXXXXX").string();
    dir = ::mkdtemp(tmpl.data()) ? tmpl : std::string(".");
    path = dir + "/bench.vmprj";
  }
  ~BenchProject() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
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
