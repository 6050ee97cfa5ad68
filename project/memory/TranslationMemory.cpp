#include "project/memory/TranslationMemory.h"

#include <algorithm>
#include <climits>
#include <unordered_map>

#include "container/io/BoundedRead.h"
#include "container/io/Stream.h"
#include "container/io/StreamErrors.h"
#include "project/memory/GramIndex.h"
#include "project/memory/TextDistance.h"
#include "project/memory/TmxFile.h"
#include "project/text/LanguageTags.h"
#include "project/text/LetterCase.h"
#include "project/text/Unicode.h"

namespace velmora {

namespace {

constexpr uint8_t kReview = 1;

struct MemoryEntry {
  uint32_t Source = 0;  // offset of the source in the file's store
  uint32_t SourceBytes = 0;
  uint32_t Target = 0;
  uint32_t TargetBytes = 0;
  uint32_t Length = 0;  // characters of the source
  uint32_t Line = 0;
  uint16_t Weight = 1;
  uint8_t Language = 0;  // in the file's list
  uint8_t Flags = 0;
};

uint64_t HashStep(uint64_t h, uint32_t v) {
  h ^= v;
  return h * 0x100000001B3ull;
}

uint64_t ExactKey(std::string_view text) {
  uint64_t h = 0xCBF29CE484222325ull;
  for (const char c : text) h = HashStep(h, static_cast<unsigned char>(c));
  return h;
}

uint64_t FoldedKey(const std::vector<uint32_t>& cps) {
  uint64_t h = 0x84222325CBF29CE4ull;
  for (const uint32_t cp : cps) h = HashStep(h, FoldCase(cp));
  return h;
}

}  // namespace

class MemoryFile {
 public:
  std::string Name;
  std::string Store;
  std::vector<MemoryEntry> Entries;                   // in order of source length
  std::vector<std::string> Languages;                 // normalised
  std::vector<std::string> LanguageNames;             // as the file first names each
  std::vector<std::pair<uint64_t, uint32_t>> Exact;   // ExactKey of the source, entry; sorted
  std::vector<std::pair<uint64_t, uint32_t>> Folded;  // FoldedKey of the source, entry; sorted
  GramIndex Grams;

  std::string_view SourceOf(const MemoryEntry& e) const {
    return std::string_view(Store).substr(e.Source, e.SourceBytes);
  }
  std::string_view TargetOf(const MemoryEntry& e) const {
    return std::string_view(Store).substr(e.Target, e.TargetBytes);
  }

  // Reads the entries of a TMX file. Room is set aside for as many texts
  // and entries as the file could hold: only what is used takes memory, and
  // nothing is copied as it grows.
  void Read(std::string_view bytes, const MemoryOptions& options) {
    Store.reserve(bytes.size() + bytes.size() / 2);
    Entries.reserve(bytes.size() / 64);
    ReadTmx(bytes, [&](TmxUnit&& u) { Add(u, options, Entries); });
  }

  // Sorts the entries by length and indexes them.
  void Index() {
    std::stable_sort(Entries.begin(), Entries.end(),
                     [](const MemoryEntry& a, const MemoryEntry& b) { return a.Length < b.Length; });
    Exact.reserve(Entries.size());
    Folded.reserve(Entries.size());
    std::vector<uint32_t> cps;
    for (uint32_t i = 0; i < Entries.size(); ++i) {
      const std::string_view source = SourceOf(Entries[i]);
      cps = CodePoints(source);
      Exact.emplace_back(ExactKey(source), i);
      Folded.emplace_back(FoldedKey(cps), i);
    }
    std::sort(Exact.begin(), Exact.end());
    std::sort(Folded.begin(), Folded.end());
    Grams.Build(Entries.size(), [&](size_t i) -> const std::vector<uint32_t>& {
      cps = CodePoints(SourceOf(Entries[i]));
      return cps;
    });
  }

