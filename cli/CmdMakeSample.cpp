// velmora-cli make-sample: writes a synthetic demo LOADING.KWI and APM.BIN
// (and, on request, a large benchmark unit) into a folder.
#include <filesystem>
#include <iostream>
#include <system_error>

#include "cli/CliCommon.h"
#include "container/io/AtomicFile.h"
#include "container/io/StreamErrors.h"
#include "sampledata/SampleData.h"

namespace velmora::cli {
namespace {

const char* kUsage =
    "Usage: velmora-cli make-sample DIR [--bench-unit SIZE_MB [--phrases N] [--bench-loader]]\n"
    "\n"
    "Writes synthetic sample data into DIR (created when missing):\n"
    "  LOADING.KWI  a loader with an unnamed maker entry, AISIN-AW and DENSO;\n"
    "               the AISIN-AW entry has a module in the directory-table layout\n"
    "               and one in the split layout, both with an \"APM\" unit, and\n"
    "               units with a foreign maker text, a wrong checksum, Japanese\n"
    "               and European texts\n"
    "  APM.BIN      the demo APM unit on its own\n"
    "\n"
    "Options:\n"
    "  --bench-unit SIZE_MB  also write BENCH.BIN, an English unit of SIZE_MB\n"
    "                        mebibytes (1 to 128)\n"
    "  --phrases N           the number of distinct strings in BENCH.BIN\n"
    "                        (1 to 1000000, default 30000)\n"
    "  --bench-loader        also write bench-loader/LOADING.KWI, a loader of about\n"
    "                        SIZE_MB + 66 MB whose AISIN-AW module holds a unit\n"
    "                        \"APM\" like BENCH.BIN and five units of 512 KB; an\n"
    "                        unnamed maker's module holds 64 MB of data. A module has at\n"
    "                        most 65535 sectors, so APM keeps 2 MB of them free\n"
    "                        for relocated texts and is smaller than 128 MB\n"
    "\n"
    "Example:\n"
    "  velmora-cli make-sample demo\n";

void Write(const std::string& path, const std::vector<uint8_t>& bytes, const std::string& what) {
  WriteFileAtomically(path, bytes.data(), bytes.size());
  std::cout << "Wrote " << path << " (" << bytes.size() << " bytes): " << what << "\n";
}

int Run(const std::vector<std::string>& args) {
  ArgParser parser(args, {"--bench-unit", "--phrases"}, {"--bench-loader"});
  if (parser.Positionals().size() != 1) throw UsageError("expected exactly one folder");
  const std::string dir = parser.Positionals()[0];

  long long benchMb = 0;
  long long phrases = 30000;
  if (auto v = parser.Value("--bench-unit")) {
    benchMb = ParseInteger(*v, "--bench-unit");
    if (benchMb < 1 || benchMb > 128) throw UsageError("--bench-unit must be 1 to 128");
  }
  if (auto v = parser.Value("--phrases")) {
    if (benchMb == 0) throw UsageError("--phrases needs --bench-unit");
    phrases = ParseInteger(*v, "--phrases");
    if (phrases < 1 || phrases > 1000000) throw UsageError("--phrases must be 1 to 1000000");
  }
  const bool benchLoader = parser.Has("--bench-loader");
  if (benchLoader && benchMb == 0) throw UsageError("--bench-loader needs --bench-unit");

  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) throw EFCreateError(dir, ec.message());

  sample::LoaderLayout layout;
  const auto loader = sample::MakeLoader(sample::DemoLoaderRecipe(), &layout);
  std::string makers;
  for (const auto& m : layout.makers) makers += (makers.empty() ? "" : ", ") + m.makerName;
  Write(dir + "/LOADING.KWI", loader, "demo loader, maker entries " + makers);

  const auto apm = sample::MakeDemoUnit();
  Write(dir + "/APM.BIN", apm.bytes, "demo unit APM, " + std::to_string(apm.strings.size()) + " strings, " +
                                         std::to_string(apm.pointerOffsets.size()) + " pointers");

  if (benchMb > 0) {
    const auto bench = sample::MakeBenchUnit(static_cast<size_t>(benchMb) << 20, static_cast<size_t>(phrases), 1);
    Write(dir + "/BENCH.BIN", bench.bytes, "benchmark unit, " + std::to_string(bench.strings.size()) + " strings, " +
                                               std::to_string(bench.pointerOffsets.size()) + " pointers");
  }
  if (benchLoader) {
    const std::string folder = dir + "/bench-loader";
    std::filesystem::create_directories(folder, ec);
    if (ec) throw EFCreateError(folder, ec.message());
    const auto recipe = sample::BenchLoaderRecipe(static_cast<size_t>(benchMb) << 20, static_cast<size_t>(phrases), 1);
    const size_t unitBytes = recipe.makers.back().modules.front().units.front().second.size();
    Write(folder + "/LOADING.KWI", sample::MakeLoader(recipe),
          "benchmark loader, AISIN-AW unit APM of " + std::to_string(unitBytes) + " bytes and five of 512 KB");
  }
  return kExitOk;
}

static CommandRegistrar reg({"make-sample", "write a synthetic demo LOADING.KWI and APM.BIN", kUsage, Run});

}  // namespace
}  // namespace velmora::cli
