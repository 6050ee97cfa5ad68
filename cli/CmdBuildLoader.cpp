// velmora-cli build-loader: writes a new LOADING.KWI that carries the
// project's translated unit, built from the source loader as a template.
#include <iostream>
#include <string>
#include <vector>

#include "cli/BuildCheck.h"
#include "cli/CliCommon.h"
#include "container/io/OutputGuard.h"
#include "container/kiwi/LoaderRebuild.h"
#include "project/build/LoaderBuild.h"
#include "project/build/SourceLoader.h"
#include "project/file/ProjectFile.h"
#include "project/build/TranslationPlan.h"
#include "project/verify/RecordDamage.h"
#include "project/verify/Verify.h"

namespace velmora::cli {
namespace {

const char* kUsage =
    "Usage: velmora-cli build-loader PROJECT -o OUT [--source LOADING.KWI]\n"
    "\n"
    "Writes a new loader OUT that holds one maker entry with one module: the\n"
    "module of the project's unit, with all of its units. The translated unit is\n"
    "built as 'build-bin' builds it; every other unit is copied from the source\n"
    "loader, which is only read.\n"
    "\n"
    "The source is the LOADING.KWI the project was made from (its own source\n"
    "path) when that still matches the project (same maker entry, module and\n"
    "unit, unit name, offset, tag and checksum); otherwise the file given with\n"
    "--source, when it matches. When neither does, the command reports\n"
    "\"Unsuitable file !!!\" and writes nothing. OUT must not be the source.\n"
    "The written loader is verified against the project and the source as\n"
    "'verify' does; when it does not match, the problems go to stderr, OUT is\n"
    "removed and the command exits with 1. Otherwise it prints the translated\n"
    "unit's summary as 'build-bin' does.\n"
    "\n"
    "Options:\n"
    "  -o, --output FILE       the loader to write\n"
    "  --source LOADING.KWI    the source loader to use when the project's own\n"
    "                          source path does not serve\n";

int RunBuildLoader(const std::vector<std::string>& args) {
  ArgParser ap(args, {"-o", "--output", "--source"}, {});
  if (ap.Positionals().size() != 1) throw UsageError("give exactly one PROJECT");
  auto output = ap.Value("-o");
  if (!output) output = ap.Value("--output");
  if (!output || output->empty()) throw UsageError("the loader to write is missing (-o OUT)");

  PhraseTable table;
  OpenProject(table, ap.Positionals()[0]);
  WarnOfHeaderlessImage("build-loader", table);
  RefuseRecordDamage(table);
  RefuseOutputOverInputs(*output, {ap.Positionals()[0], table.SourcePath, ap.Value("--source").value_or("")});

  const SourceSearch found = FindSourceLoader(table, ap.Value("--source").value_or(""));
  const std::string& source = found.Path;
  if (source.empty()) {
    if (table.SourcePath.empty() && !ap.Value("--source"))
      std::cerr << "velmora-cli build-loader: the project has no source loader (it was made from a .BIN "
                   "file); give one with --source\n";
    for (const auto& f : found.Rejected) std::cerr << "velmora-cli build-loader: " << f << "\n";
    std::cerr << "Unsuitable file !!!\n";
    return kExitFailure;
  }

  const int64_t size = RebuildLoader(table, source, *output, [](std::string_view s) {
    if (s == kCreatingLoaderText) std::cout << s << std::endl;
  });
  if (!CheckBuiltFile("build-loader", *output, [&] { return VerifyLoader(table, *output, source); }))
    return kExitFailure;
  std::cout << kLoaderCompleteText << "\n"
            << size << " bytes written to " << *output << " (source " << source << ")\n";
  for (const auto& line : SummaryLines(SummarizeBuild(table))) std::cout << line << "\n";
  return kExitOk;
}

const CommandRegistrar reg({"build-loader", "write a new LOADING.KWI with the translated unit", kUsage,
                            RunBuildLoader});

}  // namespace
}  // namespace velmora::cli
