#include "project/text/LetterCase.h"

#include "project/text/Unicode.h"

namespace velmora {

namespace {

bool In(uint32_t cp, uint32_t first, uint32_t last) { return cp >= first && cp <= last; }
bool Even(uint32_t cp) { return cp % 2 == 0; }

}  // namespace

uint32_t FoldCase(uint32_t cp) {
  if (cp < 0x80) return In(cp, 'A', 'Z') ? cp + 0x20 : cp;
  if (In(cp, 0xC0, 0xDE) && cp != 0xD7) return cp + 0x20;
  if (cp == 0x130 || cp == 0x131) return 'i';  // Turkish İ and ı
  if ((In(cp, 0x100, 0x12F) || In(cp, 0x132, 0x137) || In(cp, 0x14A, 0x177) || In(cp, 0x218, 0x21B)) && Even(cp))
    return cp + 1;
  if ((In(cp, 0x139, 0x148) || In(cp, 0x179, 0x17E)) && !Even(cp)) return cp + 1;
  if (cp == 0x178) return 0xFF;
  if (cp == 0x386) return 0x3AC;
  if (In(cp, 0x388, 0x38A)) return cp + 0x25;
  if (cp == 0x38C) return 0x3CC;
  if (cp == 0x38E || cp == 0x38F) return cp + 0x3F;
  if (In(cp, 0x391, 0x3A1) || In(cp, 0x3A3, 0x3AB)) return cp + 0x20;
  if (cp == 0x3C2) return 0x3C3;  // final sigma
  if (In(cp, 0x400, 0x40F)) return cp + 0x50;
  if (In(cp, 0x410, 0x42F)) return cp + 0x20;
  if ((In(cp, 0x460, 0x481) || In(cp, 0x490, 0x4BF)) && Even(cp)) return cp + 1;
  if (In(cp, 0xFF21, 0xFF3A)) return cp + 0x20;
  return cp;
}

bool IsCapitalLetter(uint32_t cp) { return cp != 0x131 && cp != 0x3C2 && FoldCase(cp) != cp; }

bool IsSmallLetter(uint32_t cp) {
  if (cp < 0x80) return In(cp, 'a', 'z');
  if (In(cp, 0xDF, 0xFF)) return cp != 0xF7;
  if (In(cp, 0x100, 0x12F) || In(cp, 0x132, 0x137) || In(cp, 0x14A, 0x177) || In(cp, 0x218, 0x21B)) return !Even(cp);
  if (In(cp, 0x139, 0x148) || In(cp, 0x179, 0x17E)) return Even(cp);
  if (cp == 0x131 || cp == 0x138 || cp == 0x149 || cp == 0x17F) return true;
  if (In(cp, 0x3AC, 0x3CE)) return true;
  if (In(cp, 0x430, 0x45F)) return true;
  if (In(cp, 0x460, 0x481) || In(cp, 0x490, 0x4BF)) return !Even(cp);
  return In(cp, 0xFF41, 0xFF5A);
}

bool IsWordCharacter(uint32_t cp) {
  if (cp < 0x80) return In(cp, '0', '9') || In(cp, 'A', 'Z') || In(cp, 'a', 'z');
  if (cp == 0xAA || cp == 0xB5 || cp == 0xBA) return true;
  if (In(cp, 0xC0, 0x24F)) return cp != 0xD7 && cp != 0xF7;
  if (In(cp, 0x300, 0x36F)) return true;  // combining accents stay inside their word
  if (In(cp, 0x386, 0x3FF)) return cp != 0x387;
  if (In(cp, 0x400, 0x52F)) return !In(cp, 0x482, 0x489);
  if (In(cp, 0x620, 0x669) || In(cp, 0x66E, 0x6D3) || In(cp, 0x6F0, 0x6F9)) return cp != 0x640;
  return In(cp, 0xFF10, 0xFF19) || In(cp, 0xFF21, 0xFF3A) || In(cp, 0xFF41, 0xFF5A);
}

bool IsUnspacedCharacter(uint32_t cp) {
  return In(cp, 0x3040, 0x30FF) || In(cp, 0x3400, 0x4DBF) || In(cp, 0x4E00, 0x9FFF) || In(cp, 0xFF66, 0xFF9F) ||
         cp == 0x3005;
}

bool InCapitals(const std::vector<uint32_t>& codePoints) {
  bool capital = false;
  for (const uint32_t cp : codePoints) {
    if (IsSmallLetter(cp)) return false;
    capital = capital || IsCapitalLetter(cp);
  }
  return capital;
}

bool InCapitals(std::string_view utf8) { return InCapitals(CodePoints(utf8)); }

std::string FoldedUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (const uint32_t cp : CodePoints(utf8)) AppendUtf8(out, FoldCase(cp));
  return out;
}

}  // namespace velmora
