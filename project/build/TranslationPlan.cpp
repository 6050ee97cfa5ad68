#include "project/build/TranslationPlan.h"

#include <algorithm>

#include "analysis/UnitText.h"
#include "container/kiwi/KiwiPrimitives.h"
#include "project/build/BinBuilder.h"

namespace velmora {

bool RecordFitsImage(const TPhrase& p, uint32_t imageLength, bool withString) {
  if (p.LinkAddress > imageLength || imageLength - p.LinkAddress < 4) return false;
  return !withString || (p.StringAddress <= imageLength && p.Length <= imageLength - p.StringAddress);
}

TranslationPlan PlanTranslations(const PhraseTable& table) {
  TranslationPlan plan;
  plan.ImageLength =
      static_cast<uint32_t>(std::min<uint64_t>(table.ImageLength(), table.UnitImage.size()));
  BuildSummary& s = plan.Summary;
  for (size_t i = 0; i < table.Phrases.size(); ++i) {
    const TPhrase& p = table.Phrases[i];
    if ((p.Flags & pfLink) || !(p.Flags & pfOn) || !table.HasEditedText(p)) continue;
    if (!RecordFitsImage(p, plan.ImageLength, true)) continue;
    const PreparedText prepared = PrepareTextForUnit(table.EditedTexts[static_cast<size_t>(p.EditIndex)]);
    PlannedText t;
    t.Index = i;
    t.Relocated = prepared.Bytes.size() > p.Length;
    t.RelocatedSize = t.Relocated ? prepared.RelocatedSize() : 0;
    t.Bytes = prepared.Bytes;
    (t.Relocated ? s.Relocated : s.InPlace) += 1;
    s.AppendedBytes += t.RelocatedSize;
    plan.Texts.push_back(std::move(t));
  }
  s.OldSize = plan.ImageLength;
  s.NewSize = RoundUp(s.OldSize + s.AppendedBytes, 4);
  s.PaddedSize = RoundUp(s.NewSize, kUnitPadding);
  return plan;
}

std::vector<std::string> SummaryLines(const BuildSummary& s) {
  return {"Translations in place: " + std::to_string(s.InPlace),
          "Translations relocated: " + std::to_string(s.Relocated),
          "Bytes appended: " + std::to_string(s.AppendedBytes),
          "Unit size: " + std::to_string(s.OldSize) + " -> " + std::to_string(s.NewSize) + " bytes"};
}

}  // namespace velmora
