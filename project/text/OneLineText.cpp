#include "project/text/OneLineText.h"

#include "project/text/HexText.h"

namespace velmora {

std::string OneLineText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          out += "\\x" + FormatHex(static_cast<unsigned char>(c), 2);
        } else {
          out += c;
        }
    }
  }
  return out;
}

}  // namespace velmora
