#include "ui/logic/state/Presentation.h"

#include "ui/logic/MainWindow.h"
#include "ui/logic/grid/CaseFolding.h"

namespace velmora::ui {

Presentation::Presentation(PhraseTable& table) : table_(table), grid_(table) {
  grid_.SetShiftJis(IsShiftJis(codePage_));
}

CheckOptions Presentation::CheckOptionsNow() const {
  CheckOptions options;
  options.Page = codePage_;
  options.Charset = charset_;
  return options;
}

unsigned Presentation::ShowFilter(GridFilter filter) {
  grid_.SetFilter(filter);
  unsigned what = kChangedFilter;
  if (!table_.Phrases.empty()) {
    grid_.RefillGrid();
    what |= kChangedRows | kChangedSelection | kChangedMemos | kChangedHeaders;
  }
  return what;
}

unsigned Presentation::ApplyLanguage(UiLanguage lang) {
  language_ = lang;
  for (const CaptionRow& row : CaptionRows())
    captions_[static_cast<size_t>(row.Id)] = lang == UiLanguage::English ? row.English : row.Russian;
  grid_.OriginHeader = Caption(CaptionId::OriginHeader);
  grid_.EditedHeader = Caption(CaptionId::EditedHeader);
  grid_.UpdateColumnHeaders();
  return kChangedCaptions | kChangedHeaders;
}

unsigned Presentation::ChooseCodePage(CodePage page) {
  codePage_ = page;
  grid_.SetShiftJis(IsShiftJis(codePage_));
  unsigned what = kChangedCodePage | kChangedCells | kChangedMemos;
  if (codePage_ == CodePage::Japanese) {
    // The Japanese font shows no Cyrillic: the two column labels turn
    // English until a language is chosen again.
    grid_.OriginHeader = CaptionText(CaptionId::OriginHeader, UiLanguage::English);
    grid_.EditedHeader = CaptionText(CaptionId::EditedHeader, UiLanguage::English);
    grid_.UpdateColumnHeaders();
    what |= kChangedHeaders;
  }
  return what;
}

unsigned Presentation::ClearRows() {
  grid_.ClearRows();
  // The header counts follow the emptied rows.
  grid_.UpdateColumnHeaders();
  return kChangedRows | kChangedSelection | kChangedMemos | kChangedHeaders;
}

}  // namespace velmora::ui
