#include "project/carry/CarryReport.h"

#include <cstdio>

#include "project/carry/DecisionTable.h"
#include "project/text/HexText.h"
#include "project/text/OneLineText.h"

namespace velmora {

namespace {

std::string Label(const char* label) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%-32s ", label);
  return buf;
}

std::string From(size_t newCount, size_t oldCount) {
  return std::to_string(newCount) + " (from " + std::to_string(oldCount) + " old phrase" + (oldCount == 1 ? "" : "s") +
         ")";
}

std::string BothSides(size_t newCount, size_t oldCount, size_t translated) {
  return std::to_string(newCount) + " new, " + std::to_string(oldCount) + " old (" + std::to_string(translated) +
         " with a translation)";
}

}  // namespace

std::string CarrySummary(const CarryCounts& c) {
  std::string s;
  s += Label("Carried:") + From(c.Carried, c.OldCarried) + "\n";
  s += Label("Carried, needs review:") + From(c.Review, c.OldReview) + "\n";
  s += Label("Kept (already translated):") + From(c.Kept, c.OldKept) + "\n";
  s += Label("Ambiguous, left alone:") + BothSides(c.Ambiguous, c.OldAmbiguous, c.AmbiguousTranslated) + "\n";
  if (c.Limit + c.OldLimit > 0) {
    s += Label("Left at a limit:") + BothSides(c.Limit, c.OldLimit, c.LimitTranslated);
    std::string causes;
    for (const auto& [count, why] : {std::pair{c.LimitChangeCap, LimitReason::ChangeCap},
                                     std::pair{c.LimitCellBudget, LimitReason::CellBudget}})
      if (count > 0)
        causes += (causes.empty() ? "" : "; ") + std::string(LimitReasonText(why)) + " (" + std::to_string(count) +
                  " phrases)";
    s += "; " + causes + "\n";
  }
  s += Label("New (only in the new project):") + std::to_string(c.New) + "\n";
  s += Label("Gone (only in the old project):") + std::to_string(c.Gone) + " (" + std::to_string(c.GoneTranslated) +
       " with a translation)\n";
  s += Label("Matched, nothing to carry:") + From(c.Matched, c.OldMatched) + "\n";
  return s;
}

std::string CandidateText(const CarryEntry& e) {
  std::string s;
  for (int32_t index : e.Candidates) {
    if (!s.empty()) s += ' ';
    s += std::to_string(index);
  }
  if (e.CandidateCount > e.Candidates.size())
    s += " +" + std::to_string(e.CandidateCount - e.Candidates.size()) + " more";
  return s;
}

std::string_view WorkLeftHeader() {
  return "Status\tOld index\tText\tTranslation\tNew index\tCandidates\tRule or cause";
}

std::string WorkLeftList(const PhraseTable& oldProject, const PhraseTable& newProject, const CarryPlan& plan,
                         CodePage codePage) {
  auto text = [&](std::string_view bytes) { return OneLineText(ToUtf8(bytes, codePage)); };
  std::string s;
  for (const CarryEntry& e : plan.Entries) {
    const TPhrase* o = e.OldIndex >= 0 ? &oldProject.Phrases[static_cast<size_t>(e.OldIndex)] : nullptr;
    const TPhrase* n = e.NewIndex >= 0 ? &newProject.Phrases[static_cast<size_t>(e.NewIndex)] : nullptr;
    const bool translated = o && oldProject.HasEditedText(*o);
    const bool listed = e.Status == CarryStatus::Review || e.Status == CarryStatus::Ambiguous ||
                        e.Status == CarryStatus::Limit || (e.Status == CarryStatus::Gone && translated);
    if (!listed) continue;
    s += CarryStatusName(e.Status);
    s += '\t';
    if (o) s += std::to_string(e.OldIndex);
    s += '\t';
    s += o ? text(oldProject.OriginText(*o)) : text(newProject.OriginText(*n));
    s += '\t';
    if (translated) s += text(oldProject.EditedText(*o));
    s += '\t';
    if (n) s += std::to_string(e.NewIndex);
    s += '\t';
    s += CandidateText(e);
    s += '\t';
    if (e.Status == CarryStatus::Review) {
      s += PairRuleName(e.Rule);
      if (e.Rule == PairRule::Fuzzy) s.append(1, ' ').append(std::to_string(e.Percent)).append(1, '%');
    } else if (e.Status == CarryStatus::Limit) {
      s += LimitReasonText(e.Limit);
    }
    s += '\n';
  }
  return s;
}

std::string CarryTable(const PhraseTable& oldProject, const PhraseTable& newProject, const CarryPlan& plan,
                       CodePage codePage) {
  std::string s =
      "Status\tRule\tDifference %\tOld index\tNew index\tOld string address\tNew string address\t"
      "Old text\tNew text\tTranslation\tNew project's translation\tCandidates\tCause\n";
  auto text = [&](std::string_view bytes) { return OneLineText(ToUtf8(bytes, codePage)); };
  for (const CarryEntry& e : plan.Entries) {
    const TPhrase* o = e.OldIndex >= 0 ? &oldProject.Phrases[static_cast<size_t>(e.OldIndex)] : nullptr;
    const TPhrase* n = e.NewIndex >= 0 ? &newProject.Phrases[static_cast<size_t>(e.NewIndex)] : nullptr;
    s += CarryStatusName(e.Status);
    s += '\t';
    s += PairRuleName(e.Rule);
    s += '\t';
    if (e.Rule == PairRule::Fuzzy) s += std::to_string(e.Percent);
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
    s += '\t';
    s += CandidateText(e);
    s += '\t';
    s += LimitReasonText(e.Limit);
    s += '\n';
  }
  return s;
}

}  // namespace velmora
