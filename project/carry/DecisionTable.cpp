#include "project/carry/DecisionTable.h"

#include <algorithm>
#include <unordered_map>

#include "project/carry/FuzzyRule.h"
#include "project/carry/SequenceAlignment.h"

namespace velmora {

const std::array<PairingRuleRow, 7> kPairingRules = {{
    {PairRule::Unique, "unique", "the text occurs once in each version", CarryOutcome::Carried},
    {PairRule::SameTranslation, "same-translation",
     "every old copy of the text has the same translation, ON and HIDE", CarryOutcome::Carried},
    {PairRule::Copied, "copied", "the text occurred once and now occurs several times", CarryOutcome::Review},
    {PairRule::Neighbours, "neighbours",
     "the same unique neighbours on both sides, in string order and in pointer order", CarryOutcome::Carried},
    {PairRule::Gap, "gap", "the only reading of a stretch whose texts come in the same order and counts",
     CarryOutcome::Carried},
    {PairRule::Likeliest, "likeliest", "the likeliest alignment of the stretch's texts", CarryOutcome::Review},
    {PairRule::Fuzzy, "fuzzy", "a similar text with the same numbers (--fuzzy)", CarryOutcome::Review},
}};

std::string_view PairRuleName(PairRule rule) {
  for (const PairingRuleRow& row : kPairingRules)
    if (row.Rule == rule) return row.Name;
  return "";
}

CarryOutcome RuleOutcome(PairRule rule) {
  for (const PairingRuleRow& row : kPairingRules)
    if (row.Rule == rule) return row.Outcome;
  return CarryOutcome::NotCarried;
}

namespace {

// Rounds of the gap rule; each round's pairs narrow the gaps of the next.
// Real units settle in a few; the cap only bounds hostile input.
constexpr int kMaxGapRounds = 32;

// Texts seen in one stretch, marked with a stamp that changes from stretch
// to stretch, so that no array is cleared between them.
class TextStamps {
 public:
  explicit TextStamps(size_t texts) : old_(texts, 0), new_(texts, 0) {}
  void Mark(const PairingState& s, const std::vector<int32_t>& olds, const std::vector<int32_t>& news) {
    ++stamp_;
    for (int32_t o : olds) old_[static_cast<size_t>(s.oldText[static_cast<size_t>(o)])] = stamp_;
    for (int32_t n : news) new_[static_cast<size_t>(s.newText[static_cast<size_t>(n)])] = stamp_;
  }
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
                 TextStamps& stamps, std::vector<int32_t>& os, std::vector<int32_t>& ns) {
  stamps.Mark(s, olds, news);
  os.clear();
  ns.clear();
  for (int32_t o : olds)
    if (stamps.InNew(s.oldText[static_cast<size_t>(o)])) os.push_back(o);
  for (int32_t n : news)
    if (stamps.InOld(s.newText[static_cast<size_t>(n)])) ns.push_back(n);
}

// The unpaired items of a gap.
void GapItems(const GapMap& g, size_t gap, std::vector<int32_t>& olds, std::vector<int32_t>& news) {
  olds.assign(g.oldItems.begin() + g.oldStart[gap], g.oldItems.begin() + g.oldStart[gap + 1]);
  news.assign(g.newItems.begin() + g.newStart[gap], g.newItems.begin() + g.newStart[gap + 1]);
}

// Whether the shared texts of a stretch come in the same order and counts
// in both versions: then its one reading pairs them position by position.
bool OneReading(const PairingState& s, const std::vector<int32_t>& os, const std::vector<int32_t>& ns) {
  if (os.size() != ns.size()) return false;
  for (size_t k = 0; k < os.size(); ++k)
    if (s.oldText[static_cast<size_t>(os[k])] != s.newText[static_cast<size_t>(ns[k])]) return false;
  return true;
}

// Per view, the pair each view proposes for each item (-1: none).
struct Proposals {
  std::array<std::vector<int32_t>, kViews> newOfOld, oldOfNew;
  Proposals(size_t olds, size_t news) {
    for (size_t v = 0; v < kViews; ++v) {
      newOfOld[v].assign(olds, -1);
      oldOfNew[v].assign(news, -1);
    }
  }
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

}  // namespace

void PairUniqueTexts(PairingState& s) {
  std::vector<int32_t> firstNew(s.TextCount(), -1);
  for (size_t n = 0; n < s.news.size(); ++n)
    if (firstNew[static_cast<size_t>(s.newText[n])] < 0) firstNew[static_cast<size_t>(s.newText[n])] = static_cast<int32_t>(n);
  for (size_t o = 0; o < s.olds.size(); ++o) {
    const auto t = static_cast<size_t>(s.oldText[o]);
    if (s.oldCount[t] == 1 && s.newCount[t] == 1) s.Pair(static_cast<int32_t>(o), firstNew[t], PairRule::Unique);
  }
}

void PairByNeighbours(PairingState& s) {
  const auto oldSize = static_cast<int32_t>(s.olds.size());
  const auto newSize = static_cast<int32_t>(s.news.size());
  for (int32_t o = 0; o < oldSize; ++o) {
    if (s.oldPartner[static_cast<size_t>(o)] >= 0 || s.newCount[static_cast<size_t>(s.oldText[static_cast<size_t>(o)])] == 0)
      continue;
    int32_t found = -1;
    bool holds = true;
    for (size_t v = 0; v < kViews && holds; ++v) {
      const int32_t r = s.oldOrder.rank[v][static_cast<size_t>(o)];
      // Where the partner of the old neighbour at old rank r lies in the new
      // order: the unit's ends count as neighbours that stayed; -2 for a
      // neighbour that is not a unique text paired.
      const auto newPlace = [&](int32_t at) -> int32_t {
        if (at < 0) return -1;
        if (at >= oldSize) return newSize;
        const int32_t item = s.oldOrder.byRank[v][static_cast<size_t>(at)];
        if (s.rule[static_cast<size_t>(item)] != PairRule::Unique) return -2;
        return s.newOrder.rank[v][static_cast<size_t>(s.oldPartner[static_cast<size_t>(item)])];
      };
      const int32_t before = newPlace(r - 1), after = newPlace(r + 1);
      if (before == -2 || after == -2 || after != before + 2) {
        holds = false;
        break;
      }
      const int32_t n = s.newOrder.byRank[v][static_cast<size_t>(before + 1)];
      if (s.newText[static_cast<size_t>(n)] != s.oldText[static_cast<size_t>(o)] || s.newPartner[static_cast<size_t>(n)] >= 0 ||
          (found >= 0 && found != n)) {
        holds = false;
        break;
      }
      found = n;
    }
    if (holds && found >= 0) s.Pair(o, found, PairRule::Neighbours);
  }
}

namespace {

// Whether a gap holds, on each side, a copy of a text that the other side
// of the gap lacks but the other version holds elsewhere: one went away and
// another came. Each alone is a removal or an insertion; both in one
// stretch may be the seam of two pieces that moved and came to lie side by
// side, so its reading proves nothing. (os, ns: the gap's items whose text
// both sides hold; olds, news: all its items.)
bool CutAndJoined(const PairingState& s, const std::vector<int32_t>& olds, const std::vector<int32_t>& news,
                  const std::vector<int32_t>& os, const std::vector<int32_t>& ns) {
  // os and ns run through olds and news in order: what they skip is what
  // the other side of the gap lacks.
  const auto lacks = [](const std::vector<int32_t>& all, const std::vector<int32_t>& shared,
                        const std::vector<int32_t>& text, const std::vector<int32_t>& otherCount) {
    size_t k = 0;
    for (int32_t item : all) {
      if (k < shared.size() && shared[k] == item) {
        ++k;
      } else if (otherCount[static_cast<size_t>(text[static_cast<size_t>(item)])] > 0) {
        return true;
      }
    }
    return false;
  };
  return lacks(olds, os, s.oldText, s.newCount) && lacks(news, ns, s.newText, s.oldCount);
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
        if (os.empty() || !OneReading(s, os, ns) || CutAndJoined(s, olds, news, os, ns)) continue;
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

void SettleSources(const PairingState& s, PhrasePairing& r) {
  const size_t olds = s.olds.size(), news = s.news.size();
  r.SourceOfNew.assign(news, -1);
  r.RuleOfNew.assign(news, PairRule::None);
  r.PercentOfNew.assign(news, 0);
  r.NewOfOld = s.oldPartner;
  r.OldPassedOn.assign(olds, false);

  // Copies of agreeing texts that no rule paired are paired in pointer
  // order, so that the reports name one old copy for each where the counts
  // allow; any pairing gives the same translations.
  std::vector<std::vector<int32_t>> openOld(s.TextCount()), openNew(s.TextCount());
  std::vector<int32_t> firstOld(s.TextCount(), -1);
  for (int32_t o : s.oldOrder.byRank[kByPointer]) {
    const auto t = static_cast<size_t>(s.oldText[static_cast<size_t>(o)]);
    if (firstOld[t] < 0) firstOld[t] = o;
    if (s.oldCount[t] >= 2 && s.agree[t] && s.newCount[t] > 0 && s.oldPartner[static_cast<size_t>(o)] < 0)
      openOld[t].push_back(o);
  }
  for (int32_t n : s.newOrder.byRank[kByPointer]) {
    const auto t = static_cast<size_t>(s.newText[static_cast<size_t>(n)]);
    if (s.oldCount[t] >= 2 && s.agree[t] && s.newPartner[static_cast<size_t>(n)] < 0) openNew[t].push_back(n);
  }
  for (size_t t = 0; t < s.TextCount(); ++t) {
    const size_t both = std::min(openOld[t].size(), openNew[t].size());
    for (size_t k = 0; k < both; ++k) {
      r.NewOfOld[static_cast<size_t>(openOld[t][k])] = openNew[t][k];
      r.SourceOfNew[static_cast<size_t>(openNew[t][k])] = openOld[t][k];
    }
    for (size_t k = both; k < openNew[t].size(); ++k) r.SourceOfNew[static_cast<size_t>(openNew[t][k])] = firstOld[t];
    for (size_t k = both; k < openOld[t].size(); ++k) r.OldPassedOn[static_cast<size_t>(openOld[t][k])] = true;
  }

  for (size_t n = 0; n < news; ++n) {
    const auto t = static_cast<size_t>(s.newText[n]);
    const int32_t partner = s.newPartner[n];
    if (s.oldCount[t] == 0) continue;
    if (s.oldCount[t] == 1 && s.newCount[t] == 1) {
      r.SourceOfNew[n] = partner;
      r.RuleOfNew[n] = PairRule::Unique;
    } else if (s.oldCount[t] >= 2 && s.agree[t]) {
      if (partner >= 0) r.SourceOfNew[n] = partner;
      r.RuleOfNew[n] = PairRule::SameTranslation;
    } else if (s.oldCount[t] == 1) {
      r.SourceOfNew[n] = firstOld[t];
      r.RuleOfNew[n] = PairRule::Copied;
    } else if (partner >= 0) {
      r.SourceOfNew[n] = partner;
      r.RuleOfNew[n] = s.rule[static_cast<size_t>(partner)];
    }
  }
}

void PairBySimilarText(PairingState& s, PhrasePairing& r) {
  // Texts only one version holds; the gaps are those of the final pairs.
  std::vector<bool> oldOpen(s.olds.size()), newOpen(s.news.size());
  for (size_t o = 0; o < s.olds.size(); ++o) oldOpen[o] = s.newCount[static_cast<size_t>(s.oldText[o])] == 0;
  for (size_t n = 0; n < s.news.size(); ++n) newOpen[n] = s.oldCount[static_cast<size_t>(s.newText[n])] == 0;
  for (const FuzzyPair& p :
       FuzzyPairs(s.olds, s.news, s.gaps, oldOpen, newOpen, std::min(s.options.FuzzyPercent, 100))) {
    s.Pair(p.Old, p.New, PairRule::Fuzzy);
    r.NewOfOld[static_cast<size_t>(p.Old)] = p.New;
    r.SourceOfNew[static_cast<size_t>(p.New)] = p.Old;
    r.RuleOfNew[static_cast<size_t>(p.New)] = PairRule::Fuzzy;
    r.PercentOfNew[static_cast<size_t>(p.New)] = p.Percent;
  }
}

}  // namespace velmora
