// The index that finds a memory's similar texts without reading them all:
// for every three characters in a row (a trigram; each text is padded with
// two marks at either end), the texts that hold them. Texts are numbered in
// the order of their length, so that the texts of lengths that can still
// reach a score form one range of numbers, found in each list by a binary
// search. A text that shares c of the query's t trigrams is at least
// (t - c) / 3 edits away, since one edit touches three trigrams at most;
// this bound, and the difference in length, rank the candidates, and only
// those that can still beat the matches found so far are measured.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace velmora {

// The distinct trigram keys of a text's code points (hashed to 32 bits; a
// collision only loosens the bound, never loses a match).
void TrigramKeys(const std::vector<uint32_t>& codePoints, std::vector<uint32_t>& keys);

class GramIndex {
 public:
  // textAt(i): the code points of text i, the texts in order of length.
  template <typename TextAt>
  void Build(size_t count, const TextAt& textAt);

  // Adds 1 to counts[i - first] for each text i in [first, last) per
  // trigram of keys it holds, and lists in touched the texts whose count
  // left 0. counts must hold last - first zeros on entry.
  void Count(const std::vector<uint32_t>& keys, uint32_t first, uint32_t last, std::vector<uint16_t>& counts,
             std::vector<uint32_t>& touched) const;

  // The number of distinct trigrams of text i.
  uint32_t Trigrams(uint32_t i) const { return trigrams_[i]; }
  // Bytes held.
  size_t Bytes() const;

 private:
  void Reserve(size_t distinct);
  size_t Slot(uint32_t key) const;
  void CountKeys(const std::vector<uint32_t>& keys);
  void Finish();
  void Post(const std::vector<uint32_t>& keys, uint32_t text);

  // An open-addressing table of keys; slot s's list is postings_[start_[s]
  // .. start_[s] + size_[s]).
  std::vector<uint32_t> keys_;
  std::vector<uint32_t> start_;
  std::vector<uint32_t> size_;
  std::vector<uint32_t> postings_;
  std::vector<uint16_t> trigrams_;
  size_t used_ = 0;
};

template <typename TextAt>
void GramIndex::Build(size_t count, const TextAt& textAt) {
  std::vector<uint32_t> keys;
  trigrams_.assign(count, 0);
  Reserve(1024);
  for (size_t i = 0; i < count; ++i) {
    TrigramKeys(textAt(i), keys);
    trigrams_[i] = static_cast<uint16_t>(std::min<size_t>(keys.size(), 0xFFFF));
    CountKeys(keys);
  }
  Finish();
  for (size_t i = 0; i < count; ++i) {
    TrigramKeys(textAt(i), keys);
    Post(keys, static_cast<uint32_t>(i));
  }
}

}  // namespace velmora