 private:
  uint8_t LanguageId(const std::string& name) {
    const std::string normal = ComparableLanguageTag(name);
    for (size_t i = 0; i < Languages.size(); ++i)
      if (Languages[i] == normal) return static_cast<uint8_t>(i);
    if (Languages.size() >= 255) throw EFormatError("the file holds translations into more than 255 languages");
    Languages.push_back(normal);
    LanguageNames.push_back(name);
    return static_cast<uint8_t>(Languages.size() - 1);
  }

  uint32_t Put(std::string_view text) {
    if (Store.size() + text.size() > UINT32_MAX) throw EFormatError("the file's texts take more than 4 GB");
    const auto at = static_cast<uint32_t>(Store.size());
    Store.append(text);
    return at;
  }

  // One entry per translation of the unit: its source is the variant in the
  // unit's source language, else in the project's, else the first.
  void Add(const TmxUnit& u, const MemoryOptions& options, std::vector<MemoryEntry>& entries) {
    if (u.Variants.size() < 2) return;
    size_t source = u.Variants.size();
    const auto find = [&](std::string_view language) {
      for (size_t i = 0; i < u.Variants.size() && source == u.Variants.size(); ++i)
        if (LanguageFits(language, u.Variants[i].Language)) source = i;
    };
    if (!u.SourceLanguage.empty() && u.SourceLanguage != "*all*") find(u.SourceLanguage);
    if (source == u.Variants.size()) find(options.SourceLanguage);
    if (source == u.Variants.size()) source = 0;
    const TmxVariant& src = u.Variants[source];
    if (src.Text.empty()) return;
    uint32_t sourceAt = 0;
    bool stored = false;
    for (size_t i = 0; i < u.Variants.size(); ++i) {
      const TmxVariant& v = u.Variants[i];
      if (i == source || v.Text.empty()) continue;
      if (!stored) {
        sourceAt = Put(src.Text);
        stored = true;
      }
      MemoryEntry e;
      e.Source = sourceAt;
      e.SourceBytes = static_cast<uint32_t>(src.Text.size());
      e.Target = Put(v.Text);
      e.TargetBytes = static_cast<uint32_t>(v.Text.size());
      e.Length = static_cast<uint32_t>(CodePointCount(src.Text));
      e.Line = static_cast<uint32_t>(std::min<size_t>(u.Line, UINT32_MAX));
      e.Weight = static_cast<uint16_t>(std::clamp<size_t>(u.Places.size(), 1, 0xFFFF));
      e.Language = LanguageId(v.Language);
      e.Flags = u.Review ? kReview : 0;
      entries.push_back(e);
    }
  }
};

TranslationMemory::TranslationMemory() = default;
TranslationMemory::~TranslationMemory() = default;
TranslationMemory::TranslationMemory(TranslationMemory&&) noexcept = default;
TranslationMemory& TranslationMemory::operator=(TranslationMemory&&) noexcept = default;

namespace {

std::unique_ptr<MemoryFile> ReadFile(std::string_view bytes, const std::string& name, const MemoryOptions& options) {
  auto file = std::make_unique<MemoryFile>();
  file->Name = name;
  try {
    file->Read(bytes, options);
  } catch (const EFormatError& e) {
    throw EFormatError(name + ": " + e.what());
  }
  return file;
}

}  // namespace

void TranslationMemory::AddFile(const std::string& path, const MemoryOptions& options) {
  std::unique_ptr<MemoryFile> file;
  {
    // The file's bytes are let go before the index is built.
    const std::string bytes = ReadFileWithin(path, kMaxMemoryFileBytes, MemoryFileLimitText());
    file = ReadFile(bytes, path, options);
  }
  file->Index();
  files_.push_back(std::move(file));
}

void TranslationMemory::AddTmx(std::string_view bytes, const std::string& name, const MemoryOptions& options) {
  std::unique_ptr<MemoryFile> file = ReadFile(bytes, name, options);
  file->Index();
  files_.push_back(std::move(file));
}

size_t TranslationMemory::Size() const {
  size_t n = 0;
  for (const auto& f : files_) n += f->Entries.size();
  return n;
}

std::vector<std::string> TranslationMemory::Files() const {
  std::vector<std::string> out;
  for (const auto& f : files_) out.push_back(f->Name);
  return out;
}

std::vector<std::string> TranslationMemory::Languages() const {
  std::vector<std::string> out;
  for (const auto& f : files_)
    for (const std::string& l : f->Languages)
      if (std::find(out.begin(), out.end(), l) == out.end()) out.push_back(l);
  std::sort(out.begin(), out.end());
  return out;
}

// ---------------------------------------------------------------- search

// The best matches so far, at most `count`, best first.
class TopMatches {
 public:
  TopMatches(size_t count, int minScore) : count_(count), minScore_(minScore) {}

