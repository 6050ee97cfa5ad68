#include "ui/logic/grid/CaseFolding.h"

namespace velmora::ui {

bool IsShiftJis(CodePage cp) {
  if (cp == CodePage::Japanese) return true;
  return cp == CodePage::Default && IconvCharset(CodePage::Default) == IconvCharset(CodePage::Japanese);
}

std::string FoldAsciiCase(std::string_view bytes, bool shiftJis) {
  std::string out(bytes);
  for (size_t i = 0; i < out.size(); ++i) {
    const char c = out[i];
    if (shiftJis && IsShiftJisLeadByte(static_cast<uint8_t>(c))) {
      ++i;  // the second byte belongs to this character
      continue;
    }
    if (c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool ContainsFolded(std::string_view text, std::string_view search, bool shiftJis) {
  if (search.empty()) return false;
  const std::string t = FoldAsciiCase(text, shiftJis);
  const std::string s = FoldAsciiCase(search, shiftJis);
  if (!shiftJis) return t.find(s) != std::string::npos;
  // Walk the character starts alongside the byte search, so that a hit on
  // the second byte of a character is passed over.
  size_t start = 0;  // a character start
  for (size_t hit = t.find(s); hit != std::string::npos; hit = t.find(s, start)) {
    while (start < hit) start += IsShiftJisLeadByte(static_cast<uint8_t>(t[start])) ? 2 : 1;
    if (start == hit) return true;
  }
  return false;
}

}  // namespace velmora::ui
