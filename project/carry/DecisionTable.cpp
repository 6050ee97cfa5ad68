#include "project/carry/DecisionTable.h"

#include <algorithm>

#include "project/carry/FuzzyRule.h"

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
