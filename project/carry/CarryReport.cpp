#include "project/carry/CarryReport.h"

#include <cstdio>

#include "project/text/HexText.h"
#include "project/text/OneLineText.h"

namespace velmora {

namespace {

std::string Line(const char* label, size_t count) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%-32s %zu", label, count);
  return buf;
}

}  // namespace

std::string CarrySummary(const CarryCounts& c) {
  std::string s;
  s += Line("Carried:", c.Carried) + "\n";
  s += Line("Carried, needs review:", c.Review) + "\n";
  s += Line("Kept (already translated):", c.Kept) + "\n";
  s += Line("Ambiguous, left alone:", c.Ambiguous) + " (" + std::to_string(c.AmbiguousTranslated) +
       " with a translation)\n";
  if (c.Limit > 0)
    s += Line("Not tried, too many equal texts:", c.Limit) + " (" + std::to_string(c.LimitTranslated) +
         " with a translation; more than about 1,000 equal texts in one stretch)\n";
  s += Line("New (only in the new project):", c.New) + "\n";
  s += Line("Gone (only in the old project):", c.Gone) + " (" + std::to_string(c.GoneTranslated) +
       " with a translation)\n";
  s += Line("Matched, nothing to carry:", c.Matched) + "\n";
  return s;
}

std::string UncarriedList(const PhraseTable& oldProject, const CarryPlan& plan, CodePage codePage) {
  std::string s;
  for (const CarryEntry& e : plan.Entries) {
    if (e.OldIndex < 0 ||
        (e.Status != CarryStatus::Ambiguous && e.Status != CarryStatus::Gone && e.Status != CarryStatus::Limit))
      continue;
    const TPhrase& p = oldProject.Phrases[static_cast<size_t>(e.OldIndex)];
    if (!oldProject.HasEditedText(p)) continue;
    s += std::string(CarryStatusName(e.Status)) + "\t" + std::to_string(e.OldIndex) + "\t" +
         OneLineText(ToUtf8(oldProject.OriginText(p), codePage)) + "\t" +
         OneLineText(ToUtf8(oldProject.EditedText(p), codePage)) + "\n";
  }
  return s;
}

std::string CarryTable(const PhraseTable& oldProject, const PhraseTable& newProject, const CarryPlan& plan,
                       CodePage codePage) {
  std::string s =
      "Status\tRule\tDifference %\tOld index\tNew index\tOld string address\tNew string address\t"
      "Old text\tNew text\tTranslation\tNew project's translation\n";
  auto text = [&](std::string_view bytes) { return OneLineText(ToUtf8(bytes, codePage)); };
  for (const CarryEntry& e : plan.Entries) {
    const TPhrase* o = e.OldIndex >= 0 ? &oldProject.Phrases[static_cast<size_t>(e.OldIndex)] : nullptr;
    const TPhrase* n = e.NewIndex >= 0 ? &newProject.Phrases[static_cast<size_t>(e.NewIndex)] : nullptr;
    s += CarryStatusName(e.Status);
    s += '\t';
    s += MatchRuleName(e.Rule);
    s += '\t';
    if (e.Rule == MatchRule::Fuzzy) s += std::to_string(e.Percent);
    s += '\t';
    if (o) s += std::to_string(e.OldIndex);
    s += '\t';
    if (n) s += std::to_string(e.NewIndex);
    s += '\t';
    if (o) s += FormatHex0x(o->StringAddress);
    s += '\t';
    if (n) s += FormatHex0x(n->StringAddress);
    s += '\t';
    if (o) s += text(oldProject.OriginText(*o));
    s += '\t';
    if (n) s += text(newProject.OriginText(*n));
    s += '\t';
    if (o && oldProject.HasEditedText(*o)) s += text(oldProject.EditedText(*o));
    s += '\t';
    if (n && newProject.HasEditedText(*n)) s += text(newProject.EditedText(*n));
    s += '\n';
  }
  return s;
}

}  // namespace velmora
