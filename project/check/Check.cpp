#include "project/check/Check.h"

#include "project/check/CheckList.h"
#include "project/text/OneLineText.h"

namespace velmora {

const char* SeverityName(Severity s) {
  switch (s) {
    case Severity::Error: return "error";
    case Severity::Warning: return "warning";
    case Severity::Info: return "info";
  }
  return "error";
}

const std::vector<const TextCheck*>& Checks() {
  static const std::vector<const TextCheck*> all = {
      &checks::Printf(),      &checks::CodePageCharacters(), &checks::CharsetCharacters(),
      &checks::ControlBytes(), &checks::Terms(),             &checks::PrintfStyle(),      &checks::LineBreaks(),
      &checks::Blanks(),       &checks::Brackets(),          &checks::Consistency(),
      &checks::Growth(),       &checks::Relocated(),         &checks::Identical(),
  };
  return all;
}

const TextCheck* FindCheck(std::string_view id) {
  for (const TextCheck* c : Checks())
    if (c->Id() == id) return c;
  return nullptr;
}

std::string CheckProblemLine(const Problem& p) {
  std::string line = p.Index >= 0 ? "phrase " + std::to_string(p.Index) : std::string("unit");
  return line + ": " + SeverityName(p.Level) + ": " + p.Check + ": " + p.Message;
}

std::string WithTexts(std::string message, const TextPair& pair) {
  return message + ": \"" + OneLineText(pair.OriginUtf8) + "\" -> \"" + OneLineText(pair.TranslationUtf8) + "\"";
}

}  // namespace velmora
