// Hexadecimal numbers as the program writes and reads them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Uppercase hexadecimal digits, at least minDigits of them (zeros in front):
// FormatHex(0x1A2B, 2) is "1A2B", FormatHex(0x1A, 4) is "001A".
std::string FormatHex(uint64_t value, int minDigits);

// 8 uppercase hexadecimal digits: "00001A2B".
inline std::string FormatHex8(uint32_t value) { return FormatHex(value, 8); }

// The form offsets and checksums are shown in: "0x" and at least minDigits
// uppercase digits, "0x00001A2B".
std::string FormatHex0x(uint64_t value, int minDigits = 8);

// The value of a hexadecimal text of the address fields: hexadecimal digits
// (either case), value within 32 bits and not FFFFFFFF. Empty or anything
// else has no value.
std::optional<uint32_t> HexFieldValue(std::string_view text);

}  // namespace velmora
