#include "project/check/TermsCheck.h"

#include <algorithm>

namespace velmora::checks {

namespace {

std::string Quoted(const std::vector<std::string>& terms) {
  std::string out;
  for (size_t k = 0; k < terms.size(); ++k)
    out += (k ? (k + 1 == terms.size() ? " or \"" : ", \"") : "\"") + terms[k] + "\"";
  return out;
}

}  // namespace

void TermsCheck::CheckPair(const TextPair& pair, const CheckOptions& options, std::vector<Problem>& out) const {
  if (!options.Terms) return;
  const TermFinder& finder = *options.Terms;
  const auto& entries = finder.Terms().Entries;
  std::vector<size_t> seen;
  for (const TermHit& hit : finder.SourceTerms(pair.OriginUtf8)) {
    if (std::find(seen.begin(), seen.end(), hit.Entry) != seen.end()) continue;
    seen.push_back(hit.Entry);
    const GlossaryEntry& e = entries[hit.Entry];
    if (e.Targets.empty() || finder.HoldsTarget(pair.TranslationUtf8, hit.Entry)) continue;
    out.push_back({pair.Index, std::string(Id()), Severity::Warning,
                   WithTexts("the glossary translates \"" + hit.Term + "\" as " + Quoted(e.Targets) +
                                 ", which the translation lacks",
                             pair)});
  }
  std::vector<std::string> named;
  for (const TermHit& hit : finder.ForbiddenTerms(pair.TranslationUtf8)) {
    if (std::find(named.begin(), named.end(), hit.Term) != named.end()) continue;
    named.push_back(hit.Term);
    const GlossaryEntry& e = entries[hit.Entry];
    std::string message = "the translation holds \"" + hit.Term + "\", which the glossary forbids";
    if (!e.Sources.empty() && !e.Targets.empty())
      message += " (for \"" + e.Sources[0] + "\" it gives " + Quoted(e.Targets) + ")";
    out.push_back({pair.Index, std::string(Id()), Severity::Error, WithTexts(message, pair)});
  }
}


}  // namespace velmora::checks