  // The least score a match must have to be kept.
  int Threshold() const { return hits_.size() < count_ ? minScore_ : hits_.back().Score.Percent; }

  void Offer(MemoryHit hit, size_t fileOrder) {
    for (size_t k = 0; k < hits_.size(); ++k) {
      if (hits_[k].Source != hit.Source || hits_[k].Target != hit.Target) continue;
      hits_[k].Weight = std::min<uint32_t>(hits_[k].Weight + hit.Weight, 0xFFFFFFFFu / 2);
      hits_[k].Review = hits_[k].Review && hit.Review;
      Sort();
      return;
    }
    if (count_ == 0 || hit.Score.Percent < minScore_) return;
    order_.push_back(fileOrder);
    hits_.push_back(std::move(hit));
    Sort();
    if (hits_.size() > count_) {
      hits_.pop_back();
      order_.pop_back();
    }
  }

  std::vector<MemoryHit> Take() { return std::move(hits_); }

 private:
  void Sort() {
    std::vector<size_t> idx(hits_.size());
    for (size_t i = 0; i < idx.size(); ++i) idx[i] = i;
    std::stable_sort(idx.begin(), idx.end(), [&](size_t a, size_t b) {
      const MemoryHit& x = hits_[a];
      const MemoryHit& y = hits_[b];
      if (x.Score.Percent != y.Score.Percent) return x.Score.Percent > y.Score.Percent;
      if (x.Score.Kind != y.Score.Kind) return x.Score.Kind < y.Score.Kind;
      if (x.Weight != y.Weight) return x.Weight > y.Weight;
      if (x.Review != y.Review) return !x.Review;
      return order_[a] < order_[b];
    });
    std::vector<MemoryHit> hits;
    std::vector<size_t> order;
    for (const size_t i : idx) {
      hits.push_back(std::move(hits_[i]));
      order.push_back(order_[i]);
    }
    hits_ = std::move(hits);
    order_ = std::move(order);
  }

