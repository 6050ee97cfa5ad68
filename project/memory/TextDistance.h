// The edit distance of two texts in characters (code points): the fewest
// insertions, deletions and substitutions of single characters that turn
// one into the other, as translate-toolkit and Weblate count it. A query
// text is prepared once and then measured against many texts; texts of up
// to 64 characters take one machine word per character of the other text
// (Myers' bit-parallel method), longer ones a band of the classic table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora {

class DistanceQuery {
 public:
  explicit DistanceQuery(std::vector<uint32_t> codePoints);
  // The distance to a UTF-8 text when it is at most limit, else limit + 1.
  size_t To(std::string_view utf8, size_t limit) const;
  size_t Length() const { return query_.size(); }

 private:
  uint64_t Mask(uint32_t cp) const;

  std::vector<uint32_t> query_;
  uint64_t ascii_[128] = {};
  std::vector<std::pair<uint32_t, uint64_t>> others_;  // masks of characters beyond ASCII
};

// The distance of two code point sequences when it is at most limit, else
// limit + 1.
size_t EditDistance(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, size_t limit);

// The number of code points of a UTF-8 text (a byte that starts no
// character counts as one).
size_t CodePointCount(std::string_view utf8);

}  // namespace velmora
