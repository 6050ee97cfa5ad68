#include "cli/RangeChecksums.h"

#include <algorithm>

#include "analysis/UnitHeader.h"
#include "container/io/ByteOrder.h"

namespace velmora::cli {

size_t RangeChecksums::Ask(uint64_t pos, uint64_t length) {
  asked_.emplace_back(pos, length);
  return asked_.size() - 1;
}

void RangeChecksums::Run(TStream& s, uint64_t fileSize) {
  // Each question becomes the words [from, to) at one alignment, and two
  // points at which the running sum of that alignment is taken.
  points_.clear();
  values_.assign(2 * asked_.size(), 0);
  for (size_t q = 0; q < asked_.size(); ++q) {
    const auto [pos, length] = asked_[q];
    const uint64_t have = pos < fileSize ? std::min(length, fileSize - pos) : 0;
    const uint64_t words = have > kUnitHeaderSize ? (have - kUnitHeaderSize) / 4 : 0;
    const uint64_t from = pos + kUnitHeaderSize;
    points_.push_back({from + 4 * words, 2 * q});
    points_.push_back({from, 2 * q + 1});
  }
  std::sort(points_.begin(), points_.end(), [](const Point& a, const Point& b) { return a.At < b.At; });

  // running[r]: the sum of the words that start before p at positions of
  // alignment r.
  uint32_t running[4] = {};
  size_t next = 0;
  const auto answer = [&](uint64_t p) {
    for (; next < points_.size() && points_[next].At <= p; ++next) values_[points_[next].Slot] = running[points_[next].At % 4];
  };
  constexpr size_t kPiece = 1 << 20;
  std::vector<uint8_t> buf(kPiece + 3);
  const uint64_t lastWord = fileSize >= 4 ? fileSize - 4 : 0;  // the last position a whole word starts at
  for (uint64_t base = 0; fileSize >= 4 && base <= lastWord && next < points_.size(); base += kPiece) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(kPiece + 3, fileSize - base));
    ReadBytesAt(s, static_cast<int64_t>(base), buf.data(), n);
    const uint64_t end = std::min<uint64_t>(base + kPiece, lastWord + 1);
    for (uint64_t p = base; p < end; ++p) {
      if (next < points_.size() && points_[next].At <= p) answer(p);
      running[p % 4] += LoadBE32(buf.data() + (p - base));
    }
  }
  answer(UINT64_MAX);
  sums_.resize(asked_.size());
  for (size_t q = 0; q < asked_.size(); ++q) sums_[q] = values_[2 * q] - values_[2 * q + 1];
}

}  // namespace velmora::cli
