// XLIFF 1.2 files of phrases: one <file> for the unit, one <trans-unit> per
// phrase with its index as id, the string address as resname, the room as
// maxwidth in bytes, the origin text as <source>, the edited text as
// <target> (approved, state "translated" when switched on, else state
// "needs-translation") and the address and pointer count in a <note>. The
// <file> names the source and target languages and, in Velmora's own
// attributes (velmora-phrase-file.xsd), the unit and the code page.
#pragma once

#include <string>
#include <string_view>

#include "project/exchange/ExchangeEntries.h"

namespace velmora {

// The XLIFF file, UTF-8. A character that XML cannot carry (a control
// character, or a carriage return not followed by a line feed) is written
// as <x ctype="x-velmora-control" equiv-text="U+000D"/>; a carriage return
// before a line feed is left out, as XML readers drop it anyway.
std::string WriteXliff(const ExportDocument& doc);

// Reads an XLIFF file (UTF-8, or UTF-16 with a byte-order mark): every
// <trans-unit> of every <file>. A target whose state is "new" or begins
// with "needs-" is fuzzy. Raises EFormatError "line N: ..." for a file that
// is not well-formed XML or not XLIFF, for a DOCTYPE (entities are never
// declared, so never expanded), an undefined entity or character reference,
// a <trans-unit> without <source>, or an id that two units share.
ImportDocument ParseXliff(std::string_view bytes);

}  // namespace velmora
