// How the window presents the open project: the interface language and its
// captions, the display code page and the unit's character set (what the
// texts are shown and checked by), and the grid's view of the phrase table
// (filter, rows, selection, headers and the two text boxes). Each choice
// returns the kChanged* bits (MainWindow.h) of what it changed; the command
// that makes it tells the window.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "analysis/Filters.h"
#include "analysis/PhraseTable.h"
#include "project/check/Check.h"
#include "project/text/CodePages.h"
#include "ui/logic/grid/PhraseGrid.h"
#include "ui/logic/words/CaptionTables.h"

namespace velmora::ui {

class Presentation {
 public:
  explicit Presentation(PhraseTable& table);
  Presentation(const Presentation&) = delete;
  Presentation& operator=(const Presentation&) = delete;

  PhraseGrid& Grid() { return grid_; }
  const PhraseGrid& Grid() const { return grid_; }
  UiLanguage Language() const { return language_; }
  // The current text of a caption-table row (empty before the first
  // language is applied).
  const std::string& Caption(CaptionId id) const { return captions_[static_cast<size_t>(id)]; }
  CodePage DisplayCodePage() const { return codePage_; }
  // A phrase's 8-bit text as UTF-8, read through the display code page.
  std::string DisplayText(std::string_view bytes) const { return ToUtf8(bytes, codePage_); }
  // The unit's character set, when one was taken from a file; kept while
  // the program runs.
  const std::optional<std::set<uint32_t>>& Charset() const { return charset_; }
  void SetCharset(std::optional<std::set<uint32_t>> charset) { charset_ = std::move(charset); }
  // What the checks go by now: the display code page and the character set.
  CheckOptions CheckOptionsNow() const;

  // The grid shows the phrases that filter lets through (the filter
  // buttons).
  [[nodiscard]] unsigned ShowFilter(GridFilter filter);
  // Every caption in lang (the Language menu).
  [[nodiscard]] unsigned ApplyLanguage(UiLanguage lang);
  // The texts are shown through page (the Code Page menu).
  [[nodiscard]] unsigned ChooseCodePage(CodePage page);
  // The phrase table was emptied: no rows, empty text boxes, header counts
  // of nothing.
  [[nodiscard]] unsigned ClearRows();

 private:
  const PhraseTable& table_;
  PhraseGrid grid_;
  UiLanguage language_ = UiLanguage::Russian;
  std::array<std::string, kCaptionCount> captions_;
  CodePage codePage_ = CodePage::Default;
  std::optional<std::set<uint32_t>> charset_;
};

}  // namespace velmora::ui
