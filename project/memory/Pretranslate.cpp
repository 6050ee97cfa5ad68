#include "project/memory/Pretranslate.h"

#include <algorithm>
#include <cstdio>

#include "analysis/Filters.h"
#include "container/io/StreamErrors.h"
#include "project/check/PrintfFault.h"
#include "project/text/OneLineText.h"

namespace velmora {

namespace {

bool IsAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

struct Agreement {
  std::string Target;
  uint32_t Places = 0;
  bool Approved = false;  // some entry was switched on
};

// The translations the memory gives one text, each with the places that
// give it, in the order first met.
std::vector<Agreement> Translations(const std::vector<MemoryHit>& hits) {
  std::vector<Agreement> out;
  for (const MemoryHit& h : hits) {
    auto it = std::find_if(out.begin(), out.end(), [&](const Agreement& a) { return a.Target == h.Target; });
    if (it == out.end()) it = out.insert(out.end(), Agreement{h.Target, 0, false});
    it->Places += h.Weight;
    it->Approved = it->Approved || !h.Review;
  }
  return out;
}

std::string Quoted(const std::string& s) { return "\"" + OneLineText(s) + "\""; }

void Take(PretranslateEntry& e, const PhraseTable& table, const TPhrase& p, TCodePageEncoder& encoder,
          const PretranslateOptions& options) {
  e.Fit = FitInUnit(e.Translation, p, encoder);
  if (e.Fit.Fit == ByteFit::Unwritable || e.Fit.Fit == ByteFit::TooLong) {
    e.Outcome = PretranslateOutcome::NotCarried;
    e.Reason = e.Fit.Problem;
    return;
  }
  if (const std::string fault = PrintfFault(table.OriginText(p), e.Fit.Bytes); !fault.empty()) {
    e.Outcome = PretranslateOutcome::NotCarried;
    e.Reason = "printf: " + fault;
    return;
  }
  if (!options.Terms) return;
  const auto forbidden = options.Terms->ForbiddenTerms(e.Translation);
  if (!forbidden.empty()) {
    e.Outcome = PretranslateOutcome::NotCarried;
    e.Reason = "it holds " + Quoted(forbidden[0].Term) + ", which the glossary forbids";
    return;
  }
  for (const TermHit& hit : options.Terms->SourceTerms(e.Origin)) {
    const GlossaryEntry& g = options.Terms->Terms().Entries[hit.Entry];
    if (g.Targets.empty() || options.Terms->HoldsTarget(e.Translation, hit.Entry)) continue;
    e.Note += (e.Note.empty() ? "" : "; ") + std::string("the glossary translates ") + Quoted(hit.Term) + " as " +
              Quoted(g.Targets[0]) + ", which the translation lacks";
  }
}

}  // namespace

std::string_view PretranslateOutcomeName(PretranslateOutcome outcome) {
  switch (outcome) {
    case PretranslateOutcome::Carried:
      return "carried";
    case PretranslateOutcome::Review:
      return "review";
    case PretranslateOutcome::NotCarried:
      return "not carried";
  }
  return "not carried";
}

std::vector<int32_t> PretranslatePlan::Taken() const {
  std::vector<int32_t> out;
  for (const PretranslateEntry& e : Entries)
    if (e.Outcome != PretranslateOutcome::NotCarried) out.push_back(e.Index);
  return out;
}

PretranslatePlan PlanPretranslation(const PhraseTable& table, const TranslationMemory& memory,
                                    const PretranslateOptions& options) {
  PretranslatePlan plan;
  MemorySearch search(memory, options.Language);
  TCodePageEncoder encoder(options.Page);
  TCodePageDecoder decoder(options.Page);
  for (size_t i = 0; i < table.Phrases.size(); ++i) {
    const TPhrase& p = table.Phrases[i];
    if (p.Flags & pfLink) continue;
    if (!IsUntranslated(p) && !options.Overwrite) {
      ++plan.Counts.Kept;
      continue;
    }
    PretranslateEntry e;
    e.Index = static_cast<int32_t>(i);
    const std::string_view bytes = table.OriginText(p);
    e.Origin = IsAscii(bytes) ? std::string(bytes) : decoder.Decode(bytes);

    const std::vector<MemoryHit> same = search.Exact(e.Origin);
    if (!same.empty()) {
      const std::vector<Agreement> ways = Translations(same);
      const auto chosen = std::max_element(ways.begin(), ways.end(),
                                           [](const Agreement& a, const Agreement& b) { return a.Places < b.Places; });
      e.Matched = true;
      e.Score = same[0].Score;
      e.Source = e.Origin;
      e.Translation = chosen->Target;
      e.Agreeing = chosen->Places;
      for (const Agreement& a : ways) e.Places += a.Places;
      if (ways.size() > 1) {
        e.Outcome = PretranslateOutcome::Review;
        e.Reason = "the memory translates the text " + std::to_string(ways.size()) + " ways; " +
                   std::to_string(e.Agreeing) + " of its " + std::to_string(e.Places) + " places give this one";
      } else if (!chosen->Approved) {
        e.Outcome = PretranslateOutcome::Review;
        e.Reason = "the memory holds the translation for review";
      } else {
        e.Outcome = PretranslateOutcome::Carried;
      }
    } else {
      std::vector<MemoryHit> best = search.Best(e.Origin, 1, options.MinScore);
      if (best.empty()) {
        e.Reason = "no match of " + std::to_string(options.MinScore) + "% or more";
      } else {
        MemoryHit& hit = best[0];
        e.Matched = true;
        e.Score = hit.Score;
        e.Source = std::move(hit.Source);
        e.Translation = std::move(hit.Target);
        e.Outcome = PretranslateOutcome::Review;
        e.Reason = hit.Score.Kind == MatchKind::CaseOnly ? "the memory's text differs in the case of its letters"
                                                         : "a similar text, " + std::to_string(hit.Score.Percent) + "%";
        if (hit.Score.PrintfDiffers) e.Note = "the memory's text has other printf directives";
        if (hit.Score.DigitsDiffer)
          e.Note += (e.Note.empty() ? "" : "; ") + std::string("the memory's text has other digits");
      }
    }
    if (e.Matched) Take(e, table, p, encoder, options);
    switch (e.Outcome) {
      case PretranslateOutcome::Carried:
        ++plan.Counts.Carried;
        break;
      case PretranslateOutcome::Review:
        ++plan.Counts.Review;
        break;
      case PretranslateOutcome::NotCarried:
        ++(e.Matched ? plan.Counts.Refused : plan.Counts.NoMatch);
        break;
    }
    plan.Entries.push_back(std::move(e));
  }
  return plan;
}

bool ApplyPretranslation(PhraseTable& table, const PretranslatePlan& plan) {
  // A failure half way puts the records and texts back as they were.
  const std::vector<TPhrase> phrases = table.Phrases;
  const std::vector<std::string> texts = table.EditedTexts;
  bool changed = false;
  try {
    for (const PretranslateEntry& e : plan.Entries) {
      if (e.Outcome == PretranslateOutcome::NotCarried || e.Index < 0 ||
          static_cast<size_t>(e.Index) >= table.Phrases.size())
        continue;
      const auto i = static_cast<size_t>(e.Index);
      if (table.Phrases[i].Flags & pfLink) continue;
      if (!table.HasEditedText(table.Phrases[i]) || table.EditedText(table.Phrases[i]) != e.Fit.Bytes) {
        table.AppendEditedText(i, e.Fit.Bytes);
        changed = true;
      }
      TPhrase& p = table.Phrases[i];
      uint16_t flags = static_cast<uint16_t>(p.Flags & ~pfHide);
      flags = e.Outcome == PretranslateOutcome::Carried ? static_cast<uint16_t>(flags | pfOn)
                                                        : static_cast<uint16_t>(flags & ~pfOn);
      changed = changed || flags != p.Flags;
      p.Flags = flags;
    }
  } catch (...) {
    table.Phrases = phrases;
    table.EditedTexts = texts;
    throw;
  }
  return changed;
}

namespace {

std::string Line(const std::string& label, size_t count) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%-32s %zu", label.c_str(), count);
  return buf;
}

}  // namespace

