#include "analysis/UnitText.h"

namespace velmora {

PreparedText PrepareTextForUnit(std::string_view text) {
  PreparedText p;
  p.Bytes.reserve(text.size() + 1);
  for (const char c : text)
    if (c != '\r') p.Bytes.push_back(c);
  while (!p.Bytes.empty() && p.Bytes.back() == '\n') p.Bytes.pop_back();
  if (p.Bytes.size() % 2 != 0) {
    p.Bytes.push_back('\0');
    p.ZeroAdded = true;
  }
  return p;
}

std::string PrepareText(std::string_view text) { return PrepareTextForUnit(text).Bytes; }

}  // namespace velmora
