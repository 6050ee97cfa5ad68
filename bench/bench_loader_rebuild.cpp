// The loader rebuild from a large source: a loader of about 130 MB whose
// AISIN-AW module holds a 64 MB unit with 30,000 phrases (every phrase
// translated, half of them relocated) and five units of 512 KB that are
// copied as they are.
#include <benchmark/benchmark.h>

#include <string>

#include "BenchFiles.h"
#include "BenchProjects.h"
#include "analysis/ProjectCreation.h"
#include "container/io/AtomicFile.h"
#include "container/kiwi/LoaderRebuild.h"
#include "project/build/LoaderBuild.h"
#include "project/build/SourceLoader.h"

using namespace velmora;

namespace {

struct BenchLoader {
  bench::TempDir dir;
  std::string source = dir.File("LOADING.KWI");
  PhraseTable table;
  BenchLoader() {
    const std::vector<uint8_t> loader = sample::MakeLoader(sample::BenchLoaderRecipe(64u << 20, 30000, 3));
    WriteFileAtomically(source, loader.data(), loader.size());
    AnalysisOptions options;
    options.RangeEnd = 0xFFFFFFFF;
    const CreationResult created =
        CreateProjectFromLoader(table, source, -1, 0, 0, options, [](const std::string&) { return true; });
    if (!created.Analysis.Completed) throw std::runtime_error("the bench loader's unit was not analysed");
    bench::TranslateHalfRelocated(table);
  }
};

void BM_RebuildLoader(benchmark::State& state) {
  static BenchLoader loader;
  const std::string output = loader.dir.File("OUT.KWI");
  int64_t written = 0;
  for (auto _ : state) written = RebuildLoader(loader.table, loader.source, output);
  state.SetBytesProcessed(state.iterations() * written);
  state.counters["source_MB"] = bench::FileMegabytes(loader.source);
  state.counters["output_MB"] = bench::FileMegabytes(output);
}
BENCHMARK(BM_RebuildLoader)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
