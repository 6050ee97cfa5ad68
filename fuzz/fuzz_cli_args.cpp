// Fuzzes the command line of velmora-cli: the input is split at NUL bytes
// into arguments, and a one-byte argument below 64 stands for a word of the
// command line (a command, an option, a value, a fixture's name). Every
// command runs in a scratch folder that holds a small loader, a unit, a
// project made from the loader and a text file; arguments with a path
// separator are not run, so nothing outside that folder is touched.
//
// Whatever the arguments: the exit code is 0, 1 or 2; the project still
// opens; and a file that changed is the command's output (never one of its
// inputs) or the project that translate, set or import edit.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "FuzzChecks.h"
#include "FuzzInputFile.h"
#include "analysis/ProjectCreation.h"
#include "cli/CliCommon.h"
#include "container/io/Stream.h"
#include "project/file/ProjectFile.h"
#include "sampledata/SampleData.h"

using namespace velmora;

namespace {

const std::vector<std::string> kWords = {
    "new", "build-bin", "build-loader", "export", "import", "info", "phrases", "set", "translate", "make-sample",
    "-o", "--output", "--module", "--unit", "--mode", "--range", "--no-hide-abc", "--yes", "--filter", "--codepage",
    "--json", "--on", "--off", "--hide", "--show", "--source", "--help", "--", "p.vmprj", "LOADING.KWI", "APM.BIN",
    "t.txt", "out", "english", "european", "japanese", "all", "final", "no-hidden", "only-edited", "default",
    "0", "1", "3", "-1", "0:FFFF", "APM", "Hello", "", "russian", "0x10", "99999999999", "x=y", "help"};

std::map<std::string, std::vector<uint8_t>> g_fixtures;

void MakeFixtures() {
  sample::UnitRecipe unit;
  unit.strings = sample::EnglishMenuTexts(6, 7);
  unit.codeWordsBefore = 8;
  const auto apm = sample::MakeUnit(unit);
  sample::LoaderRecipe loader;
  loader.makers.push_back({"AISIN-AW", {{"NAV", "NAV", false, {{"APM", apm.bytes}}}}});
  g_fixtures["LOADING.KWI"] = sample::MakeLoader(loader);
  g_fixtures["APM.BIN"] = apm.bytes;
  const std::string text = "0 = Hello\r\n1 = World\r\n";
  g_fixtures["t.txt"].assign(text.begin(), text.end());
  const std::string loaderPath = fuzz::WriteInputFile("LOADING.KWI", g_fixtures["LOADING.KWI"].data(),
                                                      g_fixtures["LOADING.KWI"].size());
  PhraseTable t;
  AnalysisOptions options;
  options.RangeEnd = 0xFFFFFFFE;
  CreateProjectFromLoader(t, loaderPath, -1, 0, -1, options, [](const std::string&) { return true; });
  SaveProject(t, fuzz::ScratchPath("p.vmprj"));
  g_fixtures["p.vmprj"] = ReadWholeFile(fuzz::ScratchPath("p.vmprj"));
}

// Only the fixtures, as they were.
void ResetScratch() {
  namespace fs = std::filesystem;
  for (const auto& e : fs::directory_iterator(fuzz::ScratchDir()))
    if (!g_fixtures.count(e.path().filename().string())) fs::remove_all(e.path());
  for (const auto& [name, bytes] : g_fixtures) fuzz::WriteInputFile(name, bytes.data(), bytes.size());
}

std::vector<uint8_t> Contents(const std::string& name) {
  try {
    return ReadWholeFile(fuzz::ScratchPath(name));
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ::setenv("LC_ALL", "C", 1);
  MakeFixtures();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args(1);
  for (size_t i = 0; i < size && args.size() <= 16; ++i) {
    if (data[i] == 0) args.emplace_back();
    else args.back().push_back(static_cast<char>(data[i]));
  }
  for (auto& a : args) {
    if (a.size() == 1 && static_cast<uint8_t>(a[0]) < 64) a = kWords[static_cast<uint8_t>(a[0]) % kWords.size()];
    if (a.find('/') != std::string::npos || a.find('\\') != std::string::npos || a == "--bench-unit") return 0;
  }

  ResetScratch();
  // The command runs inside the scratch folder; the fuzzer's own files
  // (corpus, crashes) are named relative to where it was started.
  static const int home = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (home < 0 || ::chdir(fuzz::ScratchDir().c_str()) != 0) std::abort();
  std::ostringstream sink;
  auto* out = std::cout.rdbuf(sink.rdbuf());
  auto* err = std::cerr.rdbuf(sink.rdbuf());
  const int code = cli::RunCommandLine(args);
  std::cout.rdbuf(out);
  std::cerr.rdbuf(err);
  if (::fchdir(home) != 0) std::abort();
  fuzz::Check(code == 0 || code == 1 || code == 2);
  if (args[0] == "make-sample") return 0;  // it writes the sample files wherever it is told

  PhraseTable t;
  OpenProject(t, fuzz::ScratchPath("p.vmprj"));  // raises (and so fails) when it was damaged

  // A changed fixture is the command's output, not one of its inputs, or the
  // project an editing command works on.
  std::vector<std::string> outputs, inputs;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if ((a == "-o" || a == "--output") && i + 1 < args.size()) outputs.push_back(args[++i]);
    else if (a.rfind("--output=", 0) == 0) outputs.push_back(a.substr(9));
    else if (a == "--source" && i + 1 < args.size()) inputs.push_back(args[++i]);
    else if (a.rfind("--source=", 0) == 0) inputs.push_back(a.substr(9));
    else inputs.push_back(a);
  }
  const bool edits = args[0] == "translate" || args[0] == "set" || args[0] == "import";
  // These read the project, and through it the loader it was made from.
  const bool readsProject = args[0] == "build-bin" || args[0] == "build-loader" || args[0] == "export";
  auto named = [](const std::vector<std::string>& list, const std::string& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
  };
  for (const auto& [name, bytes] : g_fixtures) {
    if (Contents(name) == bytes) continue;
    const bool isInput = named(inputs, name) || (name == "LOADING.KWI" && readsProject && named(inputs, "p.vmprj"));
    const bool editedProject = edits && name == "p.vmprj" && !inputs.empty() && inputs[0] == name;
    fuzz::Check(editedProject || (named(outputs, name) && !isInput));
  }
  return 0;
}
