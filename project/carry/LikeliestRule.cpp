// The likeliest rule of the decision table (project/carry/DecisionTable.h):
// what no final rule decides is read as the alignment of its stretch, as
// runs on from the pairs made, or as pieces of stretches that moved whole;
// taken for review where the other order does not deny it.
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "project/carry/DecisionTable.h"
#include "project/carry/SequenceAlignment.h"
#include "project/carry/Stretch.h"

namespace velmora {

namespace {

// Rounds of the likeliest alignment; each round's pairs bound the gaps and
// start the runs of the next.
constexpr int kMaxLikeliestRounds = 6;

bool Open(const PairingState& s, const Proposals& p, size_t v, int32_t o, int32_t n) {
  return s.oldPartner[static_cast<size_t>(o)] < 0 && s.newPartner[static_cast<size_t>(n)] < 0 &&
         p.newOfOld[v][static_cast<size_t>(o)] < 0 && p.oldOfNew[v][static_cast<size_t>(n)] < 0;
}

// Proposes, in view v, the equal texts that follow the pair (o, n) on both
// sides, forward and backward, up to a phrase that differs or is taken.
void ExtendRun(const PairingState& s, size_t v, int32_t o, int32_t n, Proposals& p) {
  const auto oldSize = static_cast<int32_t>(s.olds.size()), newSize = static_cast<int32_t>(s.news.size());
  for (int dir : {-1, +1}) {
    int32_t ro = s.oldOrder.rank[v][static_cast<size_t>(o)] + dir, rn = s.newOrder.rank[v][static_cast<size_t>(n)] + dir;
    for (; ro >= 0 && rn >= 0 && ro < oldSize && rn < newSize; ro += dir, rn += dir) {
      const int32_t x = s.oldOrder.byRank[v][static_cast<size_t>(ro)], y = s.newOrder.byRank[v][static_cast<size_t>(rn)];
      if (!Open(s, p, v, x, y) || s.oldText[static_cast<size_t>(x)] != s.newText[static_cast<size_t>(y)]) break;
      p.Add(v, x, y);
    }
  }
}

// Two open phrases side by side in view v whose pair of texts occurs there
// once in each version: a piece of a stretch that moved as a whole, even
// where none of its texts is unique. Proposed with the runs around them.
void ProposeSeeds(const PairingState& s, size_t v, Proposals& p) {
  struct Key {
    uint64_t texts;
    int32_t rank;
    bool operator<(const Key& k) const { return texts < k.texts || (texts == k.texts && rank < k.rank); }
  };
  const auto keys = [&](const PhraseOrder& order, const std::vector<int32_t>& text, auto open) {
    std::vector<Key> out;
    const auto& items = order.byRank[v];
    for (size_t r = 0; r + 1 < items.size(); ++r)
      if (open(items[r]) && open(items[r + 1]))
        out.push_back({(uint64_t{static_cast<uint32_t>(text[static_cast<size_t>(items[r])])} << 32) |
                           static_cast<uint32_t>(text[static_cast<size_t>(items[r + 1])]),
                       static_cast<int32_t>(r)});
    std::sort(out.begin(), out.end());
    return out;
  };
  const auto oldKeys = keys(s.oldOrder, s.oldText, [&](int32_t o) {
    return s.oldPartner[static_cast<size_t>(o)] < 0 && p.newOfOld[v][static_cast<size_t>(o)] < 0;
  });
  const auto newKeys = keys(s.newOrder, s.newText, [&](int32_t n) {
    return s.newPartner[static_cast<size_t>(n)] < 0 && p.oldOfNew[v][static_cast<size_t>(n)] < 0;
  });
  const auto once = [](const std::vector<Key>& k, size_t i) {
    return (i == 0 || k[i - 1].texts != k[i].texts) && (i + 1 == k.size() || k[i + 1].texts != k[i].texts);
  };
  for (size_t i = 0, j = 0; i < oldKeys.size() && j < newKeys.size();) {
    if (oldKeys[i].texts < newKeys[j].texts) {
      ++i;
    } else if (newKeys[j].texts < oldKeys[i].texts) {
      ++j;
    } else {
      if (once(oldKeys, i) && once(newKeys, j)) {
        const int32_t o = s.oldOrder.byRank[v][static_cast<size_t>(oldKeys[i].rank)];
        const int32_t n = s.newOrder.byRank[v][static_cast<size_t>(newKeys[j].rank)];
        if (Open(s, p, v, o, n)) {
          p.Add(v, o, n);
          ExtendRun(s, v, o, n, p);
        }
      }
      const uint64_t texts = oldKeys[i].texts;
      while (i < oldKeys.size() && oldKeys[i].texts == texts) ++i;
      while (j < newKeys.size() && newKeys[j].texts == texts) ++j;
    }
  }
}

}  // namespace

void PairByLikeliestAlignment(PairingState& s) {
  TextStamps stamps(s.TextCount());
  std::vector<int32_t> olds, news, os, ns, a, b;
  std::vector<std::pair<uint32_t, uint32_t>> aligned;
  // The alignment of each stretch, kept from round to round: a stretch that
  // no pair of the last round touched aligns as it did.
  struct Aligned {
    std::vector<int32_t> os, ns;
    std::vector<std::pair<uint32_t, uint32_t>> pairs;
  };
  std::array<std::unordered_map<uint64_t, Aligned>, kViews> known;
  for (int round = 0; round < kMaxLikeliestRounds; ++round) {
    Proposals proposals(s.olds.size(), s.news.size());
    for (size_t v = 0; v < kViews; ++v) {
      // The closed gaps, aligned.
      const GapMap g = ClosedGaps(s.oldOrder, s.newOrder, static_cast<View>(v), s.oldPartner, s.newPartner);
      for (size_t gap = 0; gap < g.Count(); ++gap) {
        GapItems(g, gap, olds, news);
        SharedItems(s, olds, news, stamps, os, ns);
        if (os.empty() || ns.empty()) continue;
        // A stretch as it was in an earlier round aligns as it did, or
        // passes its limit again without being tried.
        const uint64_t key = (uint64_t{static_cast<uint32_t>(g.leftPair[gap] + 1)} << 32) |
                             static_cast<uint32_t>(g.rightPair[gap] + 1);
        if (const auto it = known[v].find(key); it != known[v].end() && it->second.os == os && it->second.ns == ns) {
          for (const auto& [i, j] : it->second.pairs) proposals.Add(v, os[i], ns[j]);
          continue;
        }
        a.clear();
        b.clear();
        for (int32_t o : os) a.push_back(s.oldText[static_cast<size_t>(o)]);
        for (int32_t n : ns) b.push_back(s.newText[static_cast<size_t>(n)]);
        const AlignResult r =
            AlignSequences(a.data(), a.size(), b.data(), b.size(), s.options.MaxChanges, s.budget, aligned);
        if (r != AlignResult::Aligned) {
          const LimitReason why = r == AlignResult::OverBudget ? LimitReason::CellBudget : LimitReason::ChangeCap;
          for (int32_t o : os)
            if (s.oldLimit[static_cast<size_t>(o)] == LimitReason::None) s.oldLimit[static_cast<size_t>(o)] = why;
          for (int32_t n : ns)
            if (s.newLimit[static_cast<size_t>(n)] == LimitReason::None) s.newLimit[static_cast<size_t>(n)] = why;
          known[v][key] = {os, ns, {}};
          continue;
        }
        for (const auto& [i, j] : aligned) proposals.Add(v, os[i], ns[j]);
        known[v][key] = {os, ns, aligned};
      }
      // Runs of equal texts on from the pairs made, at the edges of
      // stretches that are not closed; then the pieces of stretches that
      // moved whole.
      for (size_t o = 0; o < s.olds.size(); ++o)
        if (s.oldPartner[o] >= 0) ExtendRun(s, v, static_cast<int32_t>(o), s.oldPartner[o], proposals);
      ProposeSeeds(s, v, proposals);
    }
    // A pair both orders propose, or one proposes and the other does not deny.
    size_t added = 0;
    for (size_t v = 0; v < kViews; ++v)
      for (size_t o = 0; o < s.olds.size(); ++o) {
        const int32_t n = proposals.newOfOld[v][o];
        if (n < 0 || s.oldPartner[o] >= 0 || s.newPartner[static_cast<size_t>(n)] >= 0) continue;
        if (!proposals.Allows(1 - v, static_cast<int32_t>(o), n)) continue;
        s.Pair(static_cast<int32_t>(o), n, PairRule::Likeliest);
        ++added;
      }
    if (added == 0) break;
  }
}

}  // namespace velmora
