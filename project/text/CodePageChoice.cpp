#include "project/text/CodePageChoice.h"

#include <limits>
#include <string>

#include "analysis/Extraction.h"

namespace velmora {

bool HoldsJapaneseTexts(const PhraseTable& table) {
  const size_t size = table.UnitImage.size();
  if (size > std::numeric_limits<uint32_t>::max()) return false;
  const auto length = static_cast<uint32_t>(size);
  const uint8_t* image = table.UnitImage.data();
  for (const TPhrase& p : table.Phrases) {
    if (p.Flags & pfLink) continue;
    // The rules of one script give every string it accepts its full length,
    // so a string that the Japanese rules measure as found and the others
    // do not was found by the Japanese rules.
    if (MeasurePhrase(image, length, p.StringAddress, TextMode::Japanese) != p.Length) continue;
    if (MeasurePhrase(image, length, p.StringAddress, TextMode::English) == p.Length) continue;
    if (MeasurePhrase(image, length, p.StringAddress, TextMode::European) == p.Length) continue;
    return true;
  }
  return false;
}

CodePage ProjectCodePage(const PhraseTable& table) {
  return HoldsJapaneseTexts(table) ? CodePage::Japanese : CodePage::Default;
}

CodePage ConcreteCodePage(CodePage cp) {
  if (cp != CodePage::Default) return cp;
  const std::string charset = DefaultLocaleCharset();
  for (int i = 1; i < kCodePageCount; ++i)
    if (IconvCharset(static_cast<CodePage>(i)) == charset) return static_cast<CodePage>(i);
  return CodePage::WestEurope;
}

std::optional<CodePage> CodePageFromRecord(std::string_view name) {
  std::string upper(name);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  for (int i = 1; i < kCodePageCount; ++i)
    if (IconvCharset(static_cast<CodePage>(i)) == upper) return static_cast<CodePage>(i);
  return CodePageFromCliName(name);
}

}  // namespace velmora
