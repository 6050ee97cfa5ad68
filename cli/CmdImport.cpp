// velmora-cli import: attaches the texts of a phrase text file to the phrases
// their indices name, as edited texts, and saves the project.
#include <iostream>
#include <string>

#include "cli/CliCommon.h"
#include "container/OutputGuard.h"
#include "container/Stream.h"
#include "project/ProjectEdit.h"
#include "project/TextExchange.h"

namespace velmora::cli {
namespace {

const char* kUsage =
    "Usage: velmora-cli import PROJECT FILE\n"
    "\n"
    "Reads the phrase text file FILE (as written by 'export', or any 8-bit text\n"
    "of the same form) and gives each phrase that an entry names the entry's\n"
    "text as a new edited text. Entry lines are \"INDEX = TEXT\"; lines without\n"
    "\"=\" continue the text before them. ON and HIDE are not changed: switch\n"
    "imported texts on with 'set --on'. Prints how many entries were attached\n"
    "and saves the project. An index too large for a 32-bit number stops the\n"
    "import with an error, and the project is then not saved.\n";

int RunImport(const std::vector<std::string>& args) {
  ArgParser ap(args, {}, {});
  if (ap.Positionals().size() != 2) throw UsageError("give PROJECT and FILE");
  const std::string& projectPath = ap.Positionals()[0];
  // The project is the one file written; the text file is only read.
  RefuseOutputOverInputs(projectPath, {ap.Positionals()[1]});
  int count = 0;
  EditProjectFile(projectPath, [&](PhraseTable& table) {
    const std::vector<uint8_t> bytes = ReadWholeFile(ap.Positionals()[1]);
    count = ImportPhrases(table, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return count > 0;
  });
  std::cout << ImportMessage(count) << "\n";
  return kExitOk;
}

const CommandRegistrar reg({"import", "attach the texts of a text file as edited texts", kUsage, RunImport});

}  // namespace
}  // namespace velmora::cli
