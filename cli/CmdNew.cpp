// velmora-cli new: creates a project from a unit of a LOADING.KWI or from a
// .BIN file and saves it as a project file.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>

#include "analysis/ProjectCreation.h"
#include "analysis/SourceKind.h"
#include "cli/CliCommon.h"
#include "cli/InfoProject.h"
#include "project/text/CodePages.h"
#include "project/text/HexText.h"
#include "project/text/OneLineText.h"
#include "analysis/UnitHeader.h"
#include "container/kiwi/Loading.h"
#include "container/io/OutputGuard.h"
#include "container/io/Stream.h"
#include "project/file/ProjectEdit.h"
#include "project/file/ProjectFile.h"
#include "project/file/ProjectLock.h"

namespace velmora::cli {
namespace {

const char* kUsage =
    "Usage: velmora-cli new SOURCE -o PROJECT.vmprj [OPTIONS]\n"
    "\n"
    "Creates a translation project from one loading unit and saves it.\n"
    "SOURCE is a LOADING.KWI (the units of its \"AISIN-AW\" entry) or a .BIN file.\n"
    "\n"
    "Options:\n"
    "  -o, --output FILE    the project file to write\n"
    "  --module NAME|INDEX  the module of a LOADING.KWI (default: the first)\n"
    "  --unit NAME|INDEX    the unit of that module (default: the last unit named\n"
    "                       \"APM\", else the first)\n"
    "  --mode MODE          english (default), european or japanese\n"
    "  --no-hide-abc        do not hide strings that begin with two capital letters\n"
    "  --range START:END    accept only strings at unit offsets START..END\n"
    "                       (hexadecimal, at most FFFFFFFE)\n"
    "  --yes                answer Yes to the questions about a foreign maker text\n"
    "                       or a wrong checksum (without it they are answered No\n"
    "                       and the command fails)\n"
    "\n"
    "Example:\n"
    "  velmora-cli new demo/LOADING.KWI -o apm.vmprj --unit APM --yes\n";

// A list entry chosen by its exact name or, failing that, by its position.
int ChooseEntry(const std::vector<std::string>& names, const std::string& choice, const std::string& what) {
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == choice) return static_cast<int>(i);
  if (!choice.empty() && std::all_of(choice.begin(), choice.end(), [](unsigned char c) { return std::isdigit(c); })) {
    const long long i = ParseInteger(choice, what);
    if (i >= 0 && static_cast<size_t>(i) < names.size()) return static_cast<int>(i);
  }
  std::string list;
  for (size_t i = 0; i < names.size(); ++i) list += (i ? ", " : "") + std::to_string(i) + " \"" + OneLineText(names[i]) + "\"";
  throw UsageError("no " + what + " '" + choice + "'; there are: " + (list.empty() ? "none" : list));
}

TextMode ParseMode(const std::string& text) {
  if (text == "english") return TextMode::English;
  if (text == "european") return TextMode::European;
  if (text == "japanese") return TextMode::Japanese;
  throw UsageError("--mode takes english, european or japanese, not '" + text + "'");
}

int RunNew(const std::vector<std::string>& args) {
  ArgParser ap(args, {"-o", "--output", "--module", "--unit", "--mode", "--range"}, {"--no-hide-abc", "--yes"});
  if (ap.Positionals().size() != 1) throw UsageError("give exactly one SOURCE");
  const std::string source = ap.Positionals()[0];
  const std::string output = RequiredOutput(ap, "the project file is missing (-o PROJECT.vmprj)");
  RefuseOutputOverInputs(output, {source});

  AnalysisOptions options;
  if (auto m = ap.Value("--mode")) options.Mode = ParseMode(*m);
  options.HideAbc = !ap.Has("--no-hide-abc");
  std::optional<std::pair<std::string, std::string>> range;
  if (auto r = ap.Value("--range")) {
    const auto colon = r->find(':');
    if (colon == std::string::npos) throw UsageError("--range takes START:END");
    range.emplace(r->substr(0, colon), r->substr(colon + 1));
    if (!HexFieldValue(range->first) || !HexFieldValue(range->second))
      throw UsageError("--range takes two hexadecimal numbers of at most FFFFFFFE, not '" + *r + "'");
  }
  auto applyRange = [&](uint32_t selectedUnitSize) {
    options.RangeStart = range ? *HexFieldValue(range->first) : 0;
    options.RangeEnd = range ? *HexFieldValue(range->second) : selectedUnitSize;
  };

  const bool yes = ap.Has("--yes");
  std::string declined;
  AskYesNo ask = [&](const std::string& question) {
    if (yes) {
      std::cerr << question << " Yes\n";
      return true;
    }
    declined = question;
    return false;
  };

  PhraseTable table;
  CreationResult result;
  std::string origin;
  if (DetectSourceKind(source) == SourceKind::Loader) {
    // The project keeps the loader's full path, so it can be rebuilt from
    // anywhere later.
    const TLN_Loading loading(std::filesystem::absolute(source).lexically_normal().string());
    const int maker = FirstAisinMaker(loading);
    const auto modules = ModuleNames(loading, maker);
    const int module = ap.Value("--module") ? ChooseEntry(modules, *ap.Value("--module"), "module") : 0;
    const auto units = UnitNames(loading, maker, module);
    if (units.empty()) throw EProjectCreationError("The module \"" + modules[static_cast<size_t>(module)] + "\" has no units.");
    const int unit = ap.Value("--unit") ? ChooseEntry(units, *ap.Value("--unit"), "unit") : PreselectUnit(units);
    const TLN_Unit_Info& info =
        loading.Frame.Makers[static_cast<size_t>(maker)].Modules[static_cast<size_t>(module)].Units[static_cast<size_t>(unit)];
    applyRange(info.Size);
    result = CreateProjectFromLoader(table, loading, maker, module, unit, options, ask);
    origin = source + ", module " + std::to_string(module) + " \"" + OneLineText(modules[static_cast<size_t>(module)]) +
             "\", unit " + std::to_string(unit) + " \"" + OneLineText(units[static_cast<size_t>(unit)]) + "\"";
  } else {
    if (ap.Has("--module") || ap.Has("--unit")) throw UsageError("--module and --unit apply to a LOADING.KWI only");
    TFileStream probe(source, TFileStream::Mode::OpenRead);
    const int64_t size = probe.Size();
    if (size < kUnitHeaderSize)
      std::cerr << "velmora-cli new: warning: " << source << " holds " << size << " bytes, fewer than the "
                << kUnitHeaderSize << " of a unit header: it is hardly a loading unit\n";
    applyRange(static_cast<uint32_t>(std::min<int64_t>(size, 0xFFFFFFFF)));
    result = CreateProjectFromBin(table, source, options, ask);
    origin = source;
  }

  if (!result.Analysis.Completed) {
    std::cerr << "velmora-cli new: " << declined << "\n"
              << "Answered No, no project was written (run with --yes to answer Yes).\n";
    return kExitFailure;
  }

  // Under the project's edit lock: a command editing an earlier project of
  // that name finishes first, and does not overwrite the new one. A save
  // that fails leaves no lock file where it found none.
  const std::string lockPath = ProjectEditLockPath(output);
  const bool hadLock = std::filesystem::exists(std::filesystem::symlink_status(lockPath));
  try {
    SaveProjectLocked(table, output);
  } catch (...) {
    std::error_code ignored;
    if (!hadLock && !FileExists(output)) std::filesystem::remove(lockPath, ignored);
    throw;
  }

  PrintUnitAndCounts(table, origin, CountPhrases(table));
  std::cout << "Code page: " << CodePageCaption(DisplayCodePageFor(result.Analysis.Mode)) << "\n"
            << "Project:   " << output << "\n";
  if (result.Analysis.StoppedAtRecordLimit) std::cerr << "velmora-cli new: extraction " << kRecordLimitText << "\n";
  return kExitOk;
}

CommandRegistrar reg({"new", "create a project from a LOADING.KWI unit or a .BIN file", kUsage, RunNew});

}  // namespace
}  // namespace velmora::cli
