#include "project/carry/Carry.h"

#include <stdexcept>
#include <string>

#include "container/io/StreamErrors.h"

namespace velmora {

namespace {

// The phrases that take part (no link records) and their table indices.
std::vector<MatchItem> ItemsOf(const PhraseTable& table, std::vector<int32_t>& indices) {
  std::vector<MatchItem> items;
  for (size_t i = 0; i < table.Phrases.size(); ++i) {
    const TPhrase& p = table.Phrases[i];
    if (p.Flags & pfLink) continue;
    items.push_back({table.OriginText(p), p.StringAddress, p.LinkAddress});
    indices.push_back(static_cast<int32_t>(i));
  }
  return items;
}

void Count(CarryCounts& c, const CarryEntry& e, bool translated) {
  switch (e.Status) {
    case CarryStatus::Carried: ++c.Carried; break;
    case CarryStatus::Review: ++c.Review; break;
    case CarryStatus::Kept: ++c.Kept; break;
    case CarryStatus::Matched: ++c.Matched; break;
    case CarryStatus::Ambiguous:
      ++c.Ambiguous;
      if (translated) ++c.AmbiguousTranslated;
      break;
    case CarryStatus::Gone:
      ++c.Gone;
      if (translated) ++c.GoneTranslated;
      break;
    case CarryStatus::New: ++c.New; break;
    case CarryStatus::Limit:
      ++c.Limit;
      if (translated) ++c.LimitTranslated;
      break;
  }
}

// Whether applying the entry needs a new entry of EditedTexts.
bool NeedsNewText(const PhraseTable& oldProject, const PhraseTable& newProject, const CarryEntry& e) {
  const TPhrase& n = newProject.Phrases[static_cast<size_t>(e.NewIndex)];
  const TPhrase& o = oldProject.Phrases[static_cast<size_t>(e.OldIndex)];
  return !(newProject.HasEditedText(n) && newProject.EditedText(n) == oldProject.EditedText(o));
}

}  // namespace

std::string_view CarryStatusName(CarryStatus status) {
  switch (status) {
    case CarryStatus::Carried: return "carried";
    case CarryStatus::Review: return "review";
    case CarryStatus::Kept: return "kept";
    case CarryStatus::Matched: return "matched";
    case CarryStatus::Ambiguous: return "ambiguous";
    case CarryStatus::Limit: return "limit";
    case CarryStatus::Gone: return "gone";
    case CarryStatus::New: return "new";
  }
  return "";
}

std::string_view MatchRuleName(MatchRule rule) {
  switch (rule) {
    case MatchRule::None: return "";
    case MatchRule::Unique: return "unique";
    case MatchRule::Neighbours: return "neighbours";
    case MatchRule::Fuzzy: return "fuzzy";
  }
  return "";
}

CarryPlan PlanCarry(const PhraseTable& oldProject, const PhraseTable& newProject, const CarryOptions& options) {
  std::vector<int32_t> oldIndex, newIndex;
  const std::vector<MatchItem> olds = ItemsOf(oldProject, oldIndex);
  const std::vector<MatchItem> news = ItemsOf(newProject, newIndex);
  const TextMatch m = MatchTexts(olds, news, options.FuzzyPercent);

  CarryPlan plan;
  plan.Entries.reserve(olds.size() + news.size());
  for (size_t o = 0; o < olds.size(); ++o) {
    CarryEntry e;
    e.OldIndex = oldIndex[o];
    const TPhrase& op = oldProject.Phrases[static_cast<size_t>(e.OldIndex)];
    const bool translated = oldProject.HasEditedText(op);
    if (m.NewOfOld[o] >= 0) {
      e.NewIndex = newIndex[static_cast<size_t>(m.NewOfOld[o])];
      e.Rule = m.Rule[o];
      e.Percent = m.Percent[o];
      const TPhrase& np = newProject.Phrases[static_cast<size_t>(e.NewIndex)];
      if (!translated)
        e.Status = CarryStatus::Matched;
      else if (newProject.HasEditedText(np) && !options.Overwrite)
        e.Status = CarryStatus::Kept;
      else
        e.Status = e.Rule == MatchRule::Fuzzy ? CarryStatus::Review : CarryStatus::Carried;
    } else {
      e.Status = m.OldLimited[o]     ? CarryStatus::Limit
                 : m.OldAmbiguous[o] ? CarryStatus::Ambiguous
                                     : CarryStatus::Gone;
    }
    Count(plan.Counts, e, translated);
    plan.Entries.push_back(e);
  }
  for (size_t n = 0; n < news.size(); ++n) {
    if (m.OldOfNew[n] >= 0) continue;
    CarryEntry e;
    e.NewIndex = newIndex[n];
    e.Status = m.NewLimited[n]     ? CarryStatus::Limit
               : m.NewAmbiguous[n] ? CarryStatus::Ambiguous
                                   : CarryStatus::New;
    // Counted once, on the old side: a new phrase of an undecided text is
    // the other half of the same question.
    if (e.Status == CarryStatus::New) Count(plan.Counts, e, false);
    plan.Entries.push_back(e);
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
