// Exchange of phrase texts with a plain text file. The export writes one
// entry per phrase ("index = text" and CR LF), the import reads such a file
// back and attaches each text to the phrase its index names, as that
// phrase's edited text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/PhraseTable.h"
#include "project/text/CodePages.h"
#include "project/exchange/ImportReport.h"

namespace velmora {

inline constexpr std::string_view kProposedExportName = "Phrases.txt";

// How a text file's characters are stored. Auto is the file's own rule: on
// import a byte-order mark decides (FF FE UTF-16, EF BB BF UTF-8, none
// 8-bit); on export UTF-16 under the Japanese code page, else 8-bit.
enum class TextEncoding { Auto, EightBit, Utf8, Utf16 };
// "8bit", "utf-8", "utf-16" (the command line's names); Auto has none.
std::optional<TextEncoding> TextEncodingFromName(std::string_view name);

// The export file's bytes for the given phrase indices, in order. Each entry
// is the index in decimal, " = ", the phrase's source text (never its
// edited text), CR LF. Under the Japanese code page, when the system knows
// code page 932, the file is UTF-16 little-endian with a byte-order mark and
// each entry is converted on its own (an entry that converts to nothing is
// left out); otherwise the bytes are written as they are. Indices outside
// the table are skipped.
std::string ExportPhrases(const PhraseTable& table, const std::vector<int32_t>& rows, CodePage codePage);
// The same in a chosen encoding: Auto as above, EightBit the bytes as they
// are, Utf8 and Utf16 (little-endian) with a byte-order mark and the texts
// converted from the code page.
std::string ExportPhrases(const PhraseTable& table, const std::vector<int32_t>& rows, CodePage codePage,
                          TextEncoding encoding);

// Writes an export to path, replacing any earlier file only once the whole
// file is written.
void WriteExport(const std::string& path, std::string_view bytes);

// Reads an export (or any text of the same form) and attaches its texts as
// edited texts; returns the number of entries attached. Touches only
// EditedTexts and EditIndex. A file with a byte-order mark is read as
// UTF-16 or UTF-8 with its texts converted into the Default code page. An
// index whose digits do not fit a signed 32-bit number raises
// EConvertError; the entries read before it stay attached.
int ImportPhrases(PhraseTable& table, std::string_view bytes);

// The same in a chosen encoding, with texts of a Unicode file converted
// into codePage. The report's Applied is the count and its Headline the
// import message; an entry with a character the code page cannot hold, or
// with a text longer than a project's text may be, is skipped and noted
// with its line.
ImportReport ImportPhrases(PhraseTable& table, std::string_view bytes, TextEncoding encoding, CodePage codePage);

// The message shown after an import: "<count> new phrase(s) has been added
// or replaced."
std::string ImportMessage(int count);

}  // namespace velmora
