// Which code page a command reads a project's texts in when nobody names
// one, and how a phrase file records the one it was written in, so that it
// is read back in the same code page on a machine with another locale.
#pragma once

#include <optional>
#include <string_view>

#include "analysis/PhraseTable.h"
#include "project/text/CodePages.h"

namespace velmora {

// True when extraction found the project's phrases by the Japanese rules,
// as far as their bytes tell: a phrase holds bytes that only those rules
// accept (a two-byte character, a leading digit, ...). A project whose
// texts fit the English or European rules as well reads the same in either
// code page and counts as not Japanese.
bool HoldsJapaneseTexts(const PhraseTable& table);

// The project's own code page: Japanese for Japanese texts, else the
// locale's 8-bit code page (Default).
CodePage ProjectCodePage(const PhraseTable& table);

// The menu entry that Default stands for on this machine (Windows-1251
// under a Russian locale, ...); any other entry as it is.
CodePage ConcreteCodePage(CodePage cp);

// The code page a phrase file records: its code-page name ("CP1251", case
// ignored) or, as older files wrote it, the command line's name
// ("russian"; "default" is this machine's locale).
std::optional<CodePage> CodePageFromRecord(std::string_view name);

}  // namespace velmora
