#include "project/check/PrintfFault.h"

#include <algorithm>
#include <vector>

#include "project/check/PrintfDirectives.h"

namespace velmora {

namespace {

std::string Describe(const PrintfArgument& a) { return a.Type + " (" + a.Directive + ")"; }

std::string TypeList(const std::vector<PrintfArgument>& args) {
  std::string out;
  for (const auto& a : args) out += (out.empty() ? "" : ", ") + (a.Type.empty() ? "nothing" : Describe(a));
  return out;
}

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

}  // namespace

std::string PrintfFault(std::string_view origin, std::string_view translation) {
  if (origin.find('%') == std::string_view::npos && translation.find('%') == std::string_view::npos) return "";
  const PrintfArguments o = PrintfArgumentsOf(origin);
  return ArgumentFault(o, PrintfArgumentsOf(translation), o.Invalid.empty() && o.Any());
}

std::string PrintfImportNote(size_t index, std::string_view origin, std::string_view translation) {
  const std::string fault = PrintfFault(origin, translation);
  if (fault.empty()) return "";
  return "phrase " + std::to_string(index) + ": " + fault + "; applied, but a build refuses it until it is mended";
}

}  // namespace velmora

