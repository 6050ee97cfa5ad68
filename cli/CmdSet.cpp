// velmora-cli set: the grid's HIDE and ON check boxes from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliCommon.h"
#include "project/file/PhraseEdits.h"
#include "project/file/ProjectEdit.h"

namespace velmora::cli {
namespace {

const char* kUsage =
    "Usage: velmora-cli set PROJECT (--on | --off | --hide | --show) INDEX...\n"
    "\n"
    "Sets the ON or HIDE box of the phrases INDEX... by the grid's rules and saves\n"
    "the project:\n"
    "  --on, --off     switch a phrase's edited text on or off for output; only a\n"
    "                  phrase with an edited text can be switched\n"
    "  --hide, --show  hide or show a phrase; only a phrase without an edited text\n"
    "                  can be hidden or shown\n"
    "A phrase already in the asked state is left as it is. Link records take no\n"
    "changes. Every change that is refused is reported; the others are applied\n"
    "and saved, and the command then ends with exit code 1.\n"
    "\n"
    "Example:\n"
    "  velmora-cli set apm.vmprj --hide 0 1 2\n";

enum class Change { On, Off, Hide, Show };

int RunSet(const std::vector<std::string>& args) {
  ArgParser ap(args, {}, {"--on", "--off", "--hide", "--show"});
  std::vector<Change> changes;
  if (ap.Has("--on")) changes.push_back(Change::On);
  if (ap.Has("--off")) changes.push_back(Change::Off);
  if (ap.Has("--hide")) changes.push_back(Change::Hide);
  if (ap.Has("--show")) changes.push_back(Change::Show);
  if (changes.size() != 1) throw UsageError("give exactly one of --on, --off, --hide, --show");
  const Change change = changes[0];
  const auto& pos = ap.Positionals();
  if (pos.size() < 2) throw UsageError("give PROJECT and at least one INDEX");
  std::vector<long long> indices;
  for (size_t i = 1; i < pos.size(); ++i) indices.push_back(ParseInteger(pos[i], "INDEX"));

  int applied = 0, refused = 0;
  EditProjectFile(pos[0], [&](PhraseTable& table) {
    for (const long long index : indices) {
      auto refuse = [&](const std::string& why) {
        std::cerr << "velmora-cli set: phrase " << index << ": " << why << "\n";
        ++refused;
      };
      if (index < 0 || static_cast<unsigned long long>(index) >= table.Phrases.size()) {
        refuse("no such phrase (the project holds " + std::to_string(table.Phrases.size()) + " records)");
        continue;
      }
      const auto i = static_cast<size_t>(index);
      const TPhrase& p = table.Phrases[i];
      if (p.Flags & pfLink) {
        refuse("a link record; it follows phrase " + std::to_string(p.MasterIndex));
        continue;
      }
      const bool onChange = change == Change::On || change == Change::Off;
      const uint16_t bit = onChange ? pfOn : pfHide;
      const bool wanted = change == Change::On || change == Change::Hide;
      if (((p.Flags & bit) != 0) == wanted) continue;  // already so
      if (onChange ? ToggleOn(table, i) : ToggleHide(table, i)) {
        ++applied;
      } else if (onChange) {
        refuse("has no edited text; only a phrase with one can be switched on");
      } else {
        refuse(std::string("has an edited text; only a phrase without one can be ") + (wanted ? "hidden" : "shown"));
      }
    }
    return applied > 0;
  });
  std::cout << applied << " phrase(s) changed";
  if (refused > 0) std::cout << ", " << refused << " refused";
  std::cout << ".\n";
  return refused > 0 ? kExitFailure : kExitOk;
}

const CommandRegistrar reg({"set", "set the ON or HIDE box of phrases", kUsage, RunSet});

}  // namespace
}  // namespace velmora::cli
