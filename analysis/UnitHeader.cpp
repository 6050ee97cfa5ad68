#include "analysis/UnitHeader.h"

#include <algorithm>
#include <cstring>

#include "container/io/ByteOrder.h"
#include "container/io/TLN_FileStream.h"
#include "container/kiwi/KiwiPrimitives.h"

namespace velmora {

std::string CutHeaderText(std::string_view raw) {
  raw = raw.substr(0, kHeaderTextLength);
  const auto zero = raw.find('\0');
  if (zero != std::string_view::npos) raw = raw.substr(0, zero);
  const auto crlf = raw.find("\r\n");
  if (crlf != std::string_view::npos) raw = raw.substr(0, crlf);
  return std::string(raw);
}

TLN_Unit_Record_AISIN ParseUnitHeader(const uint8_t* data, size_t size) {
  uint8_t h[kUnitHeaderSize] = {};
  std::memcpy(h, data, std::min<size_t>(size, kUnitHeaderSize));
  auto text = [&](uint32_t off) {
    return CutHeaderText(std::string_view(reinterpret_cast<const char*>(h) + off, kHeaderTextLength));
  };
  TLN_Unit_Record_AISIN r;
  r.Text0 = text(0);
  r.UnitTag = text(kUnitTagOffset);
  r.Text16 = text(16);
  r.MakerText = text(kMakerTextOffset);
  r.BaseAddress = LoadBE32(h + kBaseAddressOffset);
  r.UnitSize = LoadBE32(h + kUnitSizeOffset);
  r.UnitChecksum = LoadBE32(h + kUnitChecksumOffset);
  return r;
}

TLN_Unit_Record_AISIN ReadUnitHeaderFrom(TStream& source, int64_t pos) {
  uint8_t h[kUnitHeaderSize];
  const size_t got = ReadBytesAt(source, pos, h, kUnitHeaderSize);
  return ParseUnitHeader(h, got);
}

TLN_Unit_Record_AISIN ReadUnitHeader(const TLN_Loading& loader, uint32_t offset) {
  TLN_FileStream stream(loader.FileName);
  const int64_t size = stream.Seek(0, SeekOrigin::End);
  TBoundedStream bounded(stream, size);
  return ReadUnitHeaderFrom(bounded, offset);
}

uint32_t SumWords(const uint8_t* image, size_t length) {
  if (length < kUnitHeaderSize + 4) return 0;
  return SumBigEndianWords(image + kUnitHeaderSize, (length - kUnitHeaderSize) / 4);
}

uint32_t SumWords(const UnitBytes& image, size_t length) {
  length = std::min(length, image.size());
  if (length < kUnitHeaderSize + 4) return 0;
  uint32_t sum = 0;
  // Chunks start at word boundaries, so no word is split between two.
  image.ForEachChunk(kUnitHeaderSize, (length - kUnitHeaderSize) / 4 * 4, [&](size_t, const uint8_t* bytes, size_t n) {
    sum += SumBigEndianWords(bytes, n / 4);
    return true;
  });
  return sum;
}

uint32_t SumBigEndianWords(const uint8_t* words, size_t count) {
  uint32_t sum = 0;
  for (size_t i = 0; i < count; ++i) sum += LoadBE32(words + 4 * i);
  return sum;
}

}  // namespace velmora
