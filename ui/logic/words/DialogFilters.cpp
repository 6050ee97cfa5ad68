#include "ui/logic/words/DialogFilters.h"

#include <algorithm>
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
    {"All phrase files", "Все файлы фраз"},
};

}  // namespace

std::string DialogFilterCaption(const DialogFilter& filter, UiLanguage lang) {
  if (lang == UiLanguage::Russian)
    for (const FilterCaption& c : kRussianCaptions)
      if (c.English == filter.Description) return std::string(c.Russian);
  return filter.Description;
}

std::vector<DialogFilter> ImportDialogFilters() {
  std::vector<DialogFilter> filters = PhraseDialogFilters(PhraseFormat::kCanRead);
  DialogFilter all;
  all.Description = "All phrase files";
  for (const DialogFilter& f : filters) {
    size_t start = 0;
    while (start <= f.Patterns.size()) {
      const size_t end = std::min(f.Patterns.find(';', start), f.Patterns.size());
      const std::string pattern = f.Patterns.substr(start, end - start);
      const std::string joined = ";" + all.Patterns + ";";
      if (!pattern.empty() && joined.find(";" + pattern + ";") == std::string::npos)
        all.Patterns += (all.Patterns.empty() ? "" : ";") + pattern;
      start = end + 1;
    }
  }
  filters.insert(filters.begin(), all);
  return filters;
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
