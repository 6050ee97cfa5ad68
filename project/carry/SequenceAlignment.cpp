#include "project/carry/SequenceAlignment.h"

#include <algorithm>

namespace velmora {

namespace {

// Myers' method in linear space: the middle of a shortest edit path splits
// the problem in two, each half solved the same way. Every recursion level
// first takes the common head and tail, which is all there is to most
// stretches of two versions.
class Aligner {
 public:
  Aligner(const int32_t* a, const int32_t* b, size_t& budget, std::vector<std::pair<uint32_t, uint32_t>>& pairs)
      : a_(a), b_(b), budget_(budget), pairs_(pairs) {}

  // Aligns a[a0..a1) with b[b0..b1). maxD caps the number of rounds of
  // the search for the middle (each round covers one insertion and one
  // removal). False when the cap or the budget stops it.
  bool Align(size_t a0, size_t a1, size_t b0, size_t b1, size_t maxD) {
    // Common head and tail.
    while (a0 < a1 && b0 < b1 && a_[a0] == b_[b0]) {
      if (!Spend(1)) return false;
      pairs_.emplace_back(static_cast<uint32_t>(a0++), static_cast<uint32_t>(b0++));
    }
    std::vector<std::pair<uint32_t, uint32_t>> tail;
    while (a0 < a1 && b0 < b1 && a_[a1 - 1] == b_[b1 - 1]) {
      if (!Spend(1)) return false;
      tail.emplace_back(static_cast<uint32_t>(--a1), static_cast<uint32_t>(--b1));
    }
    if (a0 < a1 && b0 < b1) {
      size_t x = 0, y = 0;
      switch (Middle(a0, a1, b0, b1, maxD, x, y)) {
        case Split::Found:
          if (!Align(a0, a0 + x, b0, b0 + y, maxD) || !Align(a0 + x, a1, b0 + y, b1, maxD)) return false;
          break;
        case Split::Nothing: break;
        case Split::Stopped: return false;
      }
    }
    pairs_.insert(pairs_.end(), tail.rbegin(), tail.rend());
    return true;
  }

  bool overBudget() const { return overBudget_; }

 private:
  enum class Split { Found, Nothing, Stopped };

  bool Spend(size_t steps) {
    if (steps > budget_) {
      budget_ = 0;
      overBudget_ = true;
      return false;
    }
    budget_ -= steps;
    return true;
  }

  // The point (x, y) where a shortest edit path of the two ranges crosses
  // its middle, searched from both ends at once.
  Split Middle(size_t a0, size_t a1, size_t b0, size_t b1, size_t maxD, size_t& splitX, size_t& splitY) {
    const auto n = static_cast<ptrdiff_t>(a1 - a0), m = static_cast<ptrdiff_t>(b1 - b0);
    const ptrdiff_t rounds = std::min<ptrdiff_t>((n + m + 1) / 2, static_cast<ptrdiff_t>(maxD));
    const ptrdiff_t offset = rounds + 1, length = 2 * rounds + 3;
    forward_.assign(static_cast<size_t>(length), -1);
    backward_.assign(static_cast<size_t>(length), -1);
    forward_[static_cast<size_t>(offset + 1)] = 0;
    backward_[static_cast<size_t>(offset + 1)] = 0;
    const ptrdiff_t delta = n - m;
    const bool front = (delta & 1) != 0;
    ptrdiff_t k1start = 0, k1end = 0, k2start = 0, k2end = 0;
    auto at = [](std::vector<ptrdiff_t>& v, ptrdiff_t i) -> ptrdiff_t& { return v[static_cast<size_t>(i)]; };
    for (ptrdiff_t d = 0; d < rounds; ++d) {
      if (!Spend(static_cast<size_t>(2 * d + 2))) return Split::Stopped;
      for (ptrdiff_t k1 = -d + k1start; k1 <= d - k1end; k1 += 2) {
        const ptrdiff_t i = offset + k1;
        ptrdiff_t x1 = (k1 == -d || (k1 != d && at(forward_, i - 1) < at(forward_, i + 1))) ? at(forward_, i + 1)
                                                                                           : at(forward_, i - 1) + 1;
        ptrdiff_t y1 = x1 - k1;
        const ptrdiff_t x0 = x1;
        while (x1 < n && y1 < m && a_[a0 + static_cast<size_t>(x1)] == b_[b0 + static_cast<size_t>(y1)]) ++x1, ++y1;
        if (!Spend(static_cast<size_t>(x1 - x0))) return Split::Stopped;
        at(forward_, i) = x1;
        if (x1 > n) {
          k1end += 2;
        } else if (y1 > m) {
          k1start += 2;
        } else if (front) {
          const ptrdiff_t j = offset + delta - k1;
          if (j >= 0 && j < length && at(backward_, j) != -1 && x1 >= n - at(backward_, j)) {
            splitX = static_cast<size_t>(x1);
            splitY = static_cast<size_t>(y1);
            return Split::Found;
          }
        }
      }
      for (ptrdiff_t k2 = -d + k2start; k2 <= d - k2end; k2 += 2) {
        const ptrdiff_t i = offset + k2;
        ptrdiff_t x2 = (k2 == -d || (k2 != d && at(backward_, i - 1) < at(backward_, i + 1))) ? at(backward_, i + 1)
                                                                                             : at(backward_, i - 1) + 1;
        ptrdiff_t y2 = x2 - k2;
        const ptrdiff_t x0 = x2;
        while (x2 < n && y2 < m &&
               a_[a0 + static_cast<size_t>(n - x2 - 1)] == b_[b0 + static_cast<size_t>(m - y2 - 1)])
          ++x2, ++y2;
        if (!Spend(static_cast<size_t>(x2 - x0))) return Split::Stopped;
        at(backward_, i) = x2;
        if (x2 > n) {
          k2end += 2;
        } else if (y2 > m) {
          k2start += 2;
        } else if (!front) {
          const ptrdiff_t j = offset + delta - k2;
          if (j >= 0 && j < length && at(forward_, j) != -1) {
            const ptrdiff_t x1 = at(forward_, j);
            const ptrdiff_t y1 = offset + x1 - j;
            if (x1 >= n - x2) {
              splitX = static_cast<size_t>(x1);
              splitY = static_cast<size_t>(y1);
              return Split::Found;
            }
          }
        }
      }
    }
    // No path within the rounds: either the ranges share nothing (a path
    // of n + m edits, found only at the last round) or the cap stopped it.
    if (rounds < (n + m + 1) / 2) return Split::Stopped;
    return Split::Nothing;
  }

  const int32_t* a_;
  const int32_t* b_;
  size_t& budget_;
  std::vector<std::pair<uint32_t, uint32_t>>& pairs_;
  std::vector<ptrdiff_t> forward_, backward_;
  bool overBudget_ = false;
};

}  // namespace

AlignResult AlignSequences(const int32_t* a, size_t n, const int32_t* b, size_t m, size_t maxChanges,
                           size_t& budget, std::vector<std::pair<uint32_t, uint32_t>>& pairs) {
  pairs.clear();
  Aligner aligner(a, b, budget, pairs);
  // A round of the search from both ends covers up to two changes.
  if (aligner.Align(0, n, 0, m, maxChanges / 2 + 1)) return AlignResult::Aligned;
  pairs.clear();
  return aligner.overBudget() ? AlignResult::OverBudget : AlignResult::TooManyChanges;
}

}  // namespace velmora
