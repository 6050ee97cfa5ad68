// The alignment of two sequences of text ids, as two versions of a stretch
// of phrases: a longest common subsequence, found as the shortest edit
// script (Myers' O((N + M) D) method, D the number of insertions and
// removals). Stretches that differ little align in little more than a
// pass over them, however many equal texts they hold; the work is capped,
// so that a stretch that differs everywhere costs a bounded time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace velmora {

enum class AlignResult : uint8_t {
  Aligned,
  TooManyChanges,  // the sequences differ by more than maxChanges insertions and removals
  OverBudget,      // the work budget ran out first
};

// Aligns a[0..n) with b[0..m). On Aligned, pairs holds (i, j) of one
// longest common subsequence in increasing order (a[i] == b[j]); otherwise
// it is empty. Each step of the work (a diagonal tried, a match followed)
// is taken from budget, which is left as it stands after the call.
AlignResult AlignSequences(const int32_t* a, size_t n, const int32_t* b, size_t m, size_t maxChanges,
                           size_t& budget, std::vector<std::pair<uint32_t, uint32_t>>& pairs);

}  // namespace velmora
