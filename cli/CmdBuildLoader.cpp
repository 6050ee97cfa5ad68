// velmora-cli build-loader: writes a new LOADING.KWI that carries the
// translated units of one or more projects of one module, built from the
// source loader as a template.
#include <iostream>
#include <string>
#include <vector>

#include "cli/BuildCheck.h"
#include "cli/CheckArgs.h"
#include "cli/CliCommon.h"
#include "container/io/OutputGuard.h"
#include "container/kiwi/LoaderRebuild.h"
#include "project/build/LoaderBuild.h"
#include "project/build/ModuleGroup.h"
#include "project/build/SourceLoader.h"
#include "project/file/ProjectFile.h"
#include "project/text/OneLineText.h"
#include "project/build/TranslationPlan.h"
#include "project/verify/RecordDamage.h"
#include "project/verify/Verify.h"

namespace velmora::cli {
namespace {

const std::string kUsage = std::string(
    "Usage: velmora-cli build-loader PROJECT... -o OUT [--source LOADING.KWI] [--force]\n"
    "                                [--codepage NAME] [--charset FILE]\n"
    "                                [--max-growth BYTES]\n"
    "\n"
    "Writes a new loader OUT that holds one maker entry with one module: the\n"
    "module of the projects' units, with all of its units. Each project's unit\n"
    "is built as 'build-bin' builds it; every other unit is copied from the\n"
    "source loader, which is only read.\n"
    "\n"
    "Several projects go together only when they translate different units of\n"
    "the same module of the same source loader; a project made from a .BIN\n"
    "file cannot go into a loader. A list that does not fit is refused with\n"
    "the project and the reason, and nothing is written.\n"
    "\n"
    "The source is the LOADING.KWI the projects were made from (their own\n"
    "source paths, in the order given) when it still matches every project\n"
    "(same maker entry, module and unit, unit name, offset, tag and checksum);\n"
    "otherwise the file given with --source, when it matches. When none does,\n"
    "the command reports \"Unsuitable file !!!\" and writes nothing. OUT must\n"
    "not be the source or one of the projects.\n"
    "The written loader is verified against the projects and the source as\n"
    "'verify' does; when it does not match, the problems go to stderr, OUT is\n"
    "removed and the command exits with 1. Otherwise it prints each translated\n"
    "unit's summary as 'build-bin' does.\n"
    "\n"
    "First it runs the checks of 'check' on every project. While they find an\n"
    "error it lists the errors on stderr, writes nothing and exits 1; --force\n"
    "builds anyway and lists what it built over.\n"
    "\n"
    "Options:\n"
    "  -o, --output FILE       the loader to write\n"
    "  --source LOADING.KWI    the source loader to use when the projects' own\n"
    "                          source paths do not serve\n"
    "  --force                 build even when the checks find errors\n") + kCheckOptionsUsage +
    "\n"
    "Example:\n"
    "  velmora-cli build-loader apm.vmprj -o LOADING.KWI\n";

int RunBuildLoader(const std::vector<std::string>& args) {
  std::vector<std::string> valueOptions = kCheckValueOptions;
  valueOptions.insert(valueOptions.end(), kOutputOptions.begin(), kOutputOptions.end());
  valueOptions.insert(valueOptions.end(), {"--source"});
  ArgParser ap(args, valueOptions, {"--force"});
  const std::vector<std::string>& projectPaths = ap.Positionals();
  if (projectPaths.empty()) throw UsageError("give at least one PROJECT");
  const std::string output = RequiredOutput(ap, "the loader to write is missing (-o OUT)");
  const std::string given = ap.Value("--source").value_or("");

  const CheckOptions options = CheckOptionsFrom(ap);
  std::vector<PhraseTable> tables(projectPaths.size());
  ProjectList projects;
  for (size_t i = 0; i < projectPaths.size(); ++i) {
    OpenProject(tables[i], projectPaths[i]);
    WarnOfHeaderlessImage("build-loader", tables[i]);
    RefuseRecordDamage(tables[i]);
    projects.push_back(&tables[i]);
  }
  std::vector<std::string> inputs = projectPaths;
  for (const PhraseTable& t : tables) inputs.push_back(t.SourcePath);
  inputs.push_back(given);
  RefuseOutputOverInputs(output, inputs);

  if (projects.size() > 1)
    if (const auto problem = CheckModuleGroup(projects)) {
      std::cerr << "velmora-cli build-loader: " << projectPaths[problem->Index] << " cannot go into the loader: "
                << problem->Reason << "\n";
      return kExitFailure;
    }

  const SourceSearch found = FindGroupSource(projects, given);
  const std::string& source = found.Path;
  if (source.empty()) {
    if (projects.size() == 1 && tables[0].SourcePath.empty() && given.empty())
      std::cerr << "velmora-cli build-loader: the project has no source loader (it was made from a .BIN "
                   "file); give one with --source\n";
    for (const auto& f : found.Rejected) std::cerr << "velmora-cli build-loader: " << f << "\n";
    std::cerr << "Unsuitable file !!!\n";
    return kExitFailure;
  }

  for (const PhraseTable& t : tables)
    if (!PassBuildGate(t, options, ap.Has("--force"), "build-loader")) return kExitFailure;
  // The window's status texts are not printed: standard output carries the
  // result only.
  const int64_t size = RebuildLoader(projects, source, output, {});
  if (!CheckBuiltFile("build-loader", output, [&] { return VerifyLoader(projects, output, source); }))
    return kExitFailure;
  std::cout << size << " bytes written to " << output << " (source " << source << ")\n";
  for (size_t i = 0; i < tables.size(); ++i) {
    if (tables.size() > 1)
      std::cout << "Unit " << tables[i].Info.UnitIndex << " (" << OneLineText(tables[i].UnitTitle()) << ") from "
                << projectPaths[i] << ":\n";
    for (const auto& line : SummaryLines(SummarizeBuild(tables[i])))
      std::cout << (tables.size() > 1 ? "  " : "") << line << "\n";
  }
  return kExitOk;
}

const CommandRegistrar reg({"build-loader", "write a new LOADING.KWI with the translated units", kUsage,
                            RunBuildLoader});

}  // namespace
}  // namespace velmora::cli
