// Exporting and importing the phrase files of a unit with 30 000 phrases in
// each format, reading a text file of 10 MB of blank lines, and the whole
// import command on the project file of a 64 MB unit.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "BenchFiles.h"
#include "BenchTable.h"
#include "analysis/Filters.h"
#include "container/io/AtomicFile.h"
#include "project/file/ProjectEdit.h"
#include "project/file/ProjectFile.h"
#include "project/exchange/TextExchange.h"
#include "project/exchange/PhraseFormat.h"

using namespace velmora;

namespace {

struct BenchProject {
  PhraseTable table;
  std::vector<int32_t> rows;
  BenchProject() : table(bench::ExtractedBenchTable(8u << 20, 30000, 42, 2000)) {
    rows = FilterRows(table, GridFilter::NoFilter);
  }
};

BenchProject& Project() {
  static BenchProject p;
  return p;
}

ExchangeOptions Options() {
  ExchangeOptions o;
  o.Page = CodePage::WestEurope;
  return o;
}

const PhraseFormat& FormatAt(int64_t i) { return *PhraseFormats().at(static_cast<size_t>(i)); }

void BM_Export(benchmark::State& state) {
  auto& p = Project();
  const PhraseFormat& f = FormatAt(state.range(0));
  size_t bytes = 0;
  for (auto _ : state) {
    const std::string file = f.Write(p.table, p.rows, Options());
    bytes = file.size();
    benchmark::DoNotOptimize(file.data());
  }
  state.SetLabel(std::string(f.ShortName()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["phrases"] = static_cast<double>(p.rows.size());
}
BENCHMARK(BM_Export)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reading an unchanged export back: every entry is parsed and compared, and
// nothing changes, so the same table serves every iteration.
void BM_ImportUnchanged(benchmark::State& state) {
  auto& p = Project();
  const PhraseFormat& f = FormatAt(state.range(0));
  const std::string file = f.Write(p.table, p.rows, Options());
  for (auto _ : state) {
    const ImportReport r = f.Read(p.table, file, Options());
    benchmark::DoNotOptimize(r.Unchanged);
  }
  state.SetLabel(std::string(f.ShortName()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_ImportUnchanged)->DenseRange(1, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

// A text import attaches a text per entry: each run starts from the records
// without texts.
void BM_ImportTextFile(benchmark::State& state) {
  auto& p = Project();
  const std::string file = ExportPhrases(p.table, p.rows, CodePage::WestEurope);
  PhraseTable t;
  for (auto _ : state) {
    state.PauseTiming();
    t.Phrases = p.table.Phrases;
    t.EditedTexts.clear();
    state.ResumeTiming();
    benchmark::DoNotOptimize(ImportPhrases(t, file));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_ImportTextFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImportBlankLines(benchmark::State& state) {
  std::string file;
  for (size_t i = 0; i < (10u << 20) / 2; ++i) file += "\r\n";
  PhraseTable t;
  t.Phrases = Project().table.Phrases;
  for (auto _ : state) benchmark::DoNotOptimize(ImportPhrases(t, file));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_ImportBlankLines)->Unit(benchmark::kMillisecond)->UseRealTime();

// 'velmora-cli import' of a text file with an entry for each of the 30,000
// phrases into the stored project of a 64 MB unit: open, import, save. Each
// run starts from the project without edited texts.
void BM_ImportCommand(benchmark::State& state) {
  const bench::TempDir dir;
  const std::string pristine = dir.File("pristine.vmprj");
  const std::string project = dir.File("bench.vmprj");
  const std::string file = dir.File("Phrases.txt");
  size_t entries = 0;
  {
    PhraseTable table = bench::ExtractedBenchTable(64u << 20, 30000, 42, 0);
    const std::vector<int32_t> rows = FilterRows(table, GridFilter::NoFilter);
    std::string text = ExportPhrases(table, rows, CodePage::WestEurope);
    for (char& c : text)
      if (c == 'a') c = 'e';  // every entry differs from its origin text
    WriteFileAtomically(file, text.data(), text.size());
    SaveProject(table, pristine);
    entries = rows.size();
  }
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::copy_file(pristine, project, std::filesystem::copy_options::overwrite_existing);
    state.ResumeTiming();
    EditProjectFile(project, [&](PhraseTable& t) { return ImportPhraseFile(nullptr, t, file, Options()).Changed; });
  }
  state.counters["entries"] = static_cast<double>(entries);
  state.counters["project_MB"] = bench::FileMegabytes(project);
}
BENCHMARK(BM_ImportCommand)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
