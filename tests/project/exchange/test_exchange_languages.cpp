// What PO and XLIFF files say about themselves so that other tools and
// other machines read them right: the target and source languages, and the
// concrete code page the texts were converted from; and the project's own
// code page that commands take when none is named.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "project/exchange/PhraseFormat.h"
#include "project/exchange/PoFile.h"
#include "project/exchange/XliffFile.h"
#include "project/text/CodePageChoice.h"
#include "project/text/LanguageTags.h"
#include "support/TableBuilder.h"
#include "support/TestSupport.h"

using namespace velmora;
using velmora::test::ScopedLocale;
using velmora::test::TableBuilder;

namespace {

std::string HeaderField(const std::string& po, const std::string& key) {
  const std::string start = "\"" + key + ": ";
  const size_t at = po.find(start);
  if (at == std::string::npos) return "(missing)";
  const size_t end = po.find("\\n\"", at);
  return po.substr(at + start.size(), end - at - start.size());
}

std::string Attribute(const std::string& xml, const std::string& name) {
  const std::string start = " " + name + "=\"";
  const size_t at = xml.find(start);
  if (at == std::string::npos) return "(missing)";
  const size_t end = xml.find('"', at + start.size());
  return xml.substr(at + start.size(), end - at - start.size());
}

// "Привет" in Windows-1251, switched on.
PhraseTable CyrillicProject() {
  PhraseTable t;
  TableBuilder().Add("Route").Add("Menu", pfOn, "\xCF\xF0\xE8\xE2\xE5\xF2").Names("APM", "T1").Fill(t);
  return t;
}

}  // namespace

TEST(LanguageTags, BothSpellingsReadAndWritten) {
  struct Case {
    const char* code;
    const char* bcp47;    // "" when the code is refused
    const char* gettext;
  } cases[] = {
      {"de", "de", "de"},
      {"DE", "de", "de"},
      {"pt-BR", "pt-BR", "pt_BR"},
      {"pt_br", "pt-BR", "pt_BR"},
      {"sr@latin", "sr-Latn", "sr@latin"},
      {"sr-Latn-RS", "sr-Latn-RS", "sr_RS@latin"},
      {"sr_RS@cyrillic", "sr-Cyrl-RS", "sr_RS@cyrillic"},
      {"zh-Hant-TW", "zh-Hant-TW", "zh_Hant_TW"},
      {"es-419", "es-419", "es_419"},
      {"ca_ES@valencia", "ca-ES-valencia", "ca_ES@valencia"},
      {"de_DE.UTF-8", "de-DE", "de_DE"},
      {"de_DE.ISO-8859-15@euro", "de-DE", "de_DE"},
      {"fil", "fil", "fil"},
      {"", "", ""},
      {"d", "", ""},
      {"deutsch", "", ""},
      {"de-", "", ""},
      {"de DE", "", ""},
      {"de-1", "", ""},
      {"12", "", ""},
      {"sr-Cyrl@latin", "", ""},
      {"de@x", "", ""},
  };
  for (const Case& c : cases) {
    const auto tag = ParseLanguageTag(c.code);
    if (!*c.bcp47) {
      EXPECT_FALSE(tag) << c.code;
      continue;
    }
    ASSERT_TRUE(tag) << c.code;
    EXPECT_EQ(tag->Bcp47(), c.bcp47) << c.code;
    EXPECT_EQ(tag->Gettext(), c.gettext) << c.code;
    EXPECT_EQ(ParseLanguageTag(tag->Gettext()), tag) << c.code << ": the gettext spelling reads back";
    EXPECT_EQ(ParseLanguageTag(tag->Bcp47()), tag) << c.code << ": the BCP 47 spelling reads back";
  }
}

