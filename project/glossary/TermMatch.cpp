#include "project/glossary/TermMatch.h"

#include <limits>

#include "project/text/LetterCase.h"
#include "project/text/Unicode.h"

namespace velmora {

namespace {

bool IsBlank(uint32_t cp) {
  return cp <= 0x20 || cp == 0x7F || cp == 0xA0 || cp == 0x3000 || (cp >= 0x2000 && cp <= 0x200B);
}

bool WordsMatch(const std::u32string& term, const std::u32string& text, bool anyCase) {
  if (term.size() != text.size()) return false;
  for (size_t k = 0; k < term.size(); ++k) {
    if (term[k] == text[k]) continue;
    if ((anyCase || k == 0) && FoldCase(term[k]) == FoldCase(text[k])) continue;
    return false;
  }
  return true;
}

}  // namespace

TermFinder::Words TermFinder::Split(std::string_view text) {
  Words out;
  std::vector<uint32_t> all;
  size_t i = 0;
  while (i < text.size()) {
    const size_t begin = i;
    const uint32_t cp = NextCodePoint(text, i);
    all.push_back(cp);
    if (IsBlank(cp)) continue;
    Word w;
    w.Begin = begin;
    w.Letters.push_back(cp);
    if (IsWordCharacter(cp)) {
      while (i < text.size()) {
        size_t after = i;
        const uint32_t more = NextCodePoint(text, after);
        if (!IsWordCharacter(more)) break;
        all.push_back(more);
        w.Letters.push_back(more);
        i = after;
      }
    }
    w.End = i;
    out.List.push_back(std::move(w));
  }
  out.Capitals = InCapitals(all);
  return out;
}

std::u32string TermFinder::Key(const std::u32string& word) {
  std::u32string key = word;
  for (char32_t& c : key) c = static_cast<char32_t>(FoldCase(c));
  return key;
}

TermFinder::TermFinder(Glossary glossary) : glossary_(std::move(glossary)) {
  for (size_t e = 0; e < glossary_.Entries.size(); ++e) {
    const GlossaryEntry& entry = glossary_.Entries[e];
    for (const std::string& t : entry.Sources) Add(sources_, sourceIndex_, e, t);
    for (const std::string& t : entry.Targets) Add(targets_, targetIndex_, e, t);
    for (const std::string& t : entry.Forbidden) Add(forbidden_, forbiddenIndex_, e, t);
  }
}

void TermFinder::Add(std::vector<Term>& terms, TermIndex& index, size_t entry, const std::string& text) {
  Words words = Split(text);
  if (words.List.empty()) return;
  Term t;
  t.Entry = entry;
  t.Text = text;
  t.Capitals = words.Capitals;
  for (Word& w : words.List) t.Words.push_back(std::move(w.Letters));
  index[Key(t.Words[0])].push_back(terms.size());
  terms.push_back(std::move(t));
}

std::vector<TermHit> TermFinder::Find(const std::vector<Term>& terms, const TermIndex& index, std::string_view text,
                                      size_t onlyEntry) const {
  std::vector<TermHit> hits;
  if (terms.empty()) return hits;
  const Words words = Split(text);
  for (size_t i = 0; i < words.List.size(); ++i) {
    const auto found = index.find(Key(words.List[i].Letters));
    if (found == index.end()) continue;
    for (const size_t k : found->second) {
      const Term& t = terms[k];
      if (onlyEntry != std::numeric_limits<size_t>::max() && t.Entry != onlyEntry) continue;
      if (i + t.Words.size() > words.List.size()) continue;
      const bool anyCase = words.Capitals || t.Capitals;
      bool match = true;
      for (size_t w = 0; w < t.Words.size() && match; ++w)
        match = WordsMatch(t.Words[w], words.List[i + w].Letters, anyCase);
      if (!match) continue;
      const size_t end = words.List[i + t.Words.size() - 1].End;
      hits.push_back({t.Entry, t.Text, words.List[i].Begin, end - words.List[i].Begin});
    }
  }
  return hits;
}

std::vector<TermHit> TermFinder::SourceTerms(std::string_view text) const {
  return Find(sources_, sourceIndex_, text, std::numeric_limits<size_t>::max());
}

std::vector<TermHit> TermFinder::ForbiddenTerms(std::string_view text) const {
  return Find(forbidden_, forbiddenIndex_, text, std::numeric_limits<size_t>::max());
}

bool TermFinder::HoldsTarget(std::string_view text, size_t entry) const {
  return !Find(targets_, targetIndex_, text, entry).empty();
}

}  // namespace velmora
