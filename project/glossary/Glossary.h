// A glossary: the terms of the unit's texts with the translations they
// must have, and translations that are forbidden. Read from a TBX file
// (termEntry, langSet, tig or ntig and term, and TBX 3's conceptEntry,
// langSec and termSec; a term whose administrativeStatus is deprecated,
// superseded or forbidden is forbidden) or from a tab-separated file (a
// line per term: source, target and, optionally, "forbidden" when the
// target must not be used).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

struct GlossaryEntry {
  std::vector<std::string> Sources;    // terms of the unit's language, UTF-8
  std::vector<std::string> Targets;    // the translations to use
  std::vector<std::string> Forbidden;  // translations never to use
  size_t Line = 0;                     // where the entry begins in its file
};

struct Glossary {
  std::vector<GlossaryEntry> Entries;
  std::string SourceLanguage;  // as the file names them ("" for a tab-separated file)
  std::string TargetLanguage;
};

// The largest glossary read, as large as any phrase file.
constexpr uint64_t kMaxGlossaryFileBytes = 64ull << 20;

// Which languages of a TBX file are the unit's and the translations'.
struct GlossaryLanguages {
  std::string Source = "en";
  // The translations' language; empty: the one language besides the
  // source's that the file has.
  std::string Target;
};

// A TBX file (UTF-8 or UTF-16 with a byte-order mark). Raises EFormatError
// "line N: ..." for a file that is not well-formed XML or not TBX, for the
// refusals of every XML file a user hands over, and when the target
// language is not given and the file has terms in several languages
// besides the source's (or none).
Glossary ReadTbx(std::string_view bytes, const GlossaryLanguages& languages);

// A tab-separated file (UTF-8): per line a source term, a tab, the target
// term and, optionally, a tab and "forbidden". Empty lines and lines that
// begin with "#" are skipped. Lines of the same source term make one entry.
// Raises EFormatError "line N: ..." for a line of another form.
Glossary ReadTabbedGlossary(std::string_view bytes);

// Reads a glossary file: TBX when it has the extension .tbx or .xml or
// begins with "<", else tab-separated. Errors name the path.
Glossary LoadGlossary(const std::string& path, const GlossaryLanguages& languages);

}  // namespace velmora
