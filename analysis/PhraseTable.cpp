#include "analysis/PhraseTable.h"

#include <cstring>
#include <stdexcept>

#include "container/io/StreamErrors.h"

namespace velmora {

void PhraseTable::Reset() {
  Phrases.clear();
  Phrases.shrink_to_fit();
  EditedTexts.clear();
  UnitImage.clear();
}

std::string_view PhraseTable::OriginText(const TPhrase& p) const {
  if (p.StringAddress >= UnitImage.size()) return {};
  const size_t avail = UnitImage.size() - p.StringAddress;
  const size_t len = std::min<size_t>(p.Length, avail);
  const char* s = reinterpret_cast<const char*>(UnitImage.data()) + p.StringAddress;
  const void* zero = std::memchr(s, 0, len);
  return {s, zero ? static_cast<size_t>(static_cast<const char*>(zero) - s) : len};
}

std::string_view PhraseTable::EditedText(const TPhrase& p) const {
  if (!HasEditedText(p)) return {};
  return EditedTexts[static_cast<size_t>(p.EditIndex)];
}

int16_t PhraseTable::AppendEditedText(size_t phraseIndex, std::string text) {
  TPhrase& phrase = Phrases.at(phraseIndex);
  const std::string index = std::to_string(phraseIndex);
  if (text.size() > kMaxEditedTextLength)
    throw ERefusal("The edited text of phrase " + index + " is " + std::to_string(text.size()) +
                            " bytes long; a project keeps at most 65535 bytes per text.");
  // Every edit appends a text, so a long-lived project runs out of
  // positions; the texts that earlier edits replaced make room again.
  if (EditedTexts.size() >= kMaxEditedTexts && DropUnusedEditedTexts() == 0)
    throw ERefusal("Phrase " + index +
                            " cannot take another edited text: all 32768 edited texts of the project are in use.");
  EditedTexts.push_back(std::move(text));
  const auto idx = static_cast<int16_t>(EditedTexts.size() - 1);
  phrase.EditIndex = idx;
  return idx;
}

size_t PhraseTable::DropUnusedEditedTexts() {
  std::vector<int32_t> newIndex(EditedTexts.size(), -1);
  for (const TPhrase& p : Phrases)
    if (HasEditedText(p)) newIndex[static_cast<size_t>(p.EditIndex)] = 0;
  size_t kept = 0;
  for (size_t i = 0; i < EditedTexts.size(); ++i) {
    if (newIndex[i] < 0) continue;
    newIndex[i] = static_cast<int32_t>(kept);
    if (kept != i) EditedTexts[kept] = std::move(EditedTexts[i]);
    ++kept;
  }
  const size_t dropped = EditedTexts.size() - kept;
  EditedTexts.resize(kept);
  for (TPhrase& p : Phrases)
    if (p.EditIndex >= 0 && static_cast<size_t>(p.EditIndex) < newIndex.size())
      p.EditIndex = static_cast<int16_t>(newIndex[static_cast<size_t>(p.EditIndex)]);
  return dropped;
}

void PhraseTable::StoreNamesInInfo() {
  SetField(Info.UnitTag, UnitTag);
  SetField(Info.UnitName, UnitName);
}

void PhraseTable::LoadNamesFromInfo() {
  UnitTag = FieldText(Info.UnitTag);
  UnitName = FieldText(Info.UnitName);
}

std::string FieldText(const char (&field)[8]) {
  const void* zero = std::memchr(field, 0, 8);
  return std::string(field, zero ? static_cast<size_t>(static_cast<const char*>(zero) - field) : 8);
}

void SetField(char (&field)[8], std::string_view text) {
  std::memset(field, 0, 8);
  std::memcpy(field, text.data(), std::min<size_t>(8, text.size()));
}

}  // namespace velmora
