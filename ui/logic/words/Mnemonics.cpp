#include "ui/logic/words/Mnemonics.h"

#include <array>

namespace velmora::ui {

namespace {

// The Russian standard layout over a US keyboard: the small letters
// а (U+0430) to я (U+044F), each with the key at its place.
constexpr std::array<char, 32> kLatinOfCyrillic = {
    'f', ',', 'd', 'u', 'l', 't', ';', 'p',  // а б в г д е ж з
    'b', 'q', 'r', 'k', 'v', 'y', 'j', 'g',  // и й к л м н о п
    'h', 'c', 'n', 'e', 'a', '[', 'w', 'x',  // р с т у ф х ц ч
    'i', 'o', ']', 's', 'm', '\'', '.', 'z',  // ш щ ъ ы ь э ю я
};

// Decodes one UTF-8 character at text[pos]; advances pos.
char32_t NextChar(std::string_view text, size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos++]);
  int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  char32_t c = more == 3 ? lead & 0x07 : more == 2 ? lead & 0x0F : more == 1 ? lead & 0x1F : lead;
  for (; more > 0 && pos < text.size(); --more) c = (c << 6) | (static_cast<unsigned char>(text[pos++]) & 0x3F);
  return c;
}

}  // namespace

std::optional<char32_t> MnemonicOf(std::string_view caption) {
  for (size_t pos = 0; pos < caption.size();) {
    if (caption[pos] != '&') {
      NextChar(caption, pos);
      continue;
    }
    if (++pos >= caption.size()) return std::nullopt;
    if (caption[pos] == '&') {
      ++pos;
      continue;
    }
    return NextChar(caption, pos);
  }
  return std::nullopt;
}

std::optional<char> LatinKeyOf(char32_t letter) {
  if (letter >= 0x0410 && letter <= 0x042F) letter += 0x20;  // capital to small
  if (letter == 0x0451 || letter == 0x0401) return '`';      // ё
  if (letter < 0x0430 || letter > 0x044F) return std::nullopt;
  return kLatinOfCyrillic[letter - 0x0430];
}

}  // namespace velmora::ui
