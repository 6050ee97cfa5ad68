// How a translation sits on the unit's screen: its lines, its blanks at
// either end, and its brackets and quotes.
#pragma once

#include <algorithm>

#include "project/check/Check.h"
#include "project/text/OneLineText.h"
#include "project/text/Unicode.h"

namespace velmora::checks {

class LineBreakCheck final : public TextCheck {
 public:
  std::string_view Id() const override { return "line-breaks"; }
  Severity Level() const override { return Severity::Warning; }
  std::string_view Summary() const override { return "more line breaks than the origin"; }
  void CheckPair(const TextPair& pair, const CheckOptions&, std::vector<Problem>& out) const override {
    const auto o = std::count(pair.Origin.begin(), pair.Origin.end(), '\n');
    const auto t = std::count(pair.Translation.begin(), pair.Translation.end(), '\n');
    if (t <= o) return;
    out.push_back({pair.Index, std::string(Id()), Level(),
                   WithTexts("the translation has " + std::to_string(t) + " line breaks, the origin " +
                                 std::to_string(o) + "; the unit may have no room for the extra lines",
                             pair)});
  }
};

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

inline std::string_view LeadingBlanks(std::string_view s) {
  size_t n = 0;
  while (n < s.size() && IsBlank(s[n])) ++n;
  return s.substr(0, n);
}

inline std::string_view TrailingBlanks(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && IsBlank(s[n - 1])) --n;
  return s.substr(n);
}

class BlankCheck final : public TextCheck {
 public:
  std::string_view Id() const override { return "blanks"; }
  Severity Level() const override { return Severity::Warning; }
  std::string_view Summary() const override { return "leading or trailing blanks changed"; }
  void CheckPair(const TextPair& pair, const CheckOptions&, std::vector<Problem>& out) const override {
    std::string what;
    auto compare = [&](std::string_view side, std::string_view o, std::string_view t) {
      if (o == t) return;
      what += (what.empty() ? "" : "; ") + std::string(side) + " blanks \"" + OneLineText(o) + "\" became \"" +
              OneLineText(t) + "\"";
    };
    compare("leading", LeadingBlanks(pair.Origin), LeadingBlanks(pair.Translation));
    compare("trailing", TrailingBlanks(pair.Origin), TrailingBlanks(pair.Translation));
    if (!what.empty()) out.push_back({pair.Index, std::string(Id()), Level(), WithTexts(what, pair)});
  }
};

// True when every bracket closes the last one opened and every kind of
// quote comes in pairs.
inline bool Balanced(std::string_view utf8) {
  // Most texts hold no bracket or quote at all: "\xC2" and "\xE2" start « » and “ ”.
  if (utf8.find_first_of("()[]{}\"\xC2\xE2") == std::string_view::npos) return true;
  static constexpr std::pair<uint32_t, uint32_t> kPairs[] = {
      {'(', ')'}, {'[', ']'}, {'{', '}'}, {0xAB, 0xBB} /* « » */, {0x201C, 0x201D} /* “ ” */};
  std::vector<uint32_t> open;
  size_t straightQuotes = 0;
  for (const uint32_t cp : CodePoints(utf8)) {
    if (cp == '"') ++straightQuotes;
    for (const auto& [o, c] : kPairs) {
      if (cp == o) open.push_back(c);
      if (cp == c) {
        if (open.empty() || open.back() != c) return false;
        open.pop_back();
      }
    }
  }
  return open.empty() && straightQuotes % 2 == 0;
}

class BracketCheck final : public TextCheck {
 public:
  std::string_view Id() const override { return "brackets"; }
  Severity Level() const override { return Severity::Warning; }
  std::string_view Summary() const override { return "unbalanced brackets or quotes the origin had balanced"; }
  void CheckPair(const TextPair& pair, const CheckOptions&, std::vector<Problem>& out) const override {
    if (!Balanced(pair.OriginUtf8) || Balanced(pair.TranslationUtf8)) return;
    out.push_back({pair.Index, std::string(Id()), Level(),
                   WithTexts("the translation's brackets or quotes do not pair up as the origin's do", pair)});
  }
};

}  // namespace velmora::checks
