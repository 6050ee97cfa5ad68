#include "project/memory/Suggest.h"

namespace velmora {

TSuggester::TSuggester(const TranslationMemory& memory, std::string language, CodePage page)
    : search_(memory, std::move(language)), encoder_(page), decoder_(page) {}

std::vector<Suggestion> TSuggester::For(const PhraseTable& table, size_t index, const SuggestOptions& options) {
  if (index >= table.Phrases.size() || (table.Phrases[index].Flags & pfLink)) return {};
  const TPhrase& p = table.Phrases[index];
  return For(decoder_.Decode(table.OriginText(p)), p, options);
}

std::vector<Suggestion> TSuggester::For(std::string_view origin, const TPhrase& phrase, const SuggestOptions& options) {
  std::vector<Suggestion> out;
  for (MemoryHit& hit : search_.Best(origin, options.Count, options.MinScore)) {
    Suggestion s;
    s.Fit = FitInUnit(hit.Target, phrase, encoder_);
    s.Differences = Differences(origin, hit.Source);
    s.Hit = std::move(hit);
    out.push_back(std::move(s));
  }
  return out;
}

}  // namespace velmora
