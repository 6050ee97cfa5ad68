// Letters, digits and their case in the scripts of the units' code pages
// (Latin with its European letters, Greek, Cyrillic, Arabic, Japanese),
// for comparing texts the way a translator reads them: a label in capitals
// is the same words as its mixed-case twin, and a word ends where its
// letters end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The small letter of a capital (Latin, Greek, Cyrillic, full-width Latin);
// any other code point as it is. Final sigma folds to sigma, and the Turkish
// dotted capital I and dotless small i both fold to "i", so that every
// spelling of a word in capitals folds alike.
uint32_t FoldCase(uint32_t cp);
bool IsCapitalLetter(uint32_t cp);
bool IsSmallLetter(uint32_t cp);

// A letter or digit of a script that separates its words with blanks or
// punctuation (Latin, Greek, Cyrillic, Arabic, full-width Latin and
// digits). Japanese kana and kanji are not: a word of them has no visible
// end, so each of their characters counts on its own.
bool IsWordCharacter(uint32_t cp);
// A character of a script that writes no blanks between words (kana,
// kanji, half-width katakana).
bool IsUnspacedCharacter(uint32_t cp);

// True when the text is in capitals: it has a capital letter and no small
// one ("ROUTE OPTIONS", "GPS 2").
bool InCapitals(const std::vector<uint32_t>& codePoints);
bool InCapitals(std::string_view utf8);

// The text with every letter folded (FoldCase), as UTF-8.
std::string FoldedUtf8(std::string_view utf8);

}  // namespace velmora
