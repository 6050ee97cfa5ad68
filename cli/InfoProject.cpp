#include "cli/InfoProject.h"

#include <iostream>

#include "project/exchange/FormatList.h"
#include "project/file/ProjectFile.h"
#include "project/text/CodePageChoice.h"
#include "project/text/OneLineText.h"

namespace velmora::cli {

bool IsProjectPath(const std::string& path) { return PathHasExtension(path, {"vmprj"}); }

void PrintUnitAndCounts(const PhraseTable& table, const std::string& source, const PhraseCounts& counts) {
  // Names come from the file: control bytes must not reach the terminal.
  std::cout << "Unit:      " << OneLineText(table.UnitTitle()) << "\n"
            << "Source:    " << source << "\n"
            << "Size:      " << table.ImageLength() << " bytes\n"
            << "Phrases:   " << counts.Phrases << "\n"
            << "Links:     " << counts.Links << "\n"
            << "Hidden:    " << counts.Hidden << "\n";
}

void PrintProject(const std::string& path) {
  PhraseTable table;
  OpenProject(table, path);
  const PhraseCounts counts = CountPhrases(table);
  const CodePage page = ProjectCodePage(table);
  std::cout << "Project:   " << path << "\n";
  PrintUnitAndCounts(table, table.SourcePath.empty() ? "a .BIN file" : table.SourcePath, counts);
  std::cout << "Edited:    " << counts.Edited << " (" << counts.On << " switched on)\n"
            << "Code page: " << CodePageCaption(page) << " (" << IconvCharset(page)
            << (page == CodePage::Japanese ? "): its phrases are Japanese texts\n"
                                           : ", the locale's): its phrases are not Japanese texts\n");
}

}  // namespace velmora::cli
