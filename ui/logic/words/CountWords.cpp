#include "ui/logic/words/CountWords.h"

#include <vector>

namespace velmora::ui {

namespace {

// Which form a number takes: 0 singular (one), 1 plural (few), 2 many.
size_t FormOf(size_t n, UiLanguage lang) {
  if (lang == UiLanguage::English) return n == 1 ? 0 : 1;
  const size_t tens = n % 100, ones = n % 10;
  if (ones == 1 && tens != 11) return 0;
  if (ones >= 2 && ones <= 4 && (tens < 12 || tens > 14)) return 1;
  return 2;
}

}  // namespace

std::string CountWithWord(size_t count, std::string_view forms, UiLanguage lang) {
  std::vector<std::string_view> words;
  for (size_t start = 0;;) {
    const size_t bar = forms.find('|', start);
    words.push_back(forms.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  const size_t form = FormOf(count, lang);
  const std::string_view word = form < words.size() ? words[form] : words.back();
  return std::to_string(count) + " " + std::string(word);
}

}  // namespace velmora::ui
