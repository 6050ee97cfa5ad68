// gettext PO files of phrases: one entry per phrase, msgctxt its index,
// msgid its origin text, msgstr its edited text, "#, fuzzy" for a text that
// is not switched on; the room and the pointer count in a "#." comment and
// the string address in a "#:" line.
#pragma once

#include <string>
#include <string_view>

#include "project/exchange/ExchangeEntries.h"

namespace velmora {

// The PO file, UTF-8, with a complete header.
std::string WritePo(const ExportDocument& doc);

// Reads a PO file as gettext writes it: comments, msgctxt, msgid,
// msgid_plural, msgstr and msgstr[N], strings continued on further lines,
// C escapes, obsolete "#~" entries (ignored) and a header whose charset
// says how the strings are encoded. Raises EFormatError "line N: ..." for
// anything else: a truncated entry, an unterminated string, an unknown
// keyword or escape, a NUL in a string, bytes that are not UTF-8, or a
// msgctxt that two entries share.
ImportDocument ParsePo(std::string_view bytes);

}  // namespace velmora
