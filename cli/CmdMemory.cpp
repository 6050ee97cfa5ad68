// velmora-cli memory: writes the translations of projects into a
// translation memory, a TMX file that Velmora, OmegaT and translate-toolkit read.
#include <iostream>
#include <string>

#include "cli/CliCommon.h"
#include "cli/CodePageArg.h"
#include "cli/MemoryArgs.h"
#include "cli/StdStreams.h"
#include "container/io/OutputGuard.h"
#include "project/file/ProjectFile.h"
#include "project/memory/MemoryExport.h"
#include "project/text/LanguageTags.h"

namespace velmora::cli {
namespace {

const char* kUsage =
    "Usage: velmora-cli memory PROJECT... -o MEMORY.tmx [--all] [--language CODE]\n"
    "                          [--source-language CODE] [--codepage NAME]\n"
    "\n"
    "Writes the switched-on translations of the projects into a translation memory:\n"
    "a TMX 1.4b file (level 1, UTF-8) that 'pretranslate' and 'suggest' read, as do\n"
    "OmegaT (in a project's tm/ folder) and translate-toolkit. Each source text\n"
    "with its translation is one <tu>, however many phrases give it. Velmora's own\n"
    "facts go in <prop> elements: x-velmora-code-page (the code page of the unit's\n"
    "texts), x-velmora-state (translated, or review for a translation switched\n"
    "off), and for each phrase that gives the translation x-velmora-unit (NAME_TAG),\n"
    "x-velmora-index and x-velmora-room (the bytes it may take in place). A prop\n"
    "that every <tu> shares is written once, in the <header>.\n"
    "\n"
    "Options:\n"
    "  -o, --output FILE  the TMX file to write; - writes it to standard output,\n"
    "                     and the count line then goes to standard error\n"
    "  --all              also the translations that are switched off, marked for\n"
    "                     review (x-velmora-state review)\n"
    "  --language CODE    the language of the translations, a BCP 47 tag or a\n"
    "                     gettext code (de, pt-BR, pt_BR; default: the language of\n"
    "                     the user's locale)\n"
    "  --source-language CODE\n"
    "                     the language of the unit's texts (default: ja for a\n"
    "                     project of Japanese texts, else en)\n"
    "  --codepage NAME    the code page of the units' texts (default: each\n"
    "                     project's own: japanese for Japanese texts, else the\n"
    "                     8-bit code page of the user's locale)\n"
    "\n"
    "Example:\n"
    "  velmora-cli memory apm.vmprj -o apm.tmx --language fr\n";

int RunMemory(const std::vector<std::string>& args) {
  ArgParser ap(args, {"-o", "--output", "--language", "--source-language", "--codepage"}, {"--all"});
  const auto& projects = ap.Positionals();
  if (projects.empty()) throw UsageError("give at least one PROJECT");
  auto output = ap.Value("-o");
  if (!output) output = ap.Value("--output");
  if (!output || output->empty()) throw UsageError("the output file is missing (-o MEMORY.tmx)");
  MemoryExportOptions options;
  options.All = ap.Has("--all");
  options.SourceLanguage = LanguageOption(ap, "--source-language");
  options.Language = LanguageOption(ap);
  if (options.Language.empty()) {
    const auto locale = LocaleLanguage();
    if (!locale)
      throw UsageError("the locale names no language: give the language of the translations, --language CODE");
    options.Language = locale->Bcp47();
  }
  if (!IsStdStream(*output)) RefuseOutputOverInputs(*output, projects);

  std::vector<PhraseTable> tables(projects.size());
  std::vector<MemorySource> sources;
  for (size_t i = 0; i < projects.size(); ++i) {
    OpenProject(tables[i], projects[i]);
    if (!IsStdStream(*output)) RefuseOutputOverInputs(*output, {tables[i].SourcePath});
    sources.push_back({&tables[i], CodePageFor(ap, tables[i])});
  }
  const MemoryExport memory = CollectMemory(sources, options);
  WriteOutput(*output, WriteTmx(memory.Header, memory.Units));
  (IsStreamOutput(*output) ? std::cerr : std::cout)
      << memory.Translations << " translation(s) of " << projects.size() << " project(s) written to "
      << OutputName(*output) << " as " << memory.Units.size() << " translation unit(s)\n";
  return kExitOk;
}

const CommandRegistrar reg({"memory", "write the translations of projects into a TMX translation memory", kUsage,
                            RunMemory});

}  // namespace
}  // namespace velmora::cli
