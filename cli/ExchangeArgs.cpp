#include "cli/ExchangeArgs.h"

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
    options.codePage = *page;
  } else {
    options.codePageChosen = false;
  }
  if (const auto e = ap.Value("--encoding")) {
    const auto encoding = TextEncodingFromName(*e);
    if (!encoding) throw UsageError("--encoding takes utf-8, utf-16 or 8bit, not '" + *e + "'");
    if (format && format->ShortName() != "txt")
      throw UsageError("--encoding is for text files; " + std::string(format->ShortName()) + " files are UTF-8");
    options.encoding = *encoding;
  }
  return options;
}

}  // namespace velmora::cli
