// Language codes of phrase files. A translator names the target language
// either as a BCP 47 tag ("pt-BR", "sr-Latn") or as a gettext code
// ("pt_BR", "sr@latin"); PO files want the gettext spelling in their
// Language header, XLIFF files the BCP 47 spelling in target-language.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/text/CodePages.h"

namespace velmora {

struct LanguageTag {
  std::string Language;  // "pt": two or three small letters
  std::string Script;    // "Latn", or empty
  std::string Region;    // "BR" or "419", or empty
  std::vector<std::string> Variants;  // "valencia"; small letters

  // "pt-BR", "sr-Latn", "ca-ES-valencia".
  std::string Bcp47() const;
  // "pt_BR", "sr@latin", "ca_ES@valencia"; a script without a gettext
  // modifier stays a part of the code: "zh_Hant_TW".
  std::string Gettext() const;

  bool operator==(const LanguageTag&) const = default;
};

// Reads a code in either spelling, case ignored: a language of two or three
// letters, then, separated by "-" or "_", a script of four letters, a
// region of two letters or three digits and variants of five to eight
// letters or digits (or four beginning with a digit); a gettext modifier
// ("@latin", "@cyrillic", "@valencia") after them. A locale's codeset
// (".UTF-8") and the modifier "@euro" are dropped. nullopt for anything
// else.
std::optional<LanguageTag> ParseLanguageTag(std::string_view code);

// The language of the user's messages: the first of LC_ALL, LC_MESSAGES and
// LANG that is set, read as a locale name ("de_DE.UTF-8"). nullopt when it
// names none ("C", "POSIX", unset).
std::optional<LanguageTag> LocaleLanguage();

// True when a language a file names fits the one asked for: the same tag
// (case, and "_" against "-", ignored), or one of them a region or script
// of the other's language ("de" fits "de-AT"; "pt-BR" does not fit
// "pt-PT"). For the languages of translation memories and glossaries.
bool LanguageFits(std::string_view asked, std::string_view named);
// A tag as LanguageFits compares it: small letters, "-" for "_" ("de-de").
std::string ComparableLanguageTag(std::string_view tag);

// The language of a unit's texts under a code page: Japanese under Shift
// JIS, English under every other.
LanguageTag SourceLanguageFor(CodePage page);

}  // namespace velmora