TEST(LanguageTags, LocaleLanguageFollowsTheMessageCategory) {
  struct Case {
    std::map<std::string, std::string> env;
    const char* expected;  // "" for none
  } cases[] = {
      {{{"LANG", "de_DE.UTF-8"}}, "de-DE"},
      {{{"LANG", "de_DE.UTF-8"}, {"LC_MESSAGES", "fr_CA.UTF-8"}}, "fr-CA"},
      {{{"LANG", "de_DE.UTF-8"}, {"LC_MESSAGES", "fr_CA.UTF-8"}, {"LC_ALL", "ja_JP.eucJP"}}, "ja-JP"},
      {{{"LC_CTYPE", "ru_RU.UTF-8"}}, ""},  // the character category says nothing about language
      {{{"LANG", "C.UTF-8"}}, ""},
      {{{"LANG", "POSIX"}}, ""},
      {{{"LC_ALL", "C"}, {"LANG", "de_DE.UTF-8"}}, ""},
      {{{"LANG", "sr_RS@latin"}}, "sr-Latn-RS"},
      {{}, ""},
  };
  for (const Case& c : cases) {
    ScopedLocale locale(c.env);
    const auto tag = LocaleLanguage();
    EXPECT_EQ(tag ? tag->Bcp47() : "", c.expected) << (c.env.empty() ? "(nothing set)" : c.env.begin()->second);
  }
}

TEST(ExchangeHeaders, PoNamesTheLanguagesAndTheConcreteCodePage) {
  const PhraseTable t = CyrillicProject();
  struct Case {
    std::map<std::string, std::string> env;
    CodePage page;
    std::optional<std::string> language, sourceLanguage;
    const char* expectLanguage;
    const char* expectSource;
    const char* expectCodePage;
  } cases[] = {
      // The locale gives the target language and, for Default, the code page.
      {{{"LANG", "ru_RU.UTF-8"}}, CodePage::Default, {}, {}, "ru_RU", "en", "CP1251"},
      {{{"LANG", "ru_RU.UTF-8"}}, CodePage::Default, "de", {}, "de", "en", "CP1251"},
      {{{"LANG", "de_DE.UTF-8"}}, CodePage::Russian, "pt-BR", {}, "pt_BR", "en", "CP1251"},
      {{{"LANG", "ja_JP.UTF-8"}}, CodePage::Default, "en", {}, "en", "ja", "CP932"},
      {{{"LANG", "de_DE.UTF-8"}}, CodePage::Japanese, {}, "zh-Hant", "de_DE", "zh_Hant", "CP932"},
      {{{"LANG", "C.UTF-8"}}, CodePage::Default, {}, {}, "", "en", "CP1252"},
  };
  for (const Case& c : cases) {
    ScopedLocale locale(c.env);
    ExchangeOptions options;
    options.Page = c.page;
    if (c.language) options.Language = ParseLanguageTag(*c.language);
    if (c.sourceLanguage) options.SourceLanguage = ParseLanguageTag(*c.sourceLanguage);
    const std::string po = WritePo(CollectExport(t, {0, 1}, options));
    const std::string where = c.env.begin()->second + " " + CodePageCliName(c.page);
    EXPECT_EQ(HeaderField(po, "Language"), c.expectLanguage) << where;
    EXPECT_EQ(HeaderField(po, "X-Source-Language"), c.expectSource) << where;
    EXPECT_EQ(HeaderField(po, "X-Velmora-Code-Page"), c.expectCodePage) << where;
    EXPECT_EQ(po.find("default"), std::string::npos) << where;
  }
}

TEST(ExchangeHeaders, XliffNamesTheLanguagesAndTheConcreteCodePage) {
  const PhraseTable t = CyrillicProject();
  {
    ScopedLocale locale("LANG", "ru_RU.UTF-8");
    const std::string xliff = WriteXliff(CollectExport(t, {0, 1}, CodePage::Default));
    EXPECT_EQ(Attribute(xliff, "source-language"), "en");
    EXPECT_EQ(Attribute(xliff, "target-language"), "ru-RU");
    EXPECT_EQ(Attribute(xliff, "velmora:code-page"), "CP1251");
    EXPECT_NE(xliff.find("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"), std::string::npos)
        << "the texts are decoded in the code page the file names";
  }
  {
    ScopedLocale locale("LANG", "C");
    ExchangeOptions options;
    options.Page = CodePage::Japanese;
    options.SourceLanguage = ParseLanguageTag("ja_JP");
    const std::string xliff = WriteXliff(CollectExport(t, {0, 1}, options));
    EXPECT_EQ(Attribute(xliff, "source-language"), "ja-JP");
    EXPECT_EQ(Attribute(xliff, "target-language"), "(missing)") << "no language is known, none is claimed";
    EXPECT_EQ(Attribute(xliff, "velmora:code-page"), "CP932");
  }
}

