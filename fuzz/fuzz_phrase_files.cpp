// Fuzzes the readers of phrase files (text, PO, XLIFF) on a small project.
// A file that is refused must leave the project as it was; a file that is
// read must leave a sound project, whose export in turn reads back without
// a change.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

#include "analysis/Filters.h"
#include "container/io/StreamErrors.h"
#include "project/exchange/PhraseFormat.h"

namespace {

using namespace velmora;

PhraseTable SmallProject() {
  PhraseTable t;
  const char* texts[] = {"Route", "Menu", "Two\nlines", "K\xF6ln", "Tiny"};
  t.UnitImage.assign(128, 0);
  for (size_t i = 0; i < 5; ++i) {
    TPhrase p;
    p.LinkAddress = static_cast<uint32_t>(128 + 4 * i);
    p.StringAddress = static_cast<uint32_t>(t.UnitImage.size());
    p.Length = static_cast<uint16_t>(std::string_view(texts[i]).size());
    t.UnitImage.insert(t.UnitImage.end(), texts[i], texts[i] + p.Length);
    t.UnitImage.push_back(0);
    t.Phrases.push_back(p);
  }
  TPhrase link = t.Phrases[1];
  link.Flags = pfLink;
  link.MasterIndex = 1;
  t.Phrases.push_back(link);
  t.AppendEditedText(1, "Menue");
  t.Phrases[1].Flags = pfOn;
  t.Info.UnitSize = t.Info.SourceSize = static_cast<uint32_t>(t.UnitImage.size());
  return t;
}

bool Sound(const PhraseTable& t) {
  for (const TPhrase& p : t.Phrases) {
    if (p.EditIndex < -1 || (p.EditIndex >= 0 && static_cast<size_t>(p.EditIndex) >= t.EditedTexts.size())) return false;
    if ((p.Flags & pfLink) && p.EditIndex >= 0) return false;
    if ((p.Flags & pfOn) && p.EditIndex < 0) return false;
  }
  for (const std::string& s : t.EditedTexts)
    if (s.size() > kMaxEditedTextLength) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const PhraseFormat* format : PhraseFormats()) {
    PhraseTable table = SmallProject();
    ExchangeOptions options;
    options.Page = CodePage::WestEurope;
    try {
      format->Read(table, bytes, options);
    } catch (const EFormatError&) {
      const PhraseTable fresh = SmallProject();
      if (table.EditedTexts != fresh.EditedTexts) std::abort();  // a refused file changes nothing
      continue;
    } catch (const EConvertError&) {
      continue;  // a text file's index too large: the entries before it stay
    }
    if (!Sound(table)) std::abort();
    if (format->ShortName() == "txt") continue;
    const std::string again = format->Write(table, FilterRows(table, GridFilter::NoFilter), options);
    PhraseTable copy = table;
    if (format->Read(copy, again, options).Changed) std::abort();  // an export reads back as it is
  }
  return 0;
}
