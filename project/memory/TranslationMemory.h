// A translation memory made of one or more TMX files: each file's entries
// (a source text and its translation into one language) are held compactly
// with an index of their trigrams (project/memory/GramIndex.h) and of their
// exact and case-folded texts, so that the matches for one phrase are found
// in a few milliseconds among hundreds of thousands of entries. A file
// added later (the window's "add memory" while a project is open) gets its
// own index; nothing is indexed twice.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "project/memory/MatchScore.h"

namespace velmora {

struct MemoryOptions {
  // The language of the project's texts ("en", "ja"): the source of a <tu>
  // whose srclang is "*all*" or names none of its variants.
  std::string SourceLanguage = "en";
};

// An entry of the memory as a match shows it.
struct MemoryHit {
  std::string Source;    // UTF-8
  std::string Target;    // UTF-8
  std::string Language;  // of the target, as the file names it
  uint32_t Weight = 1;   // places that gave this translation (equal entries summed)
  bool Review = false;   // stored for review, not switched on
  std::string File;      // the file it comes from (the first, for equal entries)
  size_t Line = 0;
  MatchScore Score;
};

class MemoryFile;
class TopMatches;
class DistanceQuery;

class TranslationMemory {
 public:
  TranslationMemory();
  ~TranslationMemory();
  TranslationMemory(TranslationMemory&&) noexcept;
  TranslationMemory& operator=(TranslationMemory&&) noexcept;

  // Reads a TMX file (at most kMaxMemoryFileBytes) and adds its entries.
  // EFOpenError when it cannot be read, EFormatError "path: line N: ..."
  // when it is refused; the memory is then as it was.
  void AddFile(const std::string& path, const MemoryOptions& options);
  // The same for bytes already read; name stands for the file in hits and messages.
  void AddTmx(std::string_view bytes, const std::string& name, const MemoryOptions& options);

  size_t Size() const;  // entries
  std::vector<std::string> Files() const;
  // The languages of the translations, lower case with "-" ("de", "pt-br"), sorted.
  std::vector<std::string> Languages() const;

 private:
  friend class MemorySearch;
  std::vector<std::unique_ptr<MemoryFile>> files_;
};

// Looks up matches for many phrases, one at a time, in the translations
// into one language. It keeps working space between lookups and so serves
// one thread. The memory must outlive it; files added to the memory
// meanwhile are searched from the next lookup on.
class MemorySearch {
 public:
  MemorySearch(const TranslationMemory& memory, std::string language);
  ~MemorySearch();

  // Every entry whose source is this very text, in the order of the files.
  std::vector<MemoryHit> Exact(std::string_view source);

  // The best matches for an origin text (UTF-8) that score at least
  // minScore, at most count of them, best first: by score, then the same
  // text before one in another case, then more places, then a switched-on
  // translation before one for review. Entries with the same source and
  // translation are one match with their places summed.
  std::vector<MemoryHit> Best(std::string_view origin, size_t count, int minScore);

 private:
  struct Scratch;
  // Takes in the files added to the memory since the last lookup.
  void Follow();
  // Offers the texts of file f (number fi) similar to the origin (m
  // characters) that can still make the best matches.
  void SimilarIn(const MemoryFile& f, size_t fi, std::string_view origin, size_t m, const DistanceQuery& distance,
                 TopMatches& top);
  const TranslationMemory& memory_;
  std::string language_;
  std::unique_ptr<Scratch> scratch_;
};

}  // namespace velmora