TEST(ExchangeHeaders, AFileReadsTheSameOnAMachineWithAnotherLocale) {
  for (const PhraseFormat* format : {FindPhraseFormat("po"), FindPhraseFormat("xliff")}) {
    PhraseTable exported = CyrillicProject();
    std::string file;
    {
      ScopedLocale russian("LANG", "ru_RU.UTF-8");
      ExchangeOptions options;  // Default: Windows-1251 here
      file = format->Write(exported, {0, 1}, options);
    }
    ScopedLocale german("LANG", "de_DE.UTF-8");  // Default: Windows-1252 here
    PhraseTable imported = CyrillicProject();
    imported.Phrases[1].Flags = 0;
    imported.Phrases[1].EditIndex = -1;
    ExchangeOptions unchosen;
    unchosen.PageChosen = false;
    const ImportReport report = format->Read(imported, file, unchosen);
    EXPECT_EQ(report.Applied, 1) << format->ShortName();
    EXPECT_EQ(report.Unrepresentable, 0) << format->ShortName();
    ASSERT_TRUE(imported.HasEditedText(imported.Phrases[1])) << format->ShortName();
    EXPECT_EQ(imported.EditedText(imported.Phrases[1]), "\xCF\xF0\xE8\xE2\xE5\xF2") << format->ShortName();
  }
}

TEST(CodePageChoice, RecordsAndDefaults) {
  struct Record {
    const char* name;
    std::optional<CodePage> page;
  } records[] = {
      {"CP1251", CodePage::Russian},   {"cp932", CodePage::Japanese}, {"CP1250", CodePage::EastEurope},
      {"russian", CodePage::Russian},  {"west-europe", CodePage::WestEurope},
      {"default", CodePage::Default},  {"CP437", std::nullopt},       {"", std::nullopt},
  };
  for (const Record& r : records) EXPECT_EQ(CodePageFromRecord(r.name), r.page) << r.name;

  struct Concrete {
    const char* lang;
    CodePage page;
  } concrete[] = {{"ru_RU.UTF-8", CodePage::Russian}, {"ja_JP.UTF-8", CodePage::Japanese},
                  {"pl_PL.UTF-8", CodePage::EastEurope}, {"C", CodePage::WestEurope}};
  for (const Concrete& c : concrete) {
    ScopedLocale locale("LANG", c.lang);
    EXPECT_EQ(ConcreteCodePage(CodePage::Default), c.page) << c.lang;
    EXPECT_EQ(ConcreteCodePage(CodePage::Greek), CodePage::Greek) << c.lang;
  }
}

TEST(CodePageChoice, AProjectOfJapaneseTextsIsJapanese) {
  struct Case {
    const char* name;
    std::vector<std::string> texts;
    bool japanese;
  } cases[] = {
      // Two-byte characters: "メニュー", "東京".
      {"two-byte characters", {"\x83\x81\x83\x6A\x83\x85\x81\x5B", "Route"}, true},
      {"a kanji after a capital", {"Route", "A\x93\x8C\x8B\x9E"}, true},
      {"a leading digit", {"1st", "Route"}, true},
      {"plain English", {"Route", "Menu <ok>"}, false},
      {"European letters", {"\xC4nderung", "K\xF6ln"}, false},
      // Half-width katakana that the European rules take as letters.
      {"half-width katakana only", {"\xC3\xDD\xC4"}, false},
      {"no phrases", {}, false},
  };
  for (const Case& c : cases) {
    TableBuilder builder;
    for (const std::string& text : c.texts) builder.Add(text);
    builder.Add("End").AddLink(0);
    PhraseTable t;
    builder.Fill(t);
    EXPECT_EQ(HoldsJapaneseTexts(t), c.japanese) << c.name;
    EXPECT_EQ(ProjectCodePage(t), c.japanese ? CodePage::Japanese : CodePage::Default) << c.name;
  }
}
