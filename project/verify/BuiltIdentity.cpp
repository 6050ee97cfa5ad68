#include "project/verify/BuiltIdentity.h"

#include <algorithm>
#include <vector>

#include "analysis/UnitHeader.h"
#include "container/io/ByteOrder.h"

namespace velmora::verify {

namespace {
constexpr uint64_t kMatchWindow = 1u << 20;
}  // namespace

std::optional<double> ImageMatch(const PhraseTable& table, BuiltFile& built, int64_t base, uint64_t from) {
  const uint64_t imageLength = std::min<uint64_t>(table.ImageLength(), table.UnitImage.size());
  if (from >= imageLength || base < 0) return std::nullopt;
  const uint64_t to = std::min(imageLength, from + kMatchWindow);
  std::vector<uint8_t> got(static_cast<size_t>(to - from));
  const size_t n = built.ReadAt(base + static_cast<int64_t>(from), got.data(), got.size());
  uint64_t nonZero = 0, kept = 0;
  for (uint64_t k = 0; k < got.size(); ++k) {
    const uint8_t want = table.UnitImage[from + k];
    if (want == 0) continue;
    ++nonZero;
    kept += k < n && got[k] == want;
  }
  if (nonZero == 0) return std::nullopt;
  return static_cast<double>(kept) / static_cast<double>(nonZero);
}

bool HoldsSoundUnit(BuiltFile& built) {
  uint8_t header[kUnitHeaderSize] = {};
  if (built.ReadAt(0, header, sizeof header) != sizeof header) return false;
  const uint64_t size = LoadBE32(header + kUnitSizeOffset);
  if (size < kUnitHeaderSize || size > static_cast<uint64_t>(built.Size())) return false;
  std::vector<uint8_t> chunk(static_cast<size_t>(std::min<uint64_t>(kChunk, size)));
  uint32_t sum = 0;
  for (uint64_t at = kUnitHeaderSize; at + 4 <= size; at += chunk.size()) {
    const auto n = static_cast<size_t>(std::min<uint64_t>(chunk.size(), size - at) / 4 * 4);
    if (built.ReadAt(static_cast<int64_t>(at), chunk.data(), n) != n) return false;
    sum += SumBigEndianWords(chunk.data(), n / 4);
    if (n < chunk.size()) break;
  }
  return sum == LoadBE32(header + kUnitChecksumOffset);
}

std::string BuiltUnitTag(BuiltFile& built, int64_t base) {
  uint8_t header[kUnitHeaderSize] = {};
  const size_t n = built.ReadAt(base, header, sizeof header);
  return ParseUnitHeader(header, n).UnitTag;
}

std::string ImageUnitTag(const PhraseTable& table) {
  const size_t n = std::min<size_t>(kUnitHeaderSize, table.UnitImage.size());
  return ParseUnitHeader(table.UnitImage.data(), n).UnitTag;
}

std::string OtherUnitAt(const PhraseTable& table, BuiltFile& built, int64_t base, const std::string& unit) {
  const std::string tag = BuiltUnitTag(built, base);
  if (tag == ImageUnitTag(table)) return "";
  // A damaged tag in a build of the project keeps the body.
  const auto match = ImageMatch(table, built, base, kUnitHeaderSize);
  if (match && *match >= kSameUnitShare) return "";
  return (unit.empty() ? std::string("it") : unit) + (tag.empty() ? " holds no unit tag" : " holds unit tag " + tag) +
         "; the project's unit is " + table.UnitTitle();
}

}  // namespace velmora::verify
