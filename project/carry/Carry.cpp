#include "project/carry/Carry.h"

#include <stdexcept>
#include <string>
#include <unordered_map>

#include "container/io/StreamErrors.h"
#include "project/carry/DecisionTable.h"

namespace velmora {

namespace {

// The phrases that take part (no link records) and their table indices.
// Old phrases carry their state: equal for an equal translation (or none),
// ON and HIDE.
std::vector<MatchItem> ItemsOf(const PhraseTable& table, std::vector<int32_t>& indices, bool withState) {
  std::vector<MatchItem> items;
  std::unordered_map<std::string, uint32_t> states;
  std::string key;
  for (size_t i = 0; i < table.Phrases.size(); ++i) {
    const TPhrase& p = table.Phrases[i];
    if (p.Flags & pfLink) continue;
    MatchItem item{table.OriginText(p), p.StringAddress, p.LinkAddress, 0};
    if (withState) {
      key.assign(1, static_cast<char>(p.Flags & (pfOn | pfHide)));
      if (table.HasEditedText(p)) key.append(1, '+').append(table.EditedText(p));
      item.State = states.try_emplace(key, static_cast<uint32_t>(states.size())).first->second;
    }
    items.push_back(item);
    indices.push_back(static_cast<int32_t>(i));
  }
  return items;
}

// The order of the statuses an old phrase can take from its entries.
int Strength(CarryStatus s) {
  switch (s) {
    case CarryStatus::Carried: return 4;
    case CarryStatus::Review: return 3;
    case CarryStatus::Kept: return 2;
    case CarryStatus::Matched: return 1;
    default: return 0;
  }
}

void CountNew(CarryCounts& c, CarryStatus s) {
  switch (s) {
    case CarryStatus::Carried: ++c.Carried; break;
    case CarryStatus::Review: ++c.Review; break;
    case CarryStatus::Kept: ++c.Kept; break;
    case CarryStatus::Matched: ++c.Matched; break;
    case CarryStatus::Ambiguous: ++c.Ambiguous; break;
    case CarryStatus::Limit: ++c.Limit; break;
    case CarryStatus::New: ++c.New; break;
    case CarryStatus::Gone: break;
  }
}

void CountOld(CarryCounts& c, CarryStatus s, bool lost) {
  switch (s) {
    case CarryStatus::Carried: ++c.OldCarried; break;
    case CarryStatus::Review: ++c.OldReview; break;
    case CarryStatus::Kept: ++c.OldKept; break;
    case CarryStatus::Matched: ++c.OldMatched; break;
    case CarryStatus::Ambiguous:
      ++c.OldAmbiguous;
      c.AmbiguousTranslated += lost;
      break;
    case CarryStatus::Limit:
      ++c.OldLimit;
      c.LimitTranslated += lost;
      break;
    case CarryStatus::Gone:
      ++c.Gone;
      c.GoneTranslated += lost;
      break;
    case CarryStatus::New: break;
  }
}

void CountLimit(CarryCounts& c, LimitReason why) {
  if (why == LimitReason::ChangeCap) ++c.LimitChangeCap;
  if (why == LimitReason::CellBudget) ++c.LimitCellBudget;
}

// Whether applying the entry needs a new entry of EditedTexts.
bool NeedsNewText(const PhraseTable& oldProject, const PhraseTable& newProject, const CarryEntry& e) {
  const TPhrase& n = newProject.Phrases[static_cast<size_t>(e.NewIndex)];
  const TPhrase& o = oldProject.Phrases[static_cast<size_t>(e.OldIndex)];
  return !(newProject.HasEditedText(n) && newProject.EditedText(n) == oldProject.EditedText(o));
}

std::vector<int32_t> IndicesOf(const std::vector<int32_t>& items, const std::vector<int32_t>& index) {
  std::vector<int32_t> out;
  out.reserve(items.size());
  for (int32_t item : items) out.push_back(index[static_cast<size_t>(item)]);
  return out;
}

}  // namespace

CarryPlan PlanCarry(const PhraseTable& oldProject, const PhraseTable& newProject, const CarryOptions& options) {
  std::vector<int32_t> oldIndex, newIndex;
  const std::vector<MatchItem> olds = ItemsOf(oldProject, oldIndex, true);
  const std::vector<MatchItem> news = ItemsOf(newProject, newIndex, false);
  PairingOptions pairingOptions;
  pairingOptions.FuzzyPercent = options.FuzzyPercent;
  const PhrasePairing m = PairPhrases(olds, news, pairingOptions);

  // The new items that take from each old item, in index order.
  std::vector<std::vector<int32_t>> takers(olds.size());
  for (size_t n = 0; n < news.size(); ++n)
    if (m.SourceOfNew[n] >= 0) takers[static_cast<size_t>(m.SourceOfNew[n])].push_back(static_cast<int32_t>(n));

  CarryPlan plan;
  CarryCounts& c = plan.Counts;
  plan.Entries.reserve(olds.size() + news.size());
  for (size_t o = 0; o < olds.size(); ++o) {
    const TPhrase& op = oldProject.Phrases[static_cast<size_t>(oldIndex[o])];
    const bool translated = oldProject.HasEditedText(op);
    if (takers[o].empty()) {
      CarryEntry e;
      e.OldIndex = oldIndex[o];
      if (m.OldUndecided[o]) {
        e.Status = m.OldLimit[o] != LimitReason::None ? CarryStatus::Limit : CarryStatus::Ambiguous;
        e.Limit = m.OldLimit[o];
        e.Candidates = IndicesOf(m.OldCandidates[o], newIndex);
        e.CandidateCount = m.OldCandidateCount[o];
        CountLimit(c, e.Limit);
      } else {
        e.Status = CarryStatus::Gone;
      }
      CountOld(c, e.Status, translated && !m.OldPassedOn[o]);
      plan.Entries.push_back(std::move(e));
      continue;
    }
    CarryStatus best = CarryStatus::Matched;
    for (int32_t n : takers[o]) {
      CarryEntry e;
      e.OldIndex = oldIndex[o];
      e.NewIndex = newIndex[static_cast<size_t>(n)];
      e.Rule = m.RuleOfNew[static_cast<size_t>(n)];
      e.Percent = m.PercentOfNew[static_cast<size_t>(n)];
      const TPhrase& np = newProject.Phrases[static_cast<size_t>(e.NewIndex)];
      if (!translated)
        e.Status = CarryStatus::Matched;
      else if (newProject.HasEditedText(np) && !options.Overwrite)
        e.Status = CarryStatus::Kept;
      else
        e.Status = RuleOutcome(e.Rule) == CarryOutcome::Carried ? CarryStatus::Carried : CarryStatus::Review;
      if (Strength(e.Status) > Strength(best)) best = e.Status;
      CountNew(c, e.Status);
      plan.Entries.push_back(std::move(e));
    }
    CountOld(c, best, false);
  }
  for (size_t n = 0; n < news.size(); ++n) {
    if (m.SourceOfNew[n] >= 0) continue;
    CarryEntry e;
    e.NewIndex = newIndex[n];
    if (m.NewUndecided[n]) {
      e.Status = m.NewLimit[n] != LimitReason::None ? CarryStatus::Limit : CarryStatus::Ambiguous;
      e.Limit = m.NewLimit[n];
      e.Candidates = IndicesOf(m.NewCandidates[n], oldIndex);
      e.CandidateCount = m.NewCandidateCount[n];
      CountLimit(c, e.Limit);
    } else {
      e.Status = CarryStatus::New;
    }
    CountNew(c, e.Status);
    plan.Entries.push_back(std::move(e));
  }
  return plan;
}

namespace {

bool Applies(const CarryEntry& e) { return e.Status == CarryStatus::Carried || e.Status == CarryStatus::Review; }

}  // namespace

void CheckCarryRoom(const PhraseTable& oldProject, const PhraseTable& newProject, const CarryPlan& plan) {
  size_t added = 0;  // phrases that have no text yet and will have one
  for (const CarryEntry& e : plan.Entries) {
    if (!Applies(e)) continue;
    if (e.OldIndex < 0 || e.NewIndex < 0 || static_cast<size_t>(e.OldIndex) >= oldProject.Phrases.size() ||
        static_cast<size_t>(e.NewIndex) >= newProject.Phrases.size())
      throw std::out_of_range("The carry plan names a phrase that the project does not hold.");
    if (NeedsNewText(oldProject, newProject, e) &&
        !newProject.HasEditedText(newProject.Phrases[static_cast<size_t>(e.NewIndex)]))
      ++added;
  }
  // Texts no phrase names any longer make room again when the list is full
  // (PhraseTable::AppendEditedText), so only the texts in use count, and a
  // text that replaces another takes that one's place.
  size_t inUse = 0;
  for (const TPhrase& p : newProject.Phrases)
    if (newProject.HasEditedText(p)) ++inUse;
  if (inUse + added > kMaxEditedTexts)
    throw ERefusal("The new project has no room for " + std::to_string(added) +
                            " more translations: a project holds at most 32768 edited texts.");
}

bool ApplyCarry(const PhraseTable& oldProject, PhraseTable& newProject, const CarryPlan& plan) {
  auto applies = Applies;
  // Check everything first: a refused carry leaves the project as it was.
  CheckCarryRoom(oldProject, newProject, plan);

  bool changed = false;
  for (const CarryEntry& e : plan.Entries) {
    if (!applies(e)) continue;
    const TPhrase& o = oldProject.Phrases[static_cast<size_t>(e.OldIndex)];
    const auto index = static_cast<size_t>(e.NewIndex);
    if (NeedsNewText(oldProject, newProject, e)) {
      // The replaced text is no longer in use, so a full list can drop it.
      newProject.Phrases[index].EditIndex = -1;
      newProject.AppendEditedText(index, std::string(oldProject.EditedText(o)));
      changed = true;
    }
    TPhrase& n = newProject.Phrases[index];
    uint16_t flags = n.Flags & static_cast<uint16_t>(~(pfOn | pfHide));
    if (e.Status == CarryStatus::Carried && (o.Flags & pfOn)) flags |= pfOn;
    if (flags != n.Flags) {
      n.Flags = flags;
      changed = true;
    }
  }
  return changed;
}

}  // namespace velmora
