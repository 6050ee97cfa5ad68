// The figures of a project's work: how many phrases there are and how
// many are hidden, translated, switched on, to review and untranslated
// (the grid's filters count the same way), the words of the origins, and
// what the translations cost in bytes: their size as a build writes them,
// the bytes of the relocated ones, and the unit's growth against its size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "analysis/PhraseTable.h"
#include "project/text/CodePages.h"

namespace velmora {

struct ProjectStats {
  size_t Projects = 0;  // 1 for one project; summed in a total
  size_t Phrases = 0;   // link records are not phrases
  size_t Hidden = 0;
  size_t Translated = 0;  // with a translation, switched on or not
  size_t SwitchedOn = 0;
  size_t ToReview = 0;      // a translation switched off
  size_t Untranslated = 0;  // no translation (hidden phrases too, as the filter counts them)
  size_t Words = 0;         // in the origins of all phrases
  size_t UntranslatedWords = 0;
  uint64_t TranslationBytes = 0;  // the switched-on translations as a build writes them
  size_t Relocated = 0;           // of them, too long for their room
  uint64_t RelocatedBytes = 0;    // what those take in the area appended to the unit
  uint64_t UnitBytes = 0;         // the unit's size before a build
  uint64_t BuiltBytes = 0;        // its size field after one

  uint64_t Growth() const { return BuiltBytes > UnitBytes ? BuiltBytes - UnitBytes : 0; }
  // The growth in percent of the unit's size (0 for an empty unit).
  double GrowthPercent() const;
  ProjectStats& operator+=(const ProjectStats& other);
};

// The words of a text (UTF-8): runs of letters and digits, and each kana
// or kanji on its own, as Japanese writes no blanks between words.
size_t CountWords(std::string_view text);

// The figures of one project, its origins read in the code page.
ProjectStats CountProject(const PhraseTable& table, CodePage page);

}  // namespace velmora
