// Menu mnemonics: the letter after "&", and the Latin key at a Russian
// letter's place, so that every menu of the Russian menu bar opens by Alt
// and one key whatever layout is active.
#include <gtest/gtest.h>

#include <set>

#include "ui/logic/words/CaptionTables.h"
#include "ui/logic/words/Mnemonics.h"

namespace velmora::ui {
namespace {

TEST(Mnemonics, LetterAfterTheAmpersand) {
  EXPECT_EQ(MnemonicOf("&File"), U'F');
  EXPECT_EQ(MnemonicOf("Code &Page"), U'P');
  EXPECT_EQ(MnemonicOf("&Файл"), U'Ф');
  EXPECT_EQ(MnemonicOf("Rock && &Roll"), U'R');
  EXPECT_EQ(MnemonicOf("Rock && Roll"), std::nullopt);
  EXPECT_EQ(MnemonicOf("Trailing&"), std::nullopt);
}

TEST(Mnemonics, RussianLettersOnTheirLatinKeys) {
  const struct {
    char32_t letter;
    std::optional<char> key;
  } cases[] = {
      {U'Ф', 'a'}, {U'ф', 'a'}, {U'П', 'g'}, {U'К', 'r'}, {U'Я', 'z'}, {U'С', 'c'}, {U'Й', 'q'},
      {U'Ж', ';'}, {U'Ю', '.'}, {U'Ё', '`'}, {U'F', std::nullopt}, {U'ß', std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(LatinKeyOf(c.letter), c.key) << static_cast<uint32_t>(c.letter);
}

TEST(Mnemonics, EveryMenuOfTheBarHasItsOwnKeyInBothLanguages) {
  const CaptionId titles[] = {CaptionId::FileMenuTitle, CaptionId::EditMenuTitle, CaptionId::CodePageMenuTitle,
                              CaptionId::LanguageMenuTitle, CaptionId::HelpMenuTitle};
  std::set<char32_t> english;
  std::set<char> russianKeys;
  for (const CaptionId id : titles) {
    const auto en = MnemonicOf(CaptionText(id, UiLanguage::English));
    const auto ru = MnemonicOf(CaptionText(id, UiLanguage::Russian));
    ASSERT_TRUE(en && ru) << CaptionRowOf(id).Control;
    EXPECT_TRUE(english.insert(*en).second) << CaptionRowOf(id).Control;
    const auto key = LatinKeyOf(*ru);
    ASSERT_TRUE(key) << CaptionRowOf(id).Control;
    EXPECT_TRUE(russianKeys.insert(*key).second) << CaptionRowOf(id).Control;
  }
}

}  // namespace
}  // namespace velmora::ui
