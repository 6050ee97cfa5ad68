// What the rules that read a stretch share: the texts a stretch holds on
// each side, the items both sides can pair, whether they read one way only,
// and the pairs each order proposes.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "project/carry/GapView.h"
#include "project/carry/PairingState.h"

namespace velmora {

// Texts seen in one stretch, marked with a stamp that changes from stretch
// to stretch, so that no array is cleared between them.
class TextStamps {
 public:
  explicit TextStamps(size_t texts) : old_(texts, 0), new_(texts, 0) {}
  void Mark(const PairingState& s, const std::vector<int32_t>& olds, const std::vector<int32_t>& news);
  bool InNew(int32_t text) const { return new_[static_cast<size_t>(text)] == stamp_; }
  bool InOld(int32_t text) const { return old_[static_cast<size_t>(text)] == stamp_; }

 private:
  std::vector<uint32_t> old_, new_;
  uint32_t stamp_ = 0;
};

// The items of a stretch (old items olds, new items news, in view order)
// whose text the other side of the stretch holds too: what its two
// versions can pair (texts only one side holds are removals or insertions
// whatever the reading).
void SharedItems(const PairingState& s, const std::vector<int32_t>& olds, const std::vector<int32_t>& news,
                 TextStamps& stamps, std::vector<int32_t>& os, std::vector<int32_t>& ns);

// The unpaired items of a gap.
void GapItems(const GapMap& g, size_t gap, std::vector<int32_t>& olds, std::vector<int32_t>& news);

// Whether the shared texts of a stretch come in the same order and counts
// in both versions: then its one reading pairs them position by position.
bool OneReading(const PairingState& s, const std::vector<int32_t>& os, const std::vector<int32_t>& ns);

// Per view, the pair each view proposes for each item (-1: none).
struct Proposals {
  std::array<std::vector<int32_t>, kViews> newOfOld, oldOfNew;
  Proposals(size_t olds, size_t news);
  void Add(size_t v, int32_t o, int32_t n) {
    newOfOld[v][static_cast<size_t>(o)] = n;
    oldOfNew[v][static_cast<size_t>(n)] = o;
  }
  // Whether view w proposes nothing else for o or n.
  bool Allows(size_t w, int32_t o, int32_t n) const {
    const int32_t x = newOfOld[w][static_cast<size_t>(o)], y = oldOfNew[w][static_cast<size_t>(n)];
    return (x < 0 || x == n) && (y < 0 || y == o);
  }
};

}  // namespace velmora
