// How well a memory's source text matches a phrase's origin, as a
// percentage: 100 - 100 * distance / longer length, rounded down, with the
// distance counted in characters (project/memory/TextDistance.h), so that
// only the same text scores 100. A text that differs only in the case of
// its letters (a label in capitals and its mixed-case twin) scores 99. A
// match whose printf directives or digits differ from the origin's has
// that marked: using its translation needs them mended.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

inline constexpr int kExactScore = 100;
inline constexpr int kCaseOnlyScore = 99;

enum class MatchKind : uint8_t {
  Exact,     // the same text
  CaseOnly,  // the same letters in another case, the same directives and digits
  Fuzzy,     // similar text
};
// "exact", "case", "fuzzy".
std::string_view MatchKindName(MatchKind kind);

struct MatchScore {
  int Percent = 0;
  size_t Distance = 0;  // characters inserted, deleted or replaced
  MatchKind Kind = MatchKind::Fuzzy;
  bool PrintfDiffers = false;  // the directives ("%d", "%1$s") are not the origin's
  bool DigitsDiffer = false;   // the digits outside directives are not the origin's
};

// floor(100 * (longer - distance) / longer); 100 for two empty texts.
int SimilarityPercent(size_t distance, size_t longer);

// The score of a memory source against an origin, both UTF-8.
MatchScore ScoreMatch(std::string_view origin, std::string_view source);

// The printf directives of a text in order, as written ("%d", "%%", "%1$s").
std::vector<std::string> DirectivesOf(std::string_view text);
// The runs of digits of a text that lie outside its directives ("12", "3").
std::vector<std::string> DigitsOf(std::string_view text);

// A stretch of the source that differs from the origin, for marking it:
// byte offsets into the source's UTF-8, and the origin's text it stands
// for ("" where the source adds text; an empty stretch at Offset where it
// leaves out the origin's text).
struct TextDifference {
  size_t Offset = 0;
  size_t Length = 0;
  std::string Origin;
};
// The differences along one shortest edit of origin into source, adjacent
// edits joined. Texts of more than 2,000 characters each are compared as
// one difference.
std::vector<TextDifference> Differences(std::string_view origin, std::string_view source);

}  // namespace velmora
