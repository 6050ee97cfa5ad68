#include "project/text/HexText.h"

#include <cstdio>

namespace velmora {

std::string FormatHex(uint64_t value, int minDigits) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%0*llX", minDigits < 0 ? 0 : minDigits > 16 ? 16 : minDigits,
                static_cast<unsigned long long>(value));
  return buf;
}

std::string FormatHex0x(uint64_t value, int minDigits) {
  std::string text = "0x";
  text += FormatHex(value, minDigits);
  return text;
}

std::optional<uint32_t> HexFieldValue(std::string_view text) {
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (const char c : text) {
    unsigned digit;
    if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
    else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
    else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
    else return std::nullopt;
    value = value * 16 + digit;
    if (value > 0xFFFFFFFFu) return std::nullopt;  // leading zeros may come first, never a 33rd bit
  }
  if (value == 0xFFFFFFFFu) return std::nullopt;
  return static_cast<uint32_t>(value);
}

}  // namespace velmora
