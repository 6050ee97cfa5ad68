// The gap rule of the decision table (project/carry/DecisionTable.h): the
// one reading of a closed stretch, taken only where nothing beside the
// stretch could have made another.
#include <vector>

#include "project/carry/DecisionTable.h"
#include "project/carry/Stretch.h"

namespace velmora {

namespace {

// Rounds of the gap rule; each round's pairs narrow the gaps of the next.
// Real units settle in a few; the cap only bounds hostile input.
constexpr int kMaxGapRounds = 32;

// Whether copies of texts that the version on the other side holds
// elsewhere came into the gap or left it, more than a single removal or
// copy accounts for: one on each side (the seam where two pieces that moved
// were joined), or two or more on one side (a piece that moved in or out).
// A copy of one of the gap's own texts may then have gone or come with
// them, unseen, and the gap's reading proves nothing. (os, ns: the gap's
// items whose text both sides hold; olds, news: all its items.)
bool PiecesMoved(const PairingState& s, const std::vector<int32_t>& olds, const std::vector<int32_t>& news,
                 const std::vector<int32_t>& os, const std::vector<int32_t>& ns) {
  // os and ns run through olds and news in order: what they skip is what
  // the other side of the gap lacks.
  const auto moved = [](const std::vector<int32_t>& all, const std::vector<int32_t>& shared,
                        const std::vector<int32_t>& text, const std::vector<int32_t>& otherCount) {
    size_t k = 0, count = 0;
    for (int32_t item : all) {
      if (k < shared.size() && shared[k] == item)
        ++k;
      else if (otherCount[static_cast<size_t>(text[static_cast<size_t>(item)])] > 0)
        ++count;
    }
    return count;
  };
  const size_t went = moved(olds, os, s.oldText, s.newCount), came = moved(news, ns, s.newText, s.oldCount);
  return (went > 0 && came > 0) || went > 1 || came > 1;
}

// Whether the one reading of gap `gap` (each old item's partner in
// `reading`) stays the same when the pairs that bound it on one side
// (before: the left one) are taken as phrases of the stretch: they may
// have moved a little, past copies of the gap's texts, alone or as a block
// of pairs with nothing between them. The stretch is joined with the gaps
// beyond up to the first that holds anything; a block that reaches a seam
// where the pairs are no longer neighbours may have moved whole, and the
// reading proves nothing. At the unit's ends there is no pair to doubt.
bool ReadingSurvives(const PairingState& s, const GapMap& g, size_t gap, bool before,
                     const std::vector<int32_t>& reading, TextStamps& stamps) {
  if ((before ? g.leftPair[gap] : g.rightPair[gap]) < 0) return true;
  std::vector<int32_t> joinedOld, joinedNew, olds, news, os, ns;
  GapItems(g, gap, joinedOld, joinedNew);
  for (size_t k = gap;;) {
    const int32_t bound = before ? g.leftPair[k] : g.rightPair[k];
    if (bound < 0) break;  // the unit's end
    // The gap beyond the pair must be its neighbour among the closed gaps.
    const size_t next = before ? k - 1 : k + 1;
    if ((before && k == 0) || (!before && next >= g.Count()) ||
        (before ? g.rightPair[next] : g.leftPair[next]) != bound)
      return false;
    GapItems(g, next, olds, news);
    const int32_t partner = s.oldPartner[static_cast<size_t>(bound)];
    const auto join = [&](std::vector<int32_t>& into, const std::vector<int32_t>& beyond, int32_t pair) {
      if (before) {
        std::vector<int32_t> all(beyond);
        all.push_back(pair);
        all.insert(all.end(), into.begin(), into.end());
        into = std::move(all);
      } else {
        into.push_back(pair);
        into.insert(into.end(), beyond.begin(), beyond.end());
      }
    };
    join(joinedOld, olds, bound);
    join(joinedNew, news, partner);
    if (!olds.empty() || !news.empty()) break;
    k = next;
  }
  SharedItems(s, joinedOld, joinedNew, stamps, os, ns);
  if (!OneReading(s, os, ns)) return false;
  for (size_t k = 0; k < os.size(); ++k) {
    const int32_t mine = reading[static_cast<size_t>(os[k])];
    if (mine >= 0 && mine != ns[k]) return false;
  }
  return true;
}

}  // namespace

void PairByGaps(PairingState& s) {
  TextStamps stamps(s.TextCount());
  std::vector<int32_t> olds, news, os, ns;
  std::vector<int32_t> reading(s.olds.size(), -1);  // per old item of the gap at hand: its partner in the reading
  for (int round = 0; round < kMaxGapRounds; ++round) {
    s.ComputeGaps();
    Proposals proposals(s.olds.size(), s.news.size());
    std::vector<std::pair<int32_t, int32_t>> candidates;
    for (size_t v = 0; v < kViews; ++v) {
      const GapMap& g = s.gaps[v];
      for (size_t gap = 0; gap < g.Count(); ++gap) {
        // Only a gap whose bounding pairs are closed on their other sides
        // too: two pairs side by side by chance bound no stretch.
        if (!g.supported[gap]) continue;
        GapItems(g, gap, olds, news);
        SharedItems(s, olds, news, stamps, os, ns);
        if (os.empty() || !OneReading(s, os, ns) || PiecesMoved(s, olds, news, os, ns)) continue;
        for (size_t k = 0; k < os.size(); ++k) reading[static_cast<size_t>(os[k])] = ns[k];
        const bool holds = ReadingSurvives(s, g, gap, true, reading, stamps) &&
                           ReadingSurvives(s, g, gap, false, reading, stamps);
        for (int32_t o : os) reading[static_cast<size_t>(o)] = -1;
        if (!holds) continue;
        for (size_t k = 0; k < os.size(); ++k) {
          proposals.Add(v, os[k], ns[k]);
          candidates.emplace_back(os[k], ns[k]);
        }
      }
    }
    size_t added = 0;
    for (const auto& [o, n] : candidates) {
      if (s.oldPartner[static_cast<size_t>(o)] >= 0) continue;  // proposed by both orders
      // The other order must propose nothing else for either.
      if (!proposals.Allows(kByString, o, n) || !proposals.Allows(kByPointer, o, n)) continue;
      s.Pair(o, n, PairRule::Gap);
      ++added;
    }
    if (added == 0) break;
  }
  s.ComputeGaps();
}

}  // namespace velmora
