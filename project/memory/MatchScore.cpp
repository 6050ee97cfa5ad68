#include "project/memory/MatchScore.h"

#include <algorithm>

#include "project/check/PrintfDirectives.h"
#include "project/memory/TextDistance.h"
#include "project/text/LetterCase.h"
#include "project/text/Unicode.h"

namespace velmora {

namespace {

constexpr size_t kMostDiffered = 1000;

bool SameIgnoringCase(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](uint32_t x, uint32_t y) { return FoldCase(x) == FoldCase(y); });
}

// Byte offsets of each code point of a UTF-8 text, and of its end.
std::vector<size_t> Offsets(std::string_view utf8, size_t count) {
  std::vector<size_t> out;
  out.reserve(count + 1);
  size_t i = 0;
  while (i < utf8.size()) {
    out.push_back(i);
    NextCodePoint(utf8, i);
  }
  out.push_back(utf8.size());
  return out;
}

}  // namespace

std::string_view MatchKindName(MatchKind kind) {
  switch (kind) {
    case MatchKind::Exact:
      return "exact";
    case MatchKind::CaseOnly:
      return "case";
    case MatchKind::Fuzzy:
      return "fuzzy";
  }
  return "fuzzy";
}

int SimilarityPercent(size_t distance, size_t longer) {
  if (longer == 0) return kExactScore;
  distance = std::min(distance, longer);
  return static_cast<int>((100 * (longer - distance)) / longer);
}

std::vector<std::string> DirectivesOf(std::string_view text) {
  std::vector<std::string> out;
  if (text.find('%') == std::string_view::npos) return out;
  for (PrintfDirective& d : ParsePrintf(text))
    if (d.Valid) out.push_back(std::move(d.Text));
  return out;
}

std::vector<std::string> DigitsOf(std::string_view text) {
  std::vector<std::pair<size_t, size_t>> skip;
  if (text.find('%') != std::string_view::npos)
    for (const PrintfDirective& d : ParsePrintf(text))
      if (d.Valid) skip.emplace_back(d.Offset, d.Offset + d.Text.size());
  std::vector<std::string> out;
  size_t k = 0;
  for (size_t i = 0; i < text.size();) {
    while (k < skip.size() && skip[k].second <= i) ++k;
    if (k < skip.size() && skip[k].first <= i) {
      i = skip[k].second;
      continue;
    }
    if (text[i] < '0' || text[i] > '9') {
      ++i;
      continue;
    }
    size_t j = i;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
    out.emplace_back(text.substr(i, j - i));
    i = j;
  }
  return out;
}

MatchScore ScoreMatch(std::string_view origin, std::string_view source) {
  MatchScore s;
  if (origin == source) {
    s.Percent = kExactScore;
    s.Kind = MatchKind::Exact;
    return s;
  }
  s.PrintfDiffers = DirectivesOf(origin) != DirectivesOf(source);
  s.DigitsDiffer = DigitsOf(origin) != DigitsOf(source);
  const std::vector<uint32_t> o = CodePoints(origin);
  const std::vector<uint32_t> t = CodePoints(source);
  const size_t longer = std::max(o.size(), t.size());
  s.Distance = EditDistance(o, t, longer);
  if (SameIgnoringCase(o, t) && !s.PrintfDiffers && !s.DigitsDiffer) {
    s.Percent = kCaseOnlyScore;
    s.Kind = MatchKind::CaseOnly;
    return s;
  }
  // Different bytes that read as the same characters (two bytes that do
  // not decode) are still not the same text.
  s.Percent = std::min(SimilarityPercent(s.Distance, longer), kExactScore - 1);
  return s;
}

std::vector<TextDifference> Differences(std::string_view origin, std::string_view source) {
  const std::vector<uint32_t> o = CodePoints(origin);
  const std::vector<uint32_t> t = CodePoints(source);
  if (o == t) return {};
  if (o.size() > kMostDiffered || t.size() > kMostDiffered) return {{0, source.size(), std::string(origin)}};
  const std::vector<size_t> oat = Offsets(origin, o.size());
  const std::vector<size_t> tat = Offsets(source, t.size());
  // The whole table, to walk one shortest edit back from its corner.
  const size_t w = t.size() + 1;
  std::vector<uint16_t> d((o.size() + 1) * w);
  for (size_t j = 0; j < w; ++j) d[j] = static_cast<uint16_t>(j);
  for (size_t i = 1; i <= o.size(); ++i) {
    d[i * w] = static_cast<uint16_t>(i);
    for (size_t j = 1; j < w; ++j)
      d[i * w + j] = static_cast<uint16_t>(std::min(
          {d[(i - 1) * w + j - 1] + (o[i - 1] == t[j - 1] ? 0 : 1), d[(i - 1) * w + j] + 1, d[i * w + j - 1] + 1}));
  }
  // Walk back; each step that is not a kept character joins the difference
  // that the step after it began.
  std::vector<TextDifference> out;
  bool open = false;
  size_t i = o.size(), j = t.size();
  const auto take = [&](size_t originFrom, size_t originTo, size_t sourceFrom, size_t sourceTo) {
    const std::string originText(origin.substr(oat[originFrom], oat[originTo] - oat[originFrom]));
    if (!open) {
      out.push_back({tat[sourceTo], 0, ""});
      open = true;
    }
    TextDifference& diff = out.back();
    diff.Length += tat[sourceTo] - tat[sourceFrom];
    diff.Offset = tat[sourceFrom];
    diff.Origin.insert(0, originText);
  };
  while (i > 0 || j > 0) {
    const uint16_t here = d[i * w + j];
    if (i > 0 && j > 0 && o[i - 1] == t[j - 1] && here == d[(i - 1) * w + j - 1]) {
      open = false;
      --i, --j;
    } else if (i > 0 && j > 0 && here == d[(i - 1) * w + j - 1] + 1) {
      take(i - 1, i, j - 1, j);
      --i, --j;
    } else if (i > 0 && here == d[(i - 1) * w + j] + 1) {
      take(i - 1, i, j, j);
      --i;
    } else {
      take(i, i, j - 1, j);
      --j;
    }
  }
  std::reverse(out.begin(), out.end());
  return out;
}

}  // namespace velmora
