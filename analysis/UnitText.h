// The rules of a unit's texts that every layer above reads them by: where
// a Shift JIS character starts, the bytes an edited text becomes inside
// the unit, and the room a string has for a text written in its place.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// True for the first byte of a Shift JIS double-byte character; the byte
// after it belongs to the same character.
constexpr bool IsShiftJisLeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// The bytes that stand for an edited text inside the unit: carriage returns
// removed, trailing line feeds removed, and one zero byte appended when the
// length is odd, so the result always has an even length.
std::string PrepareText(std::string_view text);

// The bytes an edited text may take and still be written in place: the
// builder writes a text of odd length with a zero byte after it, so a
// string of Length bytes has room for Length rounded down to even.
constexpr uint32_t RoomInPlace(uint16_t length) { return length & ~1u; }

// PrepareText's bytes with what the relocation area needs to know of them.
struct PreparedText {
  std::string Bytes;
  bool ZeroAdded = false;  // preparation appended the terminating zero itself
  // The bytes the text takes in the relocation area: a text without a zero
  // of its own gets two, one that ends it and one that keeps the next
  // relocated text at an even distance from the area's start.
  uint64_t RelocatedSize() const { return Bytes.size() + (ZeroAdded ? 0 : 2); }
};
PreparedText PrepareTextForUnit(std::string_view text);

}  // namespace velmora
