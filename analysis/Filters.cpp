#include "analysis/Filters.h"

namespace velmora {

bool IsUntranslated(const TPhrase& phrase) { return !(phrase.Flags & pfLink) && phrase.EditIndex < 0; }

bool IsToReview(const TPhrase& phrase) {
  return !(phrase.Flags & pfLink) && phrase.EditIndex >= 0 && !(phrase.Flags & pfOn);
}

PhraseCounts CountPhrases(const PhraseTable& table) {
  PhraseCounts counts;
  for (const TPhrase& p : table.Phrases) {
    if (p.Flags & pfLink) {
      ++counts.Links;
      continue;
    }
    ++counts.Phrases;
    if (p.Flags & pfHide) ++counts.Hidden;
    if (table.HasEditedText(p)) ++counts.Edited;
    if (p.Flags & pfOn) ++counts.On;
  }
  return counts;
}

std::vector<int32_t> FilterRows(const PhraseTable& table, GridFilter filter) {
  std::vector<int32_t> rows;
  rows.reserve(table.Phrases.size());
  for (size_t i = 0; i < table.Phrases.size(); ++i) {
    const TPhrase& p = table.Phrases[i];
    if (p.Flags & pfLink) continue;
    if (filter == GridFilter::OnlyEdited && p.EditIndex < 0) continue;
    if (filter == GridFilter::NoHidden && (p.Flags & pfHide)) continue;
    if (filter == GridFilter::FinalResult && !(p.Flags & pfOn)) continue;
    if (filter == GridFilter::Untranslated && !IsUntranslated(p)) continue;
    if (filter == GridFilter::ToReview && !IsToReview(p)) continue;
    rows.push_back(static_cast<int32_t>(i));
  }
  return rows;
}

std::optional<GridFilter> GridFilterFromName(std::string_view name) {
  if (name == "all") return GridFilter::NoFilter;
  if (name == "no-hidden") return GridFilter::NoHidden;
  if (name == "only-edited") return GridFilter::OnlyEdited;
  if (name == "final") return GridFilter::FinalResult;
  if (name == "untranslated") return GridFilter::Untranslated;
  if (name == "to-review") return GridFilter::ToReview;
  return std::nullopt;
}

std::string_view GridFilterNameList() { return "all, no-hidden, only-edited, final, untranslated or to-review"; }

}  // namespace velmora