  size_t count_;
  int minScore_;
  std::vector<MemoryHit> hits_;
  std::vector<size_t> order_;  // file and line, for the order of equal matches
};

namespace {

size_t CeilDiv(size_t a, size_t b) { return (a + b - 1) / b; }

}  // namespace

struct MemorySearch::Scratch {
  std::vector<std::vector<bool>> fits;  // per file: which of its languages fit
  std::vector<uint16_t> counts;         // zero between searches
  std::vector<Trigram> grams;
  std::vector<GramIndex::KeyList> lists;
  std::vector<std::vector<uint32_t>> byBound = std::vector<std::vector<uint32_t>>(kExactScore + 1);  // candidates
};

MemorySearch::MemorySearch(const TranslationMemory& memory, std::string language)
    : memory_(memory), language_(std::move(language)), scratch_(std::make_unique<Scratch>()) {
  Follow();
}

void MemorySearch::Follow() {
  Scratch& s = *scratch_;
  for (size_t fi = s.fits.size(); fi < memory_.files_.size(); ++fi) {
    const MemoryFile& f = *memory_.files_[fi];
    std::vector<bool> fits;
    for (const std::string& l : f.Languages) fits.push_back(language_.empty() || LanguageFits(language_, l));
    s.fits.push_back(std::move(fits));
    if (s.counts.size() < f.Entries.size()) s.counts.assign(f.Entries.size(), 0);
  }
}

MemorySearch::~MemorySearch() = default;

namespace {

MemoryHit HitOf(const MemoryFile& f, const MemoryEntry& e, const MatchScore& score) {
  MemoryHit h;
  h.Source = f.SourceOf(e);
  h.Target = f.TargetOf(e);
  h.Language = f.LanguageNames[e.Language];
  h.Weight = e.Weight;
  h.Review = (e.Flags & kReview) != 0;
  h.File = f.Name;
  h.Line = e.Line;
  h.Score = score;
  return h;
}

template <typename Visit>
void EachWithKey(const std::vector<std::pair<uint64_t, uint32_t>>& keys, uint64_t key, const Visit& visit) {
  auto it = std::lower_bound(keys.begin(), keys.end(), std::make_pair(key, uint32_t{0}));
  for (; it != keys.end() && it->first == key; ++it) visit(it->second);
}

}  // namespace

std::vector<MemoryHit> MemorySearch::Exact(std::string_view source) {
  Follow();
  std::vector<MemoryHit> out;
  const uint64_t key = ExactKey(source);
  for (size_t fi = 0; fi < memory_.files_.size(); ++fi) {
    const MemoryFile& f = *memory_.files_[fi];
    std::vector<uint32_t> found;
    EachWithKey(f.Exact, key, [&](uint32_t i) {
      if (scratch_->fits[fi][f.Entries[i].Language] && f.SourceOf(f.Entries[i]) == source) found.push_back(i);
    });
    // In the order of the file.
    std::sort(found.begin(), found.end(),
              [&](uint32_t a, uint32_t b) { return f.Entries[a].Line < f.Entries[b].Line; });
    MatchScore exact;
    exact.Percent = kExactScore;
    exact.Kind = MatchKind::Exact;
    for (const uint32_t i : found) out.push_back(HitOf(f, f.Entries[i], exact));
  }
  return out;
}

void MemorySearch::SimilarIn(const MemoryFile& f, size_t fi, std::string_view origin, size_t m,
                             const DistanceQuery& distance, TopMatches& top) {
  Scratch& s = *scratch_;
  int threshold = top.Threshold();
  if (f.Entries.empty() || threshold > kExactScore - 1) return;
  // The lengths that can still reach the threshold.
  const size_t lo = CeilDiv(m * static_cast<size_t>(threshold), 100);
  const size_t hi =
      std::min<size_t>(threshold > 0 ? m * 100 / static_cast<size_t>(threshold) : SIZE_MAX, f.Entries.back().Length);
  const auto byLength = [](const MemoryEntry& e, size_t n) { return e.Length < n; };
  const auto first =
      static_cast<uint32_t>(std::lower_bound(f.Entries.begin(), f.Entries.end(), lo, byLength) - f.Entries.begin());
  const auto last =
      static_cast<uint32_t>(std::lower_bound(f.Entries.begin(), f.Entries.end(), hi + 1, byLength) - f.Entries.begin());
  if (first >= last) return;
  // A text of n characters may have most(max(m, n)) edits, so its
  // chunks may move that far.
  const size_t longest = std::max(m, hi);
  const auto most = [&](size_t longer) { return longer - CeilDiv(static_cast<size_t>(threshold) * longer, 100); };
  const auto reach = static_cast<uint32_t>(std::min<size_t>(most(longest), UINT32_MAX));
  f.Grams.Lists(s.grams, first, last, s.lists);
  uint16_t* counts = s.counts.data();
  for (const GramIndex::KeyList& list : s.lists) GramIndex::Count(list, s.grams, reach, first, counts);

  // Each candidate's best possible score, from its length and the
  // trigrams it shares near their places, by score.
  for (auto& b : s.byBound) b.clear();
  const auto boundOf = [&](size_t n, size_t c) {
    const size_t longer = std::max(m, n);
    const size_t least = std::max(n > m ? n - m : m - n, longer + 2 > c ? CeilDiv(longer + 2 - c, 3) : 0);
    return SimilarityPercent(least, longer);
  };
  const auto consider = [&](uint32_t i, size_t c) {
    const int bound = boundOf(f.Entries[i].Length, c);
    if (bound >= threshold) s.byBound[static_cast<size_t>(bound)].push_back(i);
  };
  // The fewest shared trigrams that can reach the threshold at any length
  // of the range: texts with fewer are passed over at once. A text that
  // shares none scores below 67, so under a lower threshold every text is
  // a candidate.
  size_t fewest = SIZE_MAX;
  for (size_t n = lo; n <= hi && fewest > 0; ++n) {
    const size_t longer = std::max(m, n);
    const size_t edits = most(longer);
    if ((n > m ? n - m : m - n) > edits) continue;
    fewest = std::min(fewest, longer + 2 > 3 * edits ? longer + 2 - 3 * edits : 0);
  }
  for (uint32_t i = first; i < last; ++i) {
    if (counts[i - first] >= fewest) consider(i, counts[i - first]);
    counts[i - first] = 0;
  }

  for (int bound = kExactScore; bound >= threshold; --bound) {
    for (const uint32_t i : s.byBound[static_cast<size_t>(bound)]) {
      threshold = top.Threshold();
      if (bound < threshold) break;
      const MemoryEntry& e = f.Entries[i];
      if (!s.fits[fi][e.Language]) continue;
      const size_t longer = std::max<size_t>(m, e.Length);
      const std::string_view source = f.SourceOf(e);
      if (distance.To(source, most(longer)) > most(longer)) continue;
      const MatchScore score = ScoreMatch(origin, source);
      // The same text and its twins were offered from their keys.
      if (score.Kind != MatchKind::Fuzzy) continue;
      top.Offer(HitOf(f, e, score), (fi << 32) | e.Line);
    }
  }
}

std::vector<MemoryHit> MemorySearch::Best(std::string_view origin, size_t count, int minScore) {
  Follow();
  Scratch& s = *scratch_;
  TopMatches top(count, std::max(minScore, 0));
  const std::vector<uint32_t> query = CodePoints(origin);
  const size_t m = query.size();
  const auto order = [](size_t file, const MemoryEntry& e) { return (file << 32) | e.Line; };

  // The same text and its twins in another case, straight from their keys.
  const uint64_t exactKey = ExactKey(origin), foldedKey = FoldedKey(query);
  for (size_t fi = 0; fi < memory_.files_.size(); ++fi) {
    const MemoryFile& f = *memory_.files_[fi];
    const auto offer = [&](uint32_t i) {
      const MemoryEntry& e = f.Entries[i];
      if (!s.fits[fi][e.Language] || e.Length != m) return;
      const MatchScore score = ScoreMatch(origin, f.SourceOf(e));
      if (score.Kind != MatchKind::Fuzzy) top.Offer(HitOf(f, e, score), order(fi, e));
    };
    EachWithKey(f.Exact, exactKey, offer);
    EachWithKey(f.Folded, foldedKey, [&](uint32_t i) {
      if (f.SourceOf(f.Entries[i]) != origin) offer(i);
    });
  }

  // Similar texts through the trigram index.
  const DistanceQuery distance(query);
  TrigramsOf(query, s.grams);
  for (size_t fi = 0; fi < memory_.files_.size(); ++fi) SimilarIn(*memory_.files_[fi], fi, origin, m, distance, top);
  return top.Take();
}

}  // namespace velmora
