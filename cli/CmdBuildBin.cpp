// velmora-cli build-bin: writes the project's translated unit as a .BIN file.
#include <iostream>
#include <string>

#include "cli/BuildCheck.h"
#include "cli/CheckArgs.h"
#include "cli/CliCommon.h"
#include "container/io/OutputGuard.h"
#include "project/build/BinBuilder.h"
#include "project/file/ProjectFile.h"
#include "project/build/TranslationPlan.h"
#include "project/verify/RecordDamage.h"
#include "project/verify/Verify.h"

namespace velmora::cli {
namespace {

const std::string kUsage = std::string(
    "Usage: velmora-cli build-bin PROJECT -o OUT.BIN [--force] [--codepage NAME]\n"
    "                             [--charset FILE] [--max-growth BYTES]\n"
    "\n"
    "Writes the project's unit with every switched-on edited text applied: a text\n"
    "that fits the room of the text it replaces is written in place, a longer one\n"
    "is moved to an area appended to the unit and its pointer redirected. The\n"
    "unit header's size and checksum are written anew and the unit is padded\n"
    "with zero bytes to a multiple of 2048. OUT.BIN is replaced only once it is\n"
    "completely written. The written file is then verified against the project\n"
    "as 'verify' does; when it does not match (a damaged project), the problems\n"
    "go to stderr, OUT.BIN is removed and the command exits with 1. Otherwise it\n"
    "prints how many translations went in place and how many were relocated,\n"
    "the bytes appended and the unit's old and new size.\n"
    "\n"
    "First it runs the checks of 'check'. While they find an error it lists the\n"
    "errors on stderr, writes nothing and exits 1; --force builds anyway and lists\n"
    "what it built over.\n"
    "\n"
    "Options:\n"
    "  -o, --output FILE  the .BIN file to write\n"
    "  --force            build even when the checks find errors\n") + kCheckOptionsUsage +
    "\n"
    "Example:\n"
    "  velmora-cli build-bin apm.vmprj -o APM.BIN\n";

int RunBuildBin(const std::vector<std::string>& args) {
  std::vector<std::string> valueOptions = kCheckValueOptions;
  valueOptions.insert(valueOptions.end(), kOutputOptions.begin(), kOutputOptions.end());
  ArgParser ap(args, valueOptions, {"--force"});
  if (ap.Positionals().size() != 1) throw UsageError("give exactly one PROJECT");
  const std::string output = RequiredOutput(ap, "the .BIN file is missing (-o OUT.BIN)");

  const CheckOptions options = CheckOptionsFrom(ap);
  PhraseTable table;
  OpenProject(table, ap.Positionals()[0]);
  WarnOfHeaderlessImage("build-bin", table);
  RefuseRecordDamage(table);
  RefuseOutputOverInputs(output, {ap.Positionals()[0], table.SourcePath});
  if (!PassBuildGate(table, options, ap.Has("--force"), "build-bin")) return kExitFailure;
  // The window's status texts are not printed: standard output carries the
  // result only.
  const int64_t count = SaveBin(table, output, {});
  if (!CheckBuiltFile("build-bin", output, [&] { return VerifyBin(table, output); })) return kExitFailure;
  std::cout << count << " bytes written to " << output << "\n";
  for (const auto& line : SummaryLines(SummarizeBuild(table))) std::cout << line << "\n";
  return kExitOk;
}

const CommandRegistrar reg({"build-bin", "write the translated unit as a .BIN file", kUsage, RunBuildBin});

}  // namespace
}  // namespace velmora::cli
