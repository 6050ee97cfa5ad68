#include "analysis/UnitText.h"

namespace velmora {

PreparedText PrepareTextForUnit(std::string_view text) {
  PreparedText p;
  p.bytes.reserve(text.size() + 1);
  for (const char c : text)
    if (c != '\r') p.bytes.push_back(c);
  while (!p.bytes.empty() && p.bytes.back() == '\n') p.bytes.pop_back();
  if (p.bytes.size() % 2 != 0) {
    p.bytes.push_back('\0');
    p.zeroAdded = true;
  }
  return p;
}

std::string PrepareText(std::string_view text) { return PrepareTextForUnit(text).bytes; }

}  // namespace velmora
