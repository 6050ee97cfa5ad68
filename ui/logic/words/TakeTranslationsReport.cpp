#include "ui/logic/words/TakeTranslationsReport.h"

#include <optional>

#include "ui/logic/words/CountWords.h"

namespace velmora::ui {

namespace {

// Replaces the first "{name}" of text with value.
std::string Fill(std::string text, const std::string& name, const std::string& value) {
  const std::string key = "{" + name + "}";
  if (const size_t at = text.find(key); at != std::string::npos) text.replace(at, key.size(), value);
  return text;
}

}  // namespace

ReportTable TakeTranslationsReport(const CarryCounts& c, const std::string& fileName, UiLanguage lang) {
  auto text = [lang](CaptionId id) { return std::string(CaptionText(id, lang)); };
  ReportTable r;
  r.Title = text(CaptionId::TakeTranslationsTitle);
  // Every phrase that was given its old translation, needing review or not.
  const std::string taken = CountWithWord(c.Carried + c.Review, CaptionText(CaptionId::TranslationCountForms, lang), lang);
  r.Heading = Fill(Fill(text(CaptionId::TakeTranslationsHeading), "file", fileName), "count", taken);
  r.Columns = {"", text(CaptionId::CarryPhrasesColumn), text(CaptionId::CarryTranslatedColumn)};
  auto row = [&](CaptionId label, size_t phrases, std::optional<size_t> translated = std::nullopt) {
    r.Rows.push_back({text(label), std::to_string(phrases), translated ? std::to_string(*translated) : ""});
  };
  row(CaptionId::CarryCarriedRow, c.Carried);
  row(CaptionId::CarryReviewRow, c.Review);
  row(CaptionId::CarryKeptRow, c.Kept);
  // The phrases left are counted in the old project, beside those of them
  // with a translation.
  row(CaptionId::CarryAmbiguousRow, c.OldAmbiguous, c.AmbiguousTranslated);
  if (c.Limit + c.OldLimit > 0) row(CaptionId::CarryLimitRow, c.OldLimit, c.LimitTranslated);
  row(CaptionId::CarryNewRow, c.New);
  row(CaptionId::CarryGoneRow, c.Gone, c.GoneTranslated);
  row(CaptionId::CarryMatchedRow, c.Matched);
  return r;
}

}  // namespace velmora::ui
