// printf directives: the unit passes many of its texts to printf with the
// arguments of the origin text, so a translation must read the same
// arguments in the same order with the same types.
#include <algorithm>

#include "project/check/CheckList.h"
#include "project/check/PrintfDirectives.h"
#include "project/check/PrintfFault.h"

namespace velmora::checks {

namespace {

std::string Describe(const PrintfArgument& a) { return a.Type + " (" + a.Directive + ")"; }

std::string TypeList(const std::vector<PrintfArgument>& args) {
  std::string out;
  for (const auto& a : args) out += (out.empty() ? "" : ", ") + (a.Type.empty() ? "nothing" : Describe(a));
  return out;
}

}  // namespace

// What is wrong with the translation's arguments, or "" when nothing is.
std::string ArgumentFault(const PrintfArguments& o, const PrintfArguments& t, bool originIsFormat) {
  if (t.Mixed) return "the translation mixes numbered directives (%1$s) with unnumbered ones";
  if (t.Positional && !o.Positional)
    return "the translation numbers its directives (%1$s) but the origin does not, so the unit may not know them";
  if (originIsFormat && !t.Invalid.empty())
    return "the translation has a '%' that starts no directive (a percent sign is written %%)";
  const auto& oa = o.Arguments;
  const auto& ta = t.Arguments;
  auto sameType = [](const PrintfArgument& a, const PrintfArgument& b) { return a.Type == b.Type; };
  if (oa.size() == ta.size() && std::equal(oa.begin(), oa.end(), ta.begin(), sameType)) return "";
  if (oa.size() == ta.size()) {
    std::vector<std::string> ot, tt;
    for (const auto& a : oa) ot.push_back(a.Type);
    for (const auto& a : ta) tt.push_back(a.Type);
    std::sort(ot.begin(), ot.end());
    std::sort(tt.begin(), tt.end());
    if (ot == tt)
      return "the translation reads the arguments in another order (origin: " + TypeList(oa) + "; translation: " +
             TypeList(ta) + ")" + (o.Positional ? "" : "; only numbered directives (%1$s) may be reordered");
  }
  for (size_t k = 0; k < std::max(oa.size(), ta.size()); ++k) {
    const std::string n = "argument " + std::to_string(k + 1);
    if (k >= ta.size() || ta[k].Type.empty())
      return "the translation drops " + n + ", " + Describe(oa[k]);
    if (k >= oa.size() || oa[k].Type.empty())
      return "the translation adds " + n + ", " + Describe(ta[k]) + ", which the origin does not pass";
    if (oa[k].Type != ta[k].Type)
      return n + " is " + Describe(oa[k]) + " in the origin but " + Describe(ta[k]) + " in the translation";
  }
  return "";
}

namespace {

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
std::vector<std::string> ConversionsByArgument(std::string_view text) {
  std::vector<std::pair<int, std::string>> found;
  int order = 0;
  for (const PrintfDirective& d : ParsePrintf(text)) {
    if (!d.Valid || d.Conversion == '%' || d.Conversion == 'm') continue;
    auto amount = [](const std::string& a) { return a.empty() || a[0] != '*' ? a : std::string("*"); };
    std::string plain = "%" + d.Flags + amount(d.Width) + (d.HasPrecision ? "." + amount(d.Precision) : "") +
                        d.Length + d.Conversion;
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

}  // namespace

}  // namespace velmora::checks

namespace velmora {

std::string PrintfFault(std::string_view origin, std::string_view translation) {
  if (origin.find('%') == std::string_view::npos && translation.find('%') == std::string_view::npos) return "";
  const PrintfArguments o = PrintfArgumentsOf(origin);
  return checks::ArgumentFault(o, PrintfArgumentsOf(translation), o.Invalid.empty() && o.Any());
}

std::string PrintfImportNote(size_t index, std::string_view origin, std::string_view translation) {
  const std::string fault = PrintfFault(origin, translation);
  if (fault.empty()) return "";
  return "phrase " + std::to_string(index) + ": " + fault + "; applied, but a build refuses it until it is mended";
}

}  // namespace velmora

namespace velmora::checks {

const TextCheck& Printf() {
  static const PrintfCheck check;
  return check;
}

const TextCheck& PrintfStyle() {
  static const PrintfStyleCheck check;
  return check;
}

}  // namespace velmora::checks
