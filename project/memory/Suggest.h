// Suggestions for one phrase from a translation memory: its best matches,
// each with its score, the differences of its source from the phrase's
// origin, and its translation's bytes in the project's code page with
// whether they fit in place, will be relocated, are too long or cannot be
// written. The command line's `suggest` and the window's translation
// editor show the same.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/PhraseTable.h"
#include "project/memory/ByteFit.h"
#include "project/memory/MatchScore.h"
#include "project/memory/TranslationMemory.h"
#include "project/text/CodePages.h"

namespace velmora {

struct SuggestOptions {
  size_t Count = 5;
  int MinScore = 75;  // the least score shown
};

struct Suggestion {
  MemoryHit Hit;
  FitResult Fit;
  std::vector<TextDifference> Differences;  // of Hit.Source from the origin
};

// Serves one project (one code page) and one target language; keeps its
// search's working space between phrases, so one thread uses it.
class TSuggester {
 public:
  TSuggester(const TranslationMemory& memory, std::string language, CodePage page);

  // For the phrase at index (no suggestions for a link record or an index
  // outside the table).
  std::vector<Suggestion> For(const PhraseTable& table, size_t index, const SuggestOptions& options);
  // For an origin already decoded to UTF-8 and the phrase's record.
  std::vector<Suggestion> For(std::string_view origin, const TPhrase& phrase, const SuggestOptions& options);

 private:
  MemorySearch search_;
  TCodePageEncoder encoder_;
  TCodePageDecoder decoder_;
};

}  // namespace velmora
