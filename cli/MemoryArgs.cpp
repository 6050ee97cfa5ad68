#include "cli/MemoryArgs.h"

#include <algorithm>

#include "project/glossary/Glossary.h"
#include "project/text/CodePageChoice.h"
#include "project/text/LanguageTags.h"

namespace velmora::cli {

std::vector<std::string> MemoryFiles(const ArgParser& ap, size_t firstExtra) {
  std::vector<std::string> files = ap.Values("--memory");
  if (files.empty()) throw UsageError("name the memory with --memory FILE");
  const auto& pos = ap.Positionals();
  for (size_t i = firstExtra; i < pos.size(); ++i) files.push_back(pos[i]);
  for (const std::string& f : files)
    if (f.empty()) throw UsageError("a memory file name is empty");
  return files;
}

std::string LanguageOption(const ArgParser& ap, const std::string& name) {
  const auto code = ap.Value(name);
  if (!code) return "";
  const auto tag = ParseLanguageTag(*code);
  if (!tag) throw UsageError(name + " takes a language code such as de, pt-BR, pt_BR or sr@latin, not '" + *code + "'");
  return tag->Bcp47();
}

TranslationMemory LoadMemory(const std::vector<std::string>& files, const std::string& sourceLanguage) {
  TranslationMemory memory;
  MemoryOptions options;
  options.SourceLanguage = sourceLanguage;
  for (const std::string& f : files) memory.AddFile(f, options);
  return memory;
}

std::string TargetLanguageFor(const ArgParser& ap, const TranslationMemory& memory) {
  if (std::string chosen = LanguageOption(ap); !chosen.empty()) return chosen;
  const std::vector<std::string> languages = memory.Languages();
  if (languages.size() <= 1) return languages.empty() ? "" : languages[0];
  if (const auto locale = LocaleLanguage()) {
    const std::string mine = locale->Bcp47();
    if (std::any_of(languages.begin(), languages.end(), [&](const std::string& l) { return LanguageFits(mine, l); }))
      return mine;
  }
  std::string list;
  for (const std::string& l : languages) list += (list.empty() ? "" : ", ") + l;
  throw UsageError("the memory holds translations into " + list + ": choose one with --language CODE");
}

std::shared_ptr<const TermFinder> GlossaryOption(const ArgParser& ap, const std::string& sourceLanguage) {
  const auto path = ap.Value("--glossary");
  if (!path) return nullptr;
  if (path->empty()) throw UsageError("the glossary file name is empty");
  GlossaryLanguages languages;
  languages.Source = sourceLanguage;
  languages.Target = LanguageOption(ap);
  return std::make_shared<const TermFinder>(LoadGlossary(*path, languages));
}

std::string SourceLanguageOf(const PhraseTable& table) { return SourceLanguageFor(ProjectCodePage(table)).Bcp47(); }

}  // namespace velmora::cli
