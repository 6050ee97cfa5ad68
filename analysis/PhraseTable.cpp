#include "analysis/PhraseTable.h"

#include <cstring>
#include <stdexcept>

namespace velmora {

void PhraseTable::Reset() {
  Phrases.clear();
  Phrases.shrink_to_fit();
  EditedTexts.clear();
  UnitImage.clear();
  UnitImage.shrink_to_fit();
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
  if (EditedTexts.size() > 32767) throw std::length_error("Too many edited texts: a project holds at most 32768.");
  EditedTexts.push_back(std::move(text));
  const auto idx = static_cast<int16_t>(EditedTexts.size() - 1);
  Phrases.at(phraseIndex).EditIndex = idx;
  return idx;
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
