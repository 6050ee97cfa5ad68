// Checks that look beyond one translation (the same origin translated two
// ways, the unit's growth) and notes on what a build will do.
#pragma once

#include <algorithm>
#include <unordered_map>

#include "project/check/Check.h"
#include "project/text/OneLineText.h"

namespace velmora::checks {

inline constexpr size_t kMostPhrasesListed = 10;

class ConsistencyCheck final : public TextCheck {
 public:
  std::string_view Id() const override { return "consistency"; }
  Severity Level() const override { return Severity::Warning; }
  std::string_view Summary() const override { return "one origin text translated differently in phrases"; }
  void CheckAll(const std::vector<TextPair>& pairs, const ProjectFacts&, const CheckOptions&,
                std::vector<Problem>& out) const override {
    std::unordered_map<std::string_view, std::vector<const TextPair*>> byOrigin;
    for (const TextPair& p : pairs) byOrigin[p.Origin].push_back(&p);
    std::vector<Problem> found;
    for (const auto& entry : byOrigin) {
      // Not a structured binding: clang before 16 lets no lambda capture one.
      const std::vector<const TextPair*>& group = entry.second;
      if (group.size() < 2) continue;
      const bool differ = std::any_of(group.begin(), group.end(),
                                      [&](const TextPair* p) { return p->Translation != group[0]->Translation; });
      if (!differ) continue;
      for (const TextPair* p : group) {
        std::string others;
        size_t listed = 0;
        for (const TextPair* q : group) {
          if (q == p || q->Translation == p->Translation) continue;
          if (listed++ < kMostPhrasesListed)
            others += (others.empty() ? "" : ", ") + std::to_string(q->Index) + " (\"" +
                      OneLineText(q->TranslationUtf8) + "\")";
        }
        if (listed > kMostPhrasesListed) others += " and " + std::to_string(listed - kMostPhrasesListed) + " more";
        found.push_back({p->Index, std::string(Id()), Level(),
                         WithTexts("the same origin is translated otherwise in phrase(s) " + others, *p)});
      }
    }
    std::sort(found.begin(), found.end(), [](const Problem& a, const Problem& b) { return a.Index < b.Index; });
    out.insert(out.end(), found.begin(), found.end());
  }
};

class GrowthCheck final : public TextCheck {
 public:
  std::string_view Id() const override { return "growth"; }
  Severity Level() const override { return Severity::Warning; }
  std::string_view Summary() const override { return "relocated texts grow the unit past --max-growth"; }
  void CheckAll(const std::vector<TextPair>&, const ProjectFacts& facts, const CheckOptions& options,
                std::vector<Problem>& out) const override {
    if (!options.MaxGrowth || facts.NewSize <= facts.OldSize || facts.NewSize - facts.OldSize <= *options.MaxGrowth)
      return;
    out.push_back({-1, std::string(Id()), Level(),
                   std::to_string(facts.Relocated) + " relocated text(s) take " + std::to_string(facts.AppendedBytes) +
                       " bytes: the unit grows from " + std::to_string(facts.OldSize) + " to " +
                       std::to_string(facts.NewSize) + " bytes, by " + std::to_string(facts.NewSize - facts.OldSize) +
                       ", more than the " + std::to_string(*options.MaxGrowth) + " bytes allowed"});
  }
};

class RelocatedCheck final : public TextCheck {
 public:
  std::string_view Id() const override { return "relocated"; }
  Severity Level() const override { return Severity::Info; }
  std::string_view Summary() const override { return "longer than its room: moved to the unit's end"; }
  void CheckPair(const TextPair& pair, const CheckOptions&, std::vector<Problem>& out) const override {
    if (!pair.Relocated) return;
    out.push_back({pair.Index, std::string(Id()), Level(),
                   WithTexts("the translation takes " + std::to_string(pair.Translation.size()) +
                                 " bytes, its room is " + std::to_string(pair.Room) +
                                 ": a build moves it to the area appended to the unit",
                             pair)});
  }
};

class IdenticalCheck final : public TextCheck {
 public:
  std::string_view Id() const override { return "identical"; }
  Severity Level() const override { return Severity::Info; }
  std::string_view Summary() const override { return "switched on but identical to its origin"; }
  void CheckPair(const TextPair& pair, const CheckOptions&, std::vector<Problem>& out) const override {
    if (!pair.On || pair.Translation != pair.Origin) return;
    out.push_back({pair.Index, std::string(Id()), Level(),
                   WithTexts("the translation is switched on but identical to the origin", pair)});
  }
};

}  // namespace velmora::checks
