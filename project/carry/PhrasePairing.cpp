#include "project/carry/PhrasePairing.h"

#include <algorithm>

#include "project/carry/DecisionTable.h"
#include "project/carry/PairingState.h"

namespace velmora {

namespace {

// Where each item of one side would stand in the other side's pointer
// order: as far after the partner of the nearest paired item before it as
// it stands after that item.
std::vector<int32_t> PredictedRanks(const PhraseOrder& own, const PhraseOrder& other,
                                    const std::vector<int32_t>& partner) {
  std::vector<int32_t> predicted(own.size(), 0);
  int32_t anchorRank = -1, partnerRank = -1;
  const auto& order = own.byRank[kByPointer];
  for (size_t r = 0; r < order.size(); ++r) {
    const auto item = static_cast<size_t>(order[r]);
    if (partner[item] >= 0) {
      anchorRank = static_cast<int32_t>(r);
      partnerRank = other.rank[kByPointer][static_cast<size_t>(partner[item])];
    }
    predicted[item] = anchorRank < 0 ? static_cast<int32_t>(r * other.size() / std::max<size_t>(own.size(), 1))
                                     : partnerRank + (static_cast<int32_t>(r) - anchorRank);
  }
  return predicted;
}

// For each undecided item of one side, the undecided copies of its text on
// the other side nearest to where it would stand there.
void NameCandidates(const std::vector<int32_t>& ownText, const std::vector<bool>& ownUndecided,
                    const std::vector<int32_t>& predicted, const std::vector<int32_t>& otherText,
                    const std::vector<bool>& otherUndecided, const PhraseOrder& other, size_t texts,
                    std::vector<std::vector<int32_t>>& candidates, std::vector<uint32_t>& counts) {
  candidates.assign(ownText.size(), {});
  counts.assign(ownText.size(), 0);
  std::vector<std::vector<int32_t>> byText(texts);  // other side's undecided items, in pointer order
  for (int32_t item : other.byRank[kByPointer])
    if (otherUndecided[static_cast<size_t>(item)])
      byText[static_cast<size_t>(otherText[static_cast<size_t>(item)])].push_back(item);
  const auto rankOf = [&](int32_t item) { return other.rank[kByPointer][static_cast<size_t>(item)]; };
  for (size_t i = 0; i < ownText.size(); ++i) {
    if (!ownUndecided[i]) continue;
    const auto& list = byText[static_cast<size_t>(ownText[i])];
    counts[i] = static_cast<uint32_t>(list.size());
    const int32_t at = predicted[i];
    auto right = std::lower_bound(list.begin(), list.end(), at, [&](int32_t item, int32_t r) { return rankOf(item) < r; });
    auto left = right;
    auto& out = candidates[i];
    while (out.size() < kMaxCandidates && (left != list.begin() || right != list.end())) {
      const bool takeLeft =
          right == list.end() || (left != list.begin() && at - rankOf(*(left - 1)) <= rankOf(*right) - at);
      out.push_back(takeLeft ? *--left : *right++);
    }
  }
}

}  // namespace

PhrasePairing PairPhrases(const std::vector<MatchItem>& olds, const std::vector<MatchItem>& news,
                          const PairingOptions& options) {
  PairingState s(olds, news, options);
  PhrasePairing r;
  PairUniqueTexts(s);
  PairByNeighbours(s);
  PairByGaps(s);
  PairByLikeliestAlignment(s);
  SettleSources(s, r);
  if (options.FuzzyPercent > 0) PairBySimilarText(s, r);

  // Copies of differing texts that both versions still hold unpaired.
  std::vector<int32_t> openOld(s.TextCount(), 0), openNew(s.TextCount(), 0);
  const auto differs = [&](int32_t t) { return s.oldCount[static_cast<size_t>(t)] >= 2 && !s.agree[static_cast<size_t>(t)]; };
  for (size_t o = 0; o < olds.size(); ++o)
    if (differs(s.oldText[o]) && r.NewOfOld[o] < 0) ++openOld[static_cast<size_t>(s.oldText[o])];
  for (size_t n = 0; n < news.size(); ++n)
    if (differs(s.newText[n]) && r.SourceOfNew[n] < 0) ++openNew[static_cast<size_t>(s.newText[n])];
  r.OldUndecided.assign(olds.size(), false);
  r.NewUndecided.assign(news.size(), false);
  r.OldLimit.assign(olds.size(), LimitReason::None);
  r.NewLimit.assign(news.size(), LimitReason::None);
  for (size_t o = 0; o < olds.size(); ++o) {
    const auto t = static_cast<size_t>(s.oldText[o]);
    if (differs(s.oldText[o]) && r.NewOfOld[o] < 0 && openNew[t] > 0) {
      r.OldUndecided[o] = true;
      r.OldLimit[o] = s.oldLimit[o];
    }
  }
  for (size_t n = 0; n < news.size(); ++n) {
    const auto t = static_cast<size_t>(s.newText[n]);
    if (differs(s.newText[n]) && r.SourceOfNew[n] < 0 && openOld[t] > 0) {
      r.NewUndecided[n] = true;
      r.NewLimit[n] = s.newLimit[n];
    }
  }
  NameCandidates(s.oldText, r.OldUndecided, PredictedRanks(s.oldOrder, s.newOrder, s.oldPartner), s.newText,
                 r.NewUndecided, s.newOrder, s.TextCount(), r.OldCandidates, r.OldCandidateCount);
  NameCandidates(s.newText, r.NewUndecided, PredictedRanks(s.newOrder, s.oldOrder, s.newPartner), s.oldText,
                 r.OldUndecided, s.oldOrder, s.TextCount(), r.NewCandidates, r.NewCandidateCount);
  return r;
}

}  // namespace velmora
