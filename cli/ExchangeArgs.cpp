#include "cli/ExchangeArgs.h"

#include "cli/CliCommon.h"

namespace velmora::cli {

const PhraseFormat* FormatOption(const ArgParser& ap) {
  const auto name = ap.Value("--format");
  if (!name) return nullptr;
  const PhraseFormat* format = FindPhraseFormat(*name);
  if (!format) throw UsageError("--format takes " + PhraseFormatNames() + ", not '" + *name + "'");
  return format;
}

ExchangeOptions ExchangeOptionsFrom(const ArgParser& ap, const PhraseFormat* format) {
  ExchangeOptions options;
  if (const auto page = CodePageOption(ap)) {
    options.Page = *page;
  } else {
    options.PageChosen = false;
  }
  if (const auto e = ap.Value("--encoding")) {
    const auto encoding = TextEncodingFromName(*e);
    if (!encoding) throw UsageError("--encoding takes utf-8, utf-16 or 8bit, not '" + *e + "'");
    if (format && format->ShortName() != "txt")
      throw UsageError("--encoding is for text files; " + std::string(format->ShortName()) + " files are UTF-8");
    options.Encoding = *encoding;
  }
  return options;
}

void LanguageOptionsFrom(const ArgParser& ap, const PhraseFormat& format, ExchangeOptions& options) {
  for (const std::string& name : kLanguageValueOptions) {
    const auto code = ap.Value(name);
    if (!code) continue;
    if (format.ShortName() == "txt") throw UsageError(name + " is for PO and XLIFF files; a text file names no language");
    const auto tag = ParseLanguageTag(*code);
    if (!tag)
      throw UsageError(name + " takes a language code such as de, pt-BR, pt_BR or sr@latin, not '" + *code + "'");
    (name == "--language" ? options.Language : options.SourceLanguage) = *tag;
  }
}

}  // namespace velmora::cli
