// Characters the unit cannot show: bytes its code page has no character
// for, characters its font lacks, and control bytes it never had.
#pragma once

#include <algorithm>

#include "project/check/Check.h"
#include "project/text/HexText.h"
#include "project/text/Unicode.h"

namespace velmora::checks {

inline constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD: a byte that did not decode
inline constexpr size_t kMostListed = 8;

class CodePageCheck final : public TextCheck {
 public:
  std::string_view Id() const override { return "codepage"; }
  Severity Level() const override { return Severity::Error; }
  std::string_view Summary() const override { return "a byte the code page has no character for"; }
  void CheckPair(const TextPair& pair, const CheckOptions& options, std::vector<Problem>& out) const override {
    // When the origin does not decode either, the code page is not the
    // unit's, and the translation cannot be judged by it.
    if (pair.TranslationUtf8.find(kReplacement) == std::string_view::npos ||
        pair.OriginUtf8.find(kReplacement) != std::string_view::npos)
      return;
    out.push_back({pair.Index, std::string(Id()), Level(),
                   WithTexts(std::string("the translation holds bytes that the code page \"") +
                                 CodePageCliName(options.Page) + "\" has no character for (shown as \xEF\xBF\xBD)",
                             pair)});
  }
};

class CharsetCheck final : public TextCheck {
 public:
  std::string_view Id() const override { return "charset"; }
  Severity Level() const override { return Severity::Error; }
  std::string_view Summary() const override { return "a character outside the unit's set (--charset FILE)"; }
  void CheckPair(const TextPair& pair, const CheckOptions& options, std::vector<Problem>& out) const override {
    if (!options.Charset) return;
    std::vector<uint32_t> missing;
    for (const uint32_t cp : CodePoints(pair.TranslationUtf8)) {
      // Control bytes and undecodable bytes are other checks' business.
      if (cp < 0x20 || cp == 0x7F || cp == 0xFFFD || options.Charset->count(cp)) continue;
      if (std::find(missing.begin(), missing.end(), cp) == missing.end()) missing.push_back(cp);
    }
    if (missing.empty()) return;
    std::string list;
    for (size_t k = 0; k < std::min(missing.size(), kMostListed); ++k) {
      list += k ? ", \"" : "\"";
      AppendUtf8(list, missing[k]);
      list += "\" (U+" + FormatHex(missing[k], 4) + ")";
    }
    if (missing.size() > kMostListed) list += " and " + std::to_string(missing.size() - kMostListed) + " more";
    out.push_back({pair.Index, std::string(Id()), Level(),
                   WithTexts("the unit's character set lacks " + list, pair)});
  }
};

class ControlCheck final : public TextCheck {
 public:
  std::string_view Id() const override { return "control"; }
  Severity Level() const override { return Severity::Error; }
  std::string_view Summary() const override {
    return "a NUL or other control byte that the origin lacks";
  }
  void CheckPair(const TextPair& pair, const CheckOptions&, std::vector<Problem>& out) const override {
    std::vector<unsigned char> found;
    for (const char c : pair.Translation) {
      const auto b = static_cast<unsigned char>(c);
      // Line breaks are the line-break check's business: the unit shows them.
      if ((b >= 0x20 && b != 0x7F) || b == '\n' || std::find(found.begin(), found.end(), b) != found.end())
        continue;
      if (b != 0 && pair.Origin.find(c) != std::string_view::npos) continue;
      found.push_back(b);
    }
    if (found.empty()) return;
    std::string list;
    for (const unsigned char b : found) {
      list += list.empty() ? "" : ", ";
      list += b == 0 ? "a NUL, which ends the text early in the unit" : "the control byte " + FormatHex0x(b, 2);
    }
    out.push_back({pair.Index, std::string(Id()), Level(), WithTexts("the translation holds " + list, pair)});
  }
};

}  // namespace velmora::checks
