#include "ui/logic/DialogFilters.h"

#include <string_view>

namespace velmora::ui {

namespace {

struct FilterCaption {
  std::string_view English;
  std::string_view Russian;
};

constexpr FilterCaption kRussianCaptions[] = {
    {"Text Files", "Текстовые файлы"},
    {"Text Files, UTF-8", "Текстовые файлы, UTF-8"},
    {"Text Files, UTF-16", "Текстовые файлы, UTF-16"},
    {"Text Files, 8-bit", "Текстовые файлы, 8 бит"},
    {"Text File", "Текстовый файл"},
    {"Text File, UTF-8", "Текстовый файл, UTF-8"},
    {"Text File, UTF-16", "Текстовый файл, UTF-16"},
    {"Text File, 8-bit", "Текстовый файл, 8 бит"},
    {"gettext PO Files", "Файлы gettext PO"},
    {"XLIFF 1.2 Files", "Файлы XLIFF 1.2"},
};

}  // namespace

std::string DialogFilterCaption(const DialogFilter& filter, UiLanguage lang) {
  if (lang == UiLanguage::Russian)
    for (const FilterCaption& c : kRussianCaptions)
      if (c.English == filter.Description) return std::string(c.Russian);
  return filter.Description;
}

std::string JoinDialogFilters(const std::vector<DialogFilter>& filters, UiLanguage lang) {
  std::string out;
  for (const DialogFilter& d : filters) {
    if (!out.empty()) out += "|";
    out += DialogFilterCaption(d, lang) + "|" + d.Patterns;
  }
  return out;
}

}  // namespace velmora::ui