std::string PretranslateSummary(const PretranslateCounts& c, int minScore) {
  std::string s;
  s += Line("Carried:", c.Carried) + "\n";
  s += Line("Carried, needs review:", c.Review) + "\n";
  s += Line("Not carried, refused:", c.Refused) + "\n";
  s += Line("No match of " + std::to_string(minScore) + "% or more:", c.NoMatch) + "\n";
  s += Line("Kept (already translated):", c.Kept) + "\n";
  return s;
}

std::string NotCarriedList(const PretranslatePlan& plan) {
  std::string s;
  for (const PretranslateEntry& e : plan.Entries) {
    if (e.Outcome != PretranslateOutcome::NotCarried || !e.Matched) continue;
    s += std::string(PretranslateOutcomeName(e.Outcome)) + "\t" + std::to_string(e.Index) + "\t" + e.Reason + "\t" +
         OneLineText(e.Origin) + "\t" + OneLineText(e.Translation) + "\n";
  }
  return s;
}

std::string PretranslateTable(const PretranslatePlan& plan) {
  std::string s =
      "Outcome\tIndex\tMatch\tScore\tByte fit\tBytes\tRoom\tOrigin\tMemory source\tTranslation\tReason\tNote\n";
  for (const PretranslateEntry& e : plan.Entries) {
    s += PretranslateOutcomeName(e.Outcome);
    s += '\t' + std::to_string(e.Index) + '\t';
    if (e.Matched)
      s += std::string(MatchKindName(e.Score.Kind)) + '\t' + std::to_string(e.Score.Percent);
    else
      s += '\t';
    s += '\t';
    if (e.Matched) {
      s += ByteFitName(e.Fit.Fit);
      s += '\t';
      if (!e.Fit.Bytes.empty() || e.Fit.Fit != ByteFit::Unwritable) s += std::to_string(e.Fit.Size);
      s += '\t' + std::to_string(e.Fit.Room);
    } else {
      s += "\t\t";
    }
    s += '\t' + OneLineText(e.Origin) + '\t' + OneLineText(e.Source) + '\t' + OneLineText(e.Translation) + '\t' +
         OneLineText(e.Reason) + '\t' + OneLineText(e.Note) + '\n';
  }
  return s;
}

}  // namespace velmora
