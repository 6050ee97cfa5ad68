// Hexadecimal numbers as the program writes and reads them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// 8 uppercase hexadecimal digits: "00001A2B".
std::string FormatHex8(uint32_t value);

// The value of a hexadecimal text of the address fields: hexadecimal digits
// (either case), value within 32 bits and not FFFFFFFF. Empty or anything
// else has no value.
std::optional<uint32_t> HexFieldValue(std::string_view text);

}  // namespace velmora
