// Exchange of phrase texts with a plain text file. The export writes one
// entry per phrase ("index = text" and CR LF), the import reads such a file
// back and attaches each text to the phrase its index names, as that
// phrase's edited text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/PhraseTable.h"
#include "project/CodePages.h"

namespace velmora {

inline constexpr std::string_view kProposedExportName = "Phrases.txt";

// The export file's bytes for the given phrase indices, in order. Each entry
// is the index in decimal, " = ", the phrase's source text (never its
// edited text), CR LF. Under the Japanese code page, when the system knows
// code page 932, the file is UTF-16 little-endian with a byte-order mark and
// each entry is converted on its own (an entry that converts to nothing is
// left out); otherwise the bytes are written as they are. Indices outside
// the table are skipped.
std::string ExportPhrases(const PhraseTable& table, const std::vector<int32_t>& rows, CodePage codePage);

// Writes an export to path, replacing any earlier file only once the whole
// file is written.
void WriteExport(const std::string& path, std::string_view bytes);

// Reads an export (or any text of the same form) and attaches its texts as
// edited texts; returns the number of entries attached. Touches only
// EditedTexts and EditIndex. An index whose digits do not fit a signed
// 32-bit number raises EConvertError; the entries read before it stay
// attached.
int ImportPhrases(PhraseTable& table, std::string_view bytes);

// The message shown after an import: "<count> new phrase(s) has been added
// or replaced."
std::string ImportMessage(int count);

}  // namespace velmora
