#include "cli/InfoProject.h"

#include <iostream>

#include "project/exchange/FormatList.h"
#include "project/file/ProjectFile.h"
#include "project/text/CodePageChoice.h"
#include "project/text/OneLineText.h"

namespace velmora::cli {

bool IsProjectPath(const std::string& path) { return PathHasExtension(path, {"vmprj"}); }

void PrintProject(const std::string& path) {
  PhraseTable table;
  OpenProject(table, path);
  size_t phrases = 0, links = 0, hidden = 0, edited = 0, on = 0;
  for (const TPhrase& p : table.Phrases) {
    if (p.Flags & pfLink) {
      ++links;
      continue;
    }
    ++phrases;
    if (p.Flags & pfHide) ++hidden;
    if (table.HasEditedText(p)) ++edited;
    if (p.Flags & pfOn) ++on;
  }
  const CodePage page = ProjectCodePage(table);
  std::cout << "Project:   " << path << "\n"
            << "Unit:      " << OneLineText(table.UnitTitle()) << "\n"
            << "Source:    " << (table.SourcePath.empty() ? "a .BIN file" : table.SourcePath) << "\n"
            << "Size:      " << table.ImageLength() << " bytes\n"
            << "Phrases:   " << phrases << "\n"
            << "Links:     " << links << "\n"
            << "Hidden:    " << hidden << "\n"
            << "Edited:    " << edited << " (" << on << " switched on)\n"
            << "Code page: " << CodePageCaption(page) << " (" << IconvCharset(page)
            << (page == CodePage::Japanese ? "): its phrases are Japanese texts\n"
                                           : ", the locale's): its phrases are not Japanese texts\n");
}

}  // namespace velmora::cli
