// The index that finds a memory's similar texts without reading them all:
// for every three characters in a row (a trigram; each text is padded with
// two marks at either end), the texts that hold them and where. Texts are
// numbered in the order of their length, so that the texts of lengths that
// can still reach a score form one range of numbers, found in each list by
// a binary search.
//
// Two texts d edits apart share at least L + 2 - 3d trigrams (L the longer
// length; an edit spoils three trigrams at most), each at positions at
// most d apart. Counting, for every text, its trigrams found so near among
// the query's gives a least distance for it; that, and the difference in
// length, rank the candidates, and only those that can still beat the
// matches found so far are measured.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace velmora {

// A trigram of a text: its key (the three code points hashed to 32 bits; a
// collision only loosens the bound, never loses a match) and its position.
struct Trigram {
  uint32_t Key = 0;
  uint32_t Position = 0;
};
// The trigrams of a text's code points in the order of their positions,
// and then, with sorted, by key and position.
void TrigramsOf(const std::vector<uint32_t>& codePoints, std::vector<Trigram>& out, bool sorted = true);

class GramIndex {
 public:
  // Positions are kept up to this; later ones all read as this one, which
  // is near every position.
  static constexpr uint32_t kFarPosition = 255;

  // textAt(i): the code points of text i, the texts in order of length.
  template <typename TextAt>
  void Build(size_t count, const TextAt& textAt);

  // The texts in [first, last) that hold one key of a query: the stretch of
  // its list, and the query's trigrams of that key (query[QueryBegin ..
  // QueryEnd), the query sorted by key).
  struct KeyList {
    const uint32_t* Begin = nullptr;
    const uint32_t* End = nullptr;
    size_t QueryBegin = 0, QueryEnd = 0;
    size_t Size() const { return static_cast<size_t>(End - Begin); }
  };
  // One list per distinct key of the query that any text holds.
  void Lists(const std::vector<Trigram>& query, uint32_t first, uint32_t last, std::vector<KeyList>& out) const;

  // Adds 1 to counts[i - first] for each trigram of text i in the list
  // that lies at most `reach` positions from one of the query's of its key.
  static void Count(const KeyList& list, const std::vector<Trigram>& query, uint32_t reach, uint32_t first,
                    uint16_t* counts);

  // Bytes held.
  size_t Bytes() const;

 private:
  void Reserve(size_t slots);
  size_t Slot(uint32_t key) const;
  void CountKeys(const std::vector<Trigram>& grams);
  void Finish();
  void Post(const std::vector<Trigram>& grams, uint32_t text);

  // An open-addressing table of keys; slot s's list is postings_[start_[s]
  // .. start_[s] + size_[s]), each posting a text number << 8 | position.
  std::vector<uint32_t> keys_;
  std::vector<uint32_t> start_;
  std::vector<uint32_t> size_;
  std::vector<uint32_t> postings_;
  size_t used_ = 0;
};

template <typename TextAt>
void GramIndex::Build(size_t count, const TextAt& textAt) {
  std::vector<Trigram> grams;
  Reserve(1024);
  for (size_t i = 0; i < count; ++i) {
    TrigramsOf(textAt(i), grams, false);
    CountKeys(grams);
  }
  Finish();
  for (size_t i = 0; i < count; ++i) {
    TrigramsOf(textAt(i), grams, false);
    Post(grams, static_cast<uint32_t>(i));
  }
}

}  // namespace velmora
