// Finding a glossary's terms in a text. Terms match whole words: a text
// and a term are read as words (runs of letters and digits) and single
// other characters (punctuation, and each kana or kanji), blanks and line
// breaks between them ignored, and a term matches where its words follow
// one another in the text. Case must agree but for the first letter of a
// word (sentence and title case: "Route options" matches "route Options"),
// and not at all where the text or the term is in capitals: a label in
// capitals matches its mixed-case twin ("ROUTE OPTIONS").
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "project/glossary/Glossary.h"

namespace velmora {

struct TermHit {
  size_t Entry = 0;   // in the glossary's Entries
  std::string Term;   // the glossary's spelling
  size_t Offset = 0;  // bytes into the text where it begins
  size_t Length = 0;  // bytes of the text it covers
};

class TermFinder {
 public:
  explicit TermFinder(Glossary glossary);

  const Glossary& Terms() const { return glossary_; }

  // The source terms a text holds (an origin, UTF-8), in the order of the
  // text; where terms overlap, each is listed.
  std::vector<TermHit> SourceTerms(std::string_view text) const;
  // The forbidden terms a text holds (a translation, UTF-8).
  std::vector<TermHit> ForbiddenTerms(std::string_view text) const;
  // True when the text holds one of the entry's target terms.
  bool HoldsTarget(std::string_view text, size_t entry) const;

 private:
  struct Word {
    std::u32string Letters;
    size_t Begin = 0, End = 0;  // bytes
  };
  struct Term {
    size_t Entry = 0;
    std::string Text;
    std::vector<std::u32string> Words;
    bool Capitals = false;
  };
  struct Words {
    std::vector<Word> List;
    bool Capitals = false;
  };
  using TermIndex = std::unordered_map<std::u32string, std::vector<size_t>>;

  static Words Split(std::string_view text);
  static std::u32string Key(const std::u32string& word);
  void Add(std::vector<Term>& terms, TermIndex& index, size_t entry, const std::string& text);
  std::vector<TermHit> Find(const std::vector<Term>& terms, const TermIndex& index, std::string_view text,
                            size_t onlyEntry) const;

  Glossary glossary_;
  std::vector<Term> sources_, targets_, forbidden_;
  TermIndex sourceIndex_, targetIndex_, forbiddenIndex_;
};

}  // namespace velmora
