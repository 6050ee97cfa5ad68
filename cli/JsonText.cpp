#include "cli/JsonText.h"

#include "project/text/HexText.h"

namespace velmora::cli {

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (const char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          out += "\\u" + FormatHex(static_cast<unsigned char>(c), 4);
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

}  // namespace velmora::cli
