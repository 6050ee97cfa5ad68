// The translations of projects gathered into a translation memory: every
// switched-on translation (and with `All` every other one, marked for
// review), one unit per source text, translation and code page with every
// place that gives it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "analysis/PhraseTable.h"
#include "project/memory/TmxFile.h"
#include "project/text/CodePages.h"

namespace velmora {

struct MemorySource {
  const PhraseTable* Table = nullptr;
  CodePage Page = CodePage::Default;  // of its texts; Default is the locale's
};

struct MemoryExportOptions {
  std::string SourceLanguage;  // BCP 47; empty: by the first project's code page
  std::string Language;        // of the translations, BCP 47
  bool All = false;            // also translations that are switched off
};

struct MemoryExport {
  TmxHeader Header;
  std::vector<TmxUnit> Units;
  size_t Translations = 0;  // phrases whose translation went in
};

MemoryExport CollectMemory(const std::vector<MemorySource>& sources, const MemoryExportOptions& options);

}  // namespace velmora
