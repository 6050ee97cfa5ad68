// printf directives: the unit passes many of its texts to printf with the
// arguments of the origin text, so a translation must read the same
// arguments in the same order with the same types (printf), and should
// print each with the same width, flags and letter (printf-style).
#pragma once

#include <algorithm>

#include "project/check/Check.h"
#include "project/check/PrintfDirectives.h"
#include "project/check/PrintfFault.h"

namespace velmora::checks {

class PrintfCheck final : public TextCheck {
 public:
  std::string_view Id() const override { return "printf"; }
  Severity Level() const override { return Severity::Error; }
  std::string_view Summary() const override {
    return "printf directives swapped, dropped, added or retyped";
  }
  void CheckPair(const TextPair& pair, const CheckOptions&, std::vector<Problem>& out) const override {
    const std::string fault = PrintfFault(pair.Origin, pair.Translation);
    if (!fault.empty()) out.push_back({pair.Index, std::string(Id()), Level(), WithTexts(fault, pair)});
  }
};

// The directives that print an argument, in the order of the arguments
// they print, written without their argument numbers.
inline std::vector<std::string> ConversionsByArgument(std::string_view text) {
  std::vector<std::pair<int, std::string>> found;
  int order = 0;
  for (const PrintfDirective& d : ParsePrintf(text)) {
    if (!d.Valid || d.Conversion == '%' || d.Conversion == 'm') continue;
    auto amount = [](const std::string& a) { return a.empty() || a[0] != '*' ? a : std::string("*"); };
    std::string plain = "%" + d.Flags + amount(d.Width);
    if (d.HasPrecision) plain += '.' + amount(d.Precision);
    plain += d.Length;
    plain += d.Conversion;
    found.emplace_back(d.Position > 0 ? d.Position : ++order, std::move(plain));
  }
  std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> out;
  for (auto& f : found) out.push_back(std::move(f.second));
  return out;
}

class PrintfStyleCheck final : public TextCheck {
 public:
  std::string_view Id() const override { return "printf-style"; }
  Severity Level() const override { return Severity::Warning; }
  std::string_view Summary() const override {
    return "the same argument with another width, flag or letter";
  }
  void CheckPair(const TextPair& pair, const CheckOptions&, std::vector<Problem>& out) const override {
    if (pair.Origin.find('%') == std::string_view::npos || pair.Translation.find('%') == std::string_view::npos)
      return;
    if (!PrintfFault(pair.Origin, pair.Translation).empty()) return;  // the printf check reports it
    const auto od = ConversionsByArgument(pair.Origin);
    const auto td = ConversionsByArgument(pair.Translation);
    for (size_t k = 0; k < std::min(od.size(), td.size()); ++k) {
      if (od[k] == td[k]) continue;
      out.push_back({pair.Index, std::string(Id()), Level(),
                     WithTexts("the origin's " + od[k] + " is " + td[k] +
                                   " in the translation (a wider text may not fit the unit's buffer)",
                               pair)});
      return;
    }
  }
};

}  // namespace velmora::checks
