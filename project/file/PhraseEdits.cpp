#include "project/file/PhraseEdits.h"

#include <stdexcept>
#include <string>

namespace velmora {

namespace {

TPhrase* EditablePhrase(PhraseTable& table, size_t index) {
  if (index >= table.Phrases.size()) return nullptr;
  TPhrase& p = table.Phrases[index];
  return (p.Flags & pfLink) ? nullptr : &p;
}

}  // namespace

bool ApplyEditedText(PhraseTable& table, size_t index, std::string_view after) {
  if (index >= table.Phrases.size())
    throw std::out_of_range("Phrase " + std::to_string(index) + " does not exist: the project holds " +
                            std::to_string(table.Phrases.size()) + " records.");
  TPhrase& p = table.Phrases[index];
  if (p.Flags & pfLink)
    throw std::invalid_argument("Record " + std::to_string(index) + " is a link to phrase " +
                                std::to_string(p.MasterIndex) + "; links follow their master and take no text.");

  const std::string before(table.EditedText(p));
  const uint16_t flagsBefore = p.Flags;
  if (after.empty()) {
    const bool hadText = p.EditIndex >= 0;
    p.EditIndex = -1;
    p.Flags = static_cast<uint16_t>(p.Flags & ~pfOn);
    return hadText || p.Flags != flagsBefore;
  }
  table.AppendEditedText(index, std::string(after));
  p.Flags = static_cast<uint16_t>((p.Flags | pfOn) & ~pfHide);
  return before != after || p.Flags != flagsBefore;
}

bool ToggleHide(PhraseTable& table, size_t index) {
  TPhrase* p = EditablePhrase(table, index);
  if (!p || p->EditIndex >= 0) return false;
  p->Flags = static_cast<uint16_t>(p->Flags ^ pfHide);
  return true;
}

bool ToggleOn(PhraseTable& table, size_t index) {
  TPhrase* p = EditablePhrase(table, index);
  if (!p) return false;
  if (!table.HasEditedText(*p) && !(p->Flags & pfOn)) return false;
  p->Flags = static_cast<uint16_t>(p->Flags ^ pfOn);
  return true;
}

}  // namespace velmora
