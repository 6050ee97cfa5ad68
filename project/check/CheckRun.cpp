#include "project/check/CheckRun.h"

#include <algorithm>
#include <limits>

#include "analysis/UnitText.h"
#include "project/build/TranslationPlan.h"

namespace velmora {

namespace {

bool IsAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The texts a check run looks at, owned here so that TextPair may view them.
struct PairStore {
  std::string Translation;
  std::string OriginUtf8;
  std::string TranslationUtf8;
};

class PairMaker {
 public:
  explicit PairMaker(CodePage page) : decoder_(page) {}

  TextPair Make(const PhraseTable& table, size_t index, std::string_view edited, PairStore& store) {
    const TPhrase& p = table.Phrases[index];
    const PreparedText prepared = PrepareTextForUnit(edited);
    store.Translation = prepared.Bytes;
    if (prepared.ZeroAdded) store.Translation.pop_back();
    TextPair pair;
    pair.Index = static_cast<int32_t>(index);
    pair.Origin = table.OriginText(p);
    pair.Translation = store.Translation;
    pair.OriginUtf8 = Decoded(pair.Origin, store.OriginUtf8);
    pair.TranslationUtf8 = Decoded(pair.Translation, store.TranslationUtf8);
    pair.Room = RoomInPlace(p.Length);
    pair.Relocated = prepared.Bytes.size() > p.Length;
    pair.On = (p.Flags & pfOn) != 0;
    return pair;
  }

 private:
  // ASCII reads the same in every code page, so only other texts go
  // through the converter.
  std::string_view Decoded(std::string_view bytes, std::string& store) {
    if (IsAscii(bytes)) return bytes;
    store = decoder_.Decode(bytes);
    return store;
  }
  TCodePageDecoder decoder_;
};

void Count(CheckResult& r) {
  for (const Problem& p : r.Problems) {
    switch (p.Level) {
      case Severity::Error: ++r.Errors; break;
      case Severity::Warning: ++r.Warnings; break;
      case Severity::Info: ++r.Infos; break;
    }
  }
}

}  // namespace

std::string CheckResult::CountLine() const {
  return std::to_string(Errors) + " error(s), " + std::to_string(Warnings) + " warning(s), " +
         std::to_string(Infos) + " info(s) in " + std::to_string(Checked) + " translation(s)";
}

CheckResult CheckProject(const PhraseTable& table, const CheckOptions& options) {
  CheckResult result;
  std::vector<size_t> chosen;
  for (size_t i = 0; i < table.Phrases.size(); ++i) {
    const TPhrase& p = table.Phrases[i];
    if ((p.Flags & pfLink) || !table.HasEditedText(p)) continue;
    if (!(p.Flags & pfOn) && !options.AllEdited) continue;
    chosen.push_back(i);
  }
  // The store never grows after this, so the views into it stay put.
  std::vector<PairStore> store(chosen.size());
  std::vector<TextPair> pairs;
  pairs.reserve(chosen.size());
  PairMaker maker(options.Page);
  for (size_t k = 0; k < chosen.size(); ++k)
    pairs.push_back(maker.Make(table, chosen[k], table.EditedText(table.Phrases[chosen[k]]), store[k]));
  result.Checked = pairs.size();

  for (const TextPair& pair : pairs)
    for (const TextCheck* check : Checks()) check->CheckPair(pair, options, result.Problems);
  // Only the growth limit needs the build's plan.
  ProjectFacts facts;
  if (options.MaxGrowth) {
    const BuildSummary summary = SummarizeBuild(table);
    facts.OldSize = summary.OldSize;
    facts.NewSize = summary.NewSize;
    facts.AppendedBytes = summary.AppendedBytes;
    facts.Relocated = summary.Relocated;
  }
  for (const TextCheck* check : Checks()) check->CheckAll(pairs, facts, options, result.Problems);
  // Each phrase's problems together, in the order found; the unit's last.
  auto key = [](const Problem& p) { return p.Index < 0 ? std::numeric_limits<int32_t>::max() : p.Index; };
  std::stable_sort(result.Problems.begin(), result.Problems.end(),
                   [&](const Problem& a, const Problem& b) { return key(a) < key(b); });
  Count(result);
  return result;
}

std::vector<Problem> CheckTypedText(const PhraseTable& table, size_t index, std::string_view text,
                                    const CheckOptions& options) {
  std::vector<Problem> out;
  if (text.empty() || index >= table.Phrases.size() || (table.Phrases[index].Flags & pfLink)) return out;
  PairStore store;
  PairMaker maker(options.Page);
  TextPair pair = maker.Make(table, index, text, store);
  pair.On = true;  // the editor's OK switches the text on
  for (const TextCheck* check : Checks()) check->CheckPair(pair, options, out);
  return out;
}

std::vector<Problem> ErrorsOf(const CheckResult& result) {
  std::vector<Problem> errors;
  for (const Problem& p : result.Problems)
    if (p.Level == Severity::Error) errors.push_back(p);
  return errors;
}

}  // namespace velmora
