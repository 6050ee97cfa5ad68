#include "project/carry/CarryWarnings.h"

#include "project/text/CodePageChoice.h"
#include "project/text/CodePages.h"
#include "project/text/OneLineText.h"

namespace velmora {

std::vector<std::string> CarryWarnings(const PhraseTable& oldProject, std::string_view oldName,
                                       const PhraseTable& newProject, std::string_view newName) {
  std::vector<std::string> lines;
  if (oldProject.UnitName != newProject.UnitName || oldProject.UnitTag != newProject.UnitTag)
    // Tags come from the unit's header: control bytes in them are shown
    // escaped, never sent to a terminal as they are.
    lines.push_back(std::string(oldName) + " is unit " + OneLineText(oldProject.UnitTitle()) + ", " +
                    std::string(newName) + " is unit " + OneLineText(newProject.UnitTitle()));
  // The code page each project's texts were found in: Japanese texts are
  // Shift JIS, all others the 8-bit code page of the locale.
  const CodePage oldPage = ProjectCodePage(oldProject), newPage = ProjectCodePage(newProject);
  if (oldPage != newPage)
    lines.push_back(std::string(oldName) + " has code page " + CodePageCliName(oldPage) + ", " +
                    std::string(newName) + " has code page " + CodePageCliName(newPage));
  return lines;
}

}  // namespace velmora
