// velmora-cli translate: gives one phrase of a project an edited text (what
// the translation editor's OK does) and saves the project.
#include <iostream>
#include <stdexcept>
#include <string>

#include "cli/CliCommon.h"
#include "project/text/CodePages.h"
#include "project/file/PhraseEdits.h"
#include "project/file/ProjectEdit.h"

namespace velmora::cli {
namespace {

const char* kUsage =
    "Usage: velmora-cli translate PROJECT INDEX TEXT [--codepage NAME]\n"
    "\n"
    "Gives phrase INDEX of the project the edited text TEXT, switches it on for\n"
    "output and shows it (clears HIDE), as the translation editor's OK does; the\n"
    "project is then saved. An empty TEXT (\"\") takes the phrase's edited text\n"
    "away and switches it off. A TEXT that begins with '-' follows '--'.\n"
    "\n"
    "TEXT is UTF-8; it is stored in the unit's 8-bit code page NAME (default,\n"
    "west-europe, east-europe, greek, turkish, baltic, arabic, russian, japanese;\n"
    "\"default\" is the 8-bit code page of the user's locale). A character the\n"
    "code page cannot hold is an error and nothing is changed. Line breaks are\n"
    "stored as given; the BIN builder drops carriage returns.\n"
    "\n"
    "Options:\n"
    "  --codepage NAME   the code page of the unit's texts (default: default)\n"
    "\n"
    "Example:\n"
    "  velmora-cli translate apm.vmprj 3 \"Ecran noir\"\n";

int RunTranslate(const std::vector<std::string>& args) {
  ArgParser ap(args, {"--codepage"}, {});
  const auto& pos = ap.Positionals();
  if (pos.size() != 3) throw UsageError("give PROJECT, INDEX and TEXT");
  const std::string& projectPath = pos[0];
  const long long index = ParseInteger(pos[1], "INDEX");
  const CodePage codePage = CodePageOption(ap).value_or(CodePage::Default);
  // Converted before anything is read or written: an unrepresentable
  // character leaves the project as it was.
  const std::string text = FromUtf8(pos[2], codePage);

  const bool changed = EditProjectFile(projectPath, [&](PhraseTable& table) {
    if (index < 0 || static_cast<unsigned long long>(index) >= table.Phrases.size())
      throw std::out_of_range("Phrase " + pos[1] + " does not exist: the project holds " +
                              std::to_string(table.Phrases.size()) + " records.");
    return ApplyEditedText(table, static_cast<size_t>(index), text);
  });

  if (!changed)
    std::cout << "Phrase " << index << ": no change.\n";
  else if (text.empty())
    std::cout << "Phrase " << index << ": edited text taken away, switched off.\n";
  else
    std::cout << "Phrase " << index << ": edited text stored, switched on.\n";
  return kExitOk;
}

const CommandRegistrar reg({"translate", "give a phrase an edited text (or take it away)", kUsage, RunTranslate});

}  // namespace
}  // namespace velmora::cli
