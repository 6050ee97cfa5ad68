#include "analysis/UnitHeader.h"

#include <algorithm>
#include <cstring>
#include <vector>

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

uint32_t SumWords(TStream& source, int64_t streamSize, int64_t pos, uint64_t length) {
  if (pos < 0 || pos >= streamSize) return 0;
  length = std::min<uint64_t>(length, static_cast<uint64_t>(streamSize - pos));
  if (length < kUnitHeaderSize + 4) return 0;
  constexpr size_t kPiece = 1 << 16;  // a multiple of 4: words never straddle pieces
  std::vector<uint8_t> piece(kPiece);
  uint32_t sum = 0;
  const uint64_t words = (length - kUnitHeaderSize) / 4 * 4;
  for (uint64_t off = 0; off < words; off += kPiece) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(kPiece, words - off));
    const size_t got = ReadBytesAt(source, pos + static_cast<int64_t>(kUnitHeaderSize + off), piece.data(), n);
    sum += SumBigEndianWords(piece.data(), got / 4);
    if (got < n) break;
  }
  return sum;
}

uint32_t SumBigEndianWords(const uint8_t* words, size_t count) {
  uint32_t sum = 0;
  for (size_t i = 0; i < count; ++i) sum += LoadBE32(words + 4 * i);
  return sum;
}

}  // namespace velmora
