// Menu mnemonics: the letter after "&" in a caption, and for a Cyrillic
// letter the key that stands at its place on a Latin keyboard, so that a
// Russian menu opens by Alt and that key whichever layout is active.
#pragma once

#include <optional>
#include <string_view>

namespace velmora::ui {

// The character after the first single "&" of a UTF-8 caption ("&&" is a
// plain ampersand); nullopt when the caption has none.
std::optional<char32_t> MnemonicOf(std::string_view caption);

// The Latin key (a small letter or punctuation) at the place of a Cyrillic
// letter on the Russian standard layout; nullopt for any other character.
std::optional<char> LatinKeyOf(char32_t letter);

}  // namespace velmora::ui
