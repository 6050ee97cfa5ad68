// The formats of phrase files that translators exchange with Velmora: the
// plain text file, gettext PO and XLIFF 1.2. Each format says what it can do
// (read, write), how the file dialogs name it, its short name for the
// command line, and whether a file is one of its own; it writes the chosen
// phrases of a table and reads a file back into the table. The window and
// velmora-cli both take their formats from PhraseFormats().
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/PhraseTable.h"
#include "project/text/CodePages.h"
#include "project/text/LanguageTags.h"
#include "project/exchange/TextExchange.h"
#include "project/exchange/ImportReport.h"

namespace velmora {

struct ExchangeOptions {
  // The code page of the unit's 8-bit texts.
  CodePage Page = CodePage::Default;
  // False when nobody chose the code page: a file that records the code
  // page it was written under is then read in that one.
  bool PageChosen = true;
  // Text files only.
  TextEncoding Encoding = TextEncoding::Auto;
  // Import: apply entries whose source text no longer matches the project.
  bool Force = false;
  // Export to PO and XLIFF: the language of the translations (the locale's
  // when not given) and of the unit's texts (by the code page when not
  // given). The import reads neither.
  std::optional<LanguageTag> Language;
  std::optional<LanguageTag> SourceLanguage;
};

class PhraseFormat;

// One entry of a file dialog's filter list. The window shows the
// description in its interface language.
struct DialogFilter {
  const PhraseFormat* Format = nullptr;
  TextEncoding Encoding = TextEncoding::Auto;
  std::string Description;  // in English: "gettext PO Files"
  std::string Patterns;     // "*.xlf;*.xliff"
};

class PhraseFormat {
 public:
  enum Capability : unsigned { kCanRead = 1, kCanWrite = 2 };

  virtual ~PhraseFormat() = default;

  // "txt", "po", "xliff".
  virtual std::string_view ShortName() const = 0;
  virtual unsigned Capabilities() const = 0;
  // The entries this format adds to the open (kCanRead) or save
  // (kCanWrite) dialog.
  virtual std::vector<DialogFilter> DialogFilters(Capability use) const = 0;
  // True when path has one of this format's extensions (case ignored).
  virtual bool HasExtension(std::string_view path) const = 0;
  // True when a file's first bytes show this format.
  virtual bool LooksLike(std::string_view head) const = 0;

  // The file's bytes for the phrases at rows (indices into the table, in
  // the order given; links and indices outside the table are left out).
  virtual std::string Write(const PhraseTable& table, const std::vector<int32_t>& rows,
                            const ExchangeOptions& options) const = 0;
  // Reads a file's bytes into the table and reports what happened. A file
  // that cannot be parsed raises EFormatError naming the line, and the table
  // is left as it was.
  virtual ImportReport Read(PhraseTable& table, std::string_view bytes, const ExchangeOptions& options) const = 0;
};

// Every format, the text file first.
const std::vector<const PhraseFormat*>& PhraseFormats();
// "txt|po|xliff", for usage texts.
std::string PhraseFormatNames();
// The format with this short name, or nullptr.
const PhraseFormat* FindPhraseFormat(std::string_view shortName);
// The format that a file to write is meant to have: the first whose
// extension it has; the text file otherwise.
const PhraseFormat& PhraseFormatForOutput(std::string_view path);
// The format of a file to read: by extension first, then by its first
// bytes; the text file when neither tells.
const PhraseFormat& PhraseFormatForInput(std::string_view path, std::string_view head);
// The filter list of the open or save dialog: every format's entries.
std::vector<DialogFilter> PhraseDialogFilters(PhraseFormat::Capability use);

// The largest phrase file read: a 30,000-phrase XLIFF file holds about 7 MB.
constexpr uint64_t kMaxPhraseFileBytes = 64ull << 20;
// "a phrase file may hold at most 64 MB": the end of the message that
// refuses a larger file or input.
std::string PhraseFileLimitText();
// The bytes of the phrase file at path, or of standard input: EFOpenError
// for what is not a regular file, EFormatError for more than
// kMaxPhraseFileBytes (container/io/BoundedRead.h).
std::string ReadPhraseFile(const std::string& path);
std::string ReadPhraseStandardInput();

// Writes the chosen phrases into a file at path (atomically).
void ExportPhraseFile(const PhraseFormat& format, const PhraseTable& table, const std::vector<int32_t>& rows,
                      const std::string& path, const ExchangeOptions& options);
// Reads the file at path into the table in the given format, or in the
// format PhraseFormatForInput finds when format is null. A parse error is
// raised as EFormatError with the path before its line.
ImportReport ImportPhraseFile(const PhraseFormat* format, PhraseTable& table, const std::string& path,
                              const ExchangeOptions& options);
// The same for bytes already read from the file at path.
ImportReport ImportPhraseBytes(const PhraseFormat* format, PhraseTable& table, const std::string& path,
                               std::string_view bytes, const ExchangeOptions& options);

}  // namespace velmora
