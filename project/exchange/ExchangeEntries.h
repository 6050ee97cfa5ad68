// What the PO and XLIFF files hold for each phrase, and the rules by which
// their entries come back into the project. Both formats carry the same
// data; only its spelling differs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/PhraseTable.h"
#include "analysis/UnitText.h"
#include "project/text/CodePages.h"
#include "project/text/LanguageTags.h"
#include "project/exchange/ImportReport.h"
#include "project/exchange/PhraseFormat.h"

namespace velmora {

struct ExportEntry {
  int32_t Index = 0;
  uint32_t StringAddress = 0;
  uint32_t Room = 0;      // RoomInPlace of the phrase
  uint32_t Pointers = 0;  // pointers that reach the phrase: its own and its links'
  std::string Source;     // the origin text, UTF-8
  std::string Target;     // the edited text, UTF-8; empty when there is none
  bool Fuzzy = false;     // an edited text that is not switched on
  // "c-format" when the origin is a printf format, "no-c-format" when it
  // holds a '%' that starts no directive, else empty: translators' tools
  // then check the translation's directives.
  std::string FormatFlag;
};

struct ExportDocument {
  std::string UnitName;  // UTF-8
  std::string UnitTag;   // UTF-8
  // The code page the texts were decoded from; never Default, so that the
  // file names the same one on every machine.
  CodePage Page = CodePage::WestEurope;
  LanguageTag SourceLanguage;                 // of the origin texts
  std::optional<LanguageTag> TargetLanguage;  // of the translations; none known
  std::vector<ExportEntry> Entries;
  // "UnitName_UnitTag", the name both formats give the unit.
  std::string UnitTitle() const { return velmora::UnitTitle(UnitName, UnitTag); }
};

// The entries for the phrases at rows, in that order; links and indices
// outside the table are left out. Texts are decoded from the code page
// (Default as the locale's, which the document then names). The languages
// are the options' or, when they name none, the locale's target language
// and the code page's source language (SourceLanguageFor).
ExportDocument CollectExport(const PhraseTable& table, const std::vector<int32_t>& rows,
                             const ExchangeOptions& options);
ExportDocument CollectExport(const PhraseTable& table, const std::vector<int32_t>& rows, CodePage page);

// Where a piece of a string read from a file begins: its offset in the
// decoded string and the file's line.
struct LineMark {
  size_t Offset = 0;
  size_t Line = 0;
};

struct ImportEntry {
  bool HasContext = false;
  std::string Context;  // the phrase's index as the file gives it
  std::string Source;   // UTF-8
  std::string Target;   // UTF-8; empty changes nothing
  bool Fuzzy = false;   // the text is to be kept switched off
  size_t Line = 0;      // where the entry begins
  std::vector<LineMark> TargetMarks;  // where the target's pieces begin, in order
};

struct ImportDocument {
  std::string CodePageName;  // the code page the file records ("" when none)
  size_t CodePageLine = 0;
  // True when a line feed inside a decoded string is also a line of the
  // file (XML); false when the file spells it as an escape (PO).
  bool LiteralLineFeeds = false;
  std::vector<ImportEntry> Entries;
};

// Raises EFormatError "line N: duplicate <what> "X" (first at line M)" for
// the first context that two entries share.
void RefuseDuplicateContexts(const std::vector<ImportEntry>& entries, std::string_view what);

// Applies the entries to the table:
// - an entry lands on the phrase its context names when that phrase has the
//   entry's source text; otherwise on the one phrase whose origin text is
//   the entry's source ("matched by text"); a source that several phrases
//   hold is skipped as ambiguous; a context that names no phrase (or a
//   link) and a source found nowhere skip the entry;
// - an empty target changes nothing;
// - a named phrase whose origin text differs from the source (found nowhere
//   else) skips the entry unless options.Force, which applies it and notes
//   both texts ("forced");
// - a target with a NUL, with a character the code page cannot hold, or
//   longer than a project's text may be, is skipped;
// - otherwise a fuzzy entry gives the phrase the text, switches it off and
//   shows it ("stored switched off"); any other entry gives it the text,
//   switches it on and shows it, as the translation editor's OK does.
// Only switched-on texts longer than their room count as over budget.
// A text that differs from the phrase's only in carriage returns before line
// feeds counts as the same text and is kept. Should a change fail half way,
// the records and texts are restored before the error passes on.
ImportReport ApplyImport(PhraseTable& table, const ImportDocument& doc, const ExchangeOptions& options);

}  // namespace velmora
