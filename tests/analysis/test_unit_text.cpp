// The rules of a unit's texts: where a Shift JIS character starts, and the
// bytes an edited text becomes inside the unit.
#include <gtest/gtest.h>

#include <string>

#include "analysis/UnitText.h"

namespace velmora {
namespace {

TEST(ShiftJisLeadByte, OpensADoubleByteCharacterOnlyInItsTwoRanges) {
  struct Case {
    uint8_t byte;
    bool lead;
  } cases[] = {
      {0x00, false}, {0x41, false}, {0x80, false}, {0x81, true},  {0x9F, true},  {0xA0, false},
      {0xB6, false},  // a half-width katakana stands alone
      {0xDF, false}, {0xE0, true},  {0xFC, true},  {0xFD, false}, {0xFF, false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsShiftJisLeadByte(c.byte), c.lead) << std::hex << int{c.byte};
}

TEST(PrepareText, RemovesCarriageReturnsAndTrailingLineFeedsAndEvensTheLength) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"", ""},
      {"A", std::string("A\0", 2)},
      {"AB", "AB"},
      {"A\r\nB", std::string("A\nB\0", 4)},
      {"AB\r\n\r\n", "AB"},
      {"AB\n\n\n", "AB"},
      {"\r\n\r\n", ""},
      {"\rA\rB\r", "AB"},
      {"\nAB", std::string("\nAB\0", 4)},
      {"A\n\nB\n", std::string("A\n\nB")},
      {std::string("\xC4\xE0", 2), std::string("\xC4\xE0", 2)},  // 8-bit bytes go in unchanged
  };
  for (const auto& c : cases) EXPECT_EQ(PrepareText(c.in), c.out) << "input: " << c.in;
}

}  // namespace
}  // namespace velmora
