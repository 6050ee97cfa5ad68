// The 128-byte header of a loading unit and the unit checksum.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/UnitBytes.h"
#include "container/io/Stream.h"
#include "container/kiwi/Loading.h"

namespace velmora {

constexpr uint32_t kUnitHeaderSize = 128;
constexpr uint32_t kUnitTagOffset = 6;
constexpr uint32_t kMakerTextOffset = 48;
constexpr uint32_t kBaseAddressOffset = 112;
constexpr uint32_t kUnitSizeOffset = 116;
constexpr uint32_t kUnitChecksumOffset = 120;
constexpr uint32_t kHeaderTextLength = 15;
inline constexpr std::string_view kAisinMakerText = "AISIN AW co.LTD";

// The header fields this system reads, in header order.
struct TLN_Unit_Record_AISIN {
  std::string Text0;      // offset 0, read but unused
  std::string UnitTag;    // offset 6
  std::string Text16;     // offset 16, read but unused
  std::string MakerText;  // offset 48
  uint32_t BaseAddress = 0;
  uint32_t UnitSize = 0;
  uint32_t UnitChecksum = 0;
};

// A header text: the 15 bytes at its offset, cut before the first zero byte,
// then before the first carriage-return line-feed pair.
std::string CutHeaderText(std::string_view raw15);

// Reads the header of the unit that starts at pos. Bytes the source does
// not hold read as zero.
TLN_Unit_Record_AISIN ReadUnitHeaderFrom(TStream& source, int64_t pos);
// Reads the header of the unit at the given absolute offset of a loader,
// through a stream of its own on the loader's file.
TLN_Unit_Record_AISIN ReadUnitHeader(const TLN_Loading& loader, uint32_t offset);
// The same from bytes in memory (missing bytes read as zero).
TLN_Unit_Record_AISIN ParseUnitHeader(const uint8_t* data, size_t size);

// The unit checksum: the 32-bit wrap-around sum of the big-endian words from
// offset 128 while a whole word lies within the first length bytes.
uint32_t SumWords(const uint8_t* image, size_t length);
uint32_t SumWords(const UnitBytes& image, size_t length);
// The same over the unit that starts at pos of a stream whose size is
// streamSize, read in pieces so that a large unit is never held whole. Only
// the bytes the stream holds are summed, whatever length a header declares.
uint32_t SumWords(TStream& source, int64_t streamSize, int64_t pos, uint64_t length);
// The 32-bit wrap-around sum of count big-endian words from words on.
uint32_t SumBigEndianWords(const uint8_t* words, size_t count);

}  // namespace velmora
