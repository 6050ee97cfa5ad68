#include "project/stats/ProjectStats.h"

#include <algorithm>

#include "analysis/Filters.h"
#include "project/build/TranslationPlan.h"
#include "project/text/LetterCase.h"
#include "project/text/Unicode.h"

namespace velmora {

double ProjectStats::GrowthPercent() const {
  return UnitBytes == 0 ? 0.0 : 100.0 * static_cast<double>(Growth()) / static_cast<double>(UnitBytes);
}

ProjectStats& ProjectStats::operator+=(const ProjectStats& o) {
  Projects += o.Projects;
  Phrases += o.Phrases;
  Hidden += o.Hidden;
  Translated += o.Translated;
  SwitchedOn += o.SwitchedOn;
  ToReview += o.ToReview;
  Untranslated += o.Untranslated;
  Words += o.Words;
  UntranslatedWords += o.UntranslatedWords;
  TranslationBytes += o.TranslationBytes;
  Relocated += o.Relocated;
  RelocatedBytes += o.RelocatedBytes;
  UnitBytes += o.UnitBytes;
  BuiltBytes += o.BuiltBytes;
  return *this;
}

size_t CountWords(std::string_view text) {
  size_t words = 0;
  bool inWord = false;
  for (size_t i = 0; i < text.size();) {
    const uint32_t cp = NextCodePoint(text, i);
    if (IsUnspacedCharacter(cp)) {
      ++words;
      inWord = false;
    } else if (IsWordCharacter(cp)) {
      if (!inWord) ++words;
      inWord = true;
    } else {
      inWord = false;
    }
  }
  return words;
}

ProjectStats CountProject(const PhraseTable& table, CodePage page) {
  ProjectStats s;
  s.Projects = 1;
  TCodePageDecoder decoder(page);
  for (const TPhrase& p : table.Phrases) {
    if (p.Flags & pfLink) continue;
    ++s.Phrases;
    if (p.Flags & pfHide) ++s.Hidden;
    if (table.HasEditedText(p)) ++s.Translated;
    if (table.HasEditedText(p) && (p.Flags & pfOn)) ++s.SwitchedOn;
    if (IsToReview(p)) ++s.ToReview;
    const std::string_view origin = table.OriginText(p);
    const bool ascii =
        std::all_of(origin.begin(), origin.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    const size_t words = CountWords(ascii ? std::string(origin) : decoder.Decode(origin));
    s.Words += words;
    if (IsUntranslated(p)) {
      ++s.Untranslated;
      s.UntranslatedWords += words;
    }
  }
  const TranslationPlan plan = PlanTranslations(table);
  for (const PlannedText& t : plan.Texts) s.TranslationBytes += t.Bytes.size();
  s.Relocated = plan.Summary.Relocated;
  s.RelocatedBytes = plan.Summary.AppendedBytes;
  s.UnitBytes = plan.Summary.OldSize;
  s.BuiltBytes = plan.Summary.NewSize;
  return s;
}

}  // namespace velmora
