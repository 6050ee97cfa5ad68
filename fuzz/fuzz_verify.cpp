// Fuzzes the verification of built files: a fixed project made from the demo
// loader, with texts in place and relocated. An input whose first byte is
// even is the built file itself; otherwise the rest of it is a list of
// changes (a 3-byte position, a byte to XOR in) to the project's correct
// .BIN and LOADING.KWI, the last position, when it lies past the end, being
// a new length. Whatever the file holds, verification must end with
// problems or clean, never crash or read out of bounds; the unchanged files
// verify clean.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzInputFile.h"
#include "analysis/ProjectCreation.h"
#include "container/io/AtomicFile.h"
#include "container/kiwi/LoaderRebuild.h"
#include "project/build/LoaderBuild.h"
#include "project/build/SourceLoader.h"
#include "container/io/Stream.h"
#include "project/build/BinBuilder.h"
#include "project/verify/Verify.h"
#include "sampledata/SampleData.h"

namespace {

struct Project {
  velmora::PhraseTable table;
  std::string source;
  std::vector<uint8_t> bin, loader;  // the correct builds
  Project() {
    const auto demo = velmora::sample::MakeLoader(velmora::sample::DemoLoaderRecipe());
    char tmpl[] = "/tmp/velmora-fuzz-src-XXXXXX";
    if (::mkdtemp(tmpl) == nullptr) std::abort();
    source = std::string(tmpl) + "/LOADING.KWI";
    velmora::WriteFileAtomically(source, demo.data(), demo.size());
    velmora::AnalysisOptions options;
    options.RangeEnd = 0xFFFFFFFFu;
    velmora::CreateProjectFromLoader(table, source, -1, 0, -1, options, [](const std::string&) { return true; });
    for (size_t i = 0; i < table.Phrases.size(); i += 3) {
      if (table.Phrases[i].Flags & velmora::pfLink) continue;
      table.AppendEditedText(i, std::string(i % 2 ? 3u : table.Phrases[i].Length + 4u, 'T'));
      table.Phrases[i].Flags = velmora::pfOn;
    }
    bin = velmora::AssembleUnit(table);
    velmora::RebuildLoader(table, source, source + ".NEW");
    loader = velmora::ReadWholeFile(source + ".NEW");
  }
};

std::vector<uint8_t> Changed(std::vector<uint8_t> file, const uint8_t* changes, size_t size) {
  for (size_t k = 0; k + 4 <= size; k += 4) {
    const size_t at = changes[k] | (changes[k + 1] << 8) | (changes[k + 2] << 16);
    if (at < file.size()) {
      file[at] ^= changes[k + 3];
    } else if (k + 8 > size) {
      file.resize(at % (file.size() + 4096));
    }
  }
  return file;
}

void Check(const velmora::VerifyResult& r) {
  if (r.Problems.size() > velmora::kMaxListedProblems || r.Problems.size() > r.ProblemCount) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Project project;
  if (size == 0 || data[0] % 2 == 0) {
    const std::string& path = velmora::fuzz::WriteInputFile("BUILT", data, size);
    velmora::GuessBuiltKind(project.table, path, project.source);
    Check(velmora::VerifyBin(project.table, path));
    Check(velmora::VerifyLoader(project.table, path, project.source));
    return 0;
  }
  const auto bin = Changed(project.bin, data + 1, size - 1);
  const std::string& binPath = velmora::fuzz::WriteInputFile("BUILT.BIN", bin.data(), bin.size());
  const velmora::VerifyResult b = velmora::VerifyBin(project.table, binPath);
  Check(b);
  if (b.Clean() != (bin == project.bin)) std::abort();
  const auto loader = Changed(project.loader, data + 1, size - 1);
  const std::string& loaderPath = velmora::fuzz::WriteInputFile("BUILT.KWI", loader.data(), loader.size());
  const velmora::VerifyResult l = velmora::VerifyLoader(project.table, loaderPath, project.source);
  Check(l);
  if (l.Clean() != (loader == project.loader)) std::abort();
  return 0;
}
