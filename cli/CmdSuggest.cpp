// velmora-cli suggest: the best matches of a translation memory for one
// phrase, with their scores and how their bytes fit the unit.
#include <iostream>
#include <string>

#include "cli/CliCommon.h"
#include "cli/CodePageArg.h"
#include "cli/JsonText.h"
#include "cli/MemoryArgs.h"
#include "analysis/UnitText.h"
#include "project/file/ProjectFile.h"
#include "project/memory/Suggest.h"
#include "project/text/CodePageChoice.h"
#include "project/text/OneLineText.h"

namespace velmora::cli {
namespace {

const char* kUsage =
    "Usage: velmora-cli suggest PROJECT INDEX --memory FILE [FILE...] [--count N]\n"
    "                           [--min N] [--json] [--language CODE]\n"
    "                           [--codepage NAME]\n"
    "\n"
    "Ranks the matches of a translation memory (TMX files, see 'pretranslate')\n"
    "for the phrase at INDEX, best first, and prints one line per match:\n"
    "  RANK. SCORE% MATCH \"SOURCE\" -> \"TRANSLATION\"  BYTES bytes, FIT\n"
    "SCORE is 100 - 100 * edits / longer length in characters: 100 only for the\n"
    "same text, 99 for the same text in another case. MATCH is exact, case or\n"
    "fuzzy. BYTES is what a build writes of the translation in the project's code\n"
    "page (line breaks and a final zero as a build writes them), and FIT says\n"
    "whether that fits the phrase's room (in place), will be relocated, is too\n"
    "long for a translation, or cannot be written (a character the code page\n"
    "lacks). A match whose printf directives or digits differ from the origin's\n"
    "is marked [printf differs] or [digits differ]. Equal entries are one match.\n"
    "\n"
    "With --json it prints an object: \"index\", \"origin\", \"room\", \"codepage\" and\n"
    "\"suggestions\", an array of objects with \"score\", \"distance\" (characters),\n"
    "\"match\", \"source\", \"translation\", \"language\", \"bytes\" (the translation's\n"
    "bytes in the code page, null when it cannot be written), \"unit_bytes\" (what\n"
    "a build writes), \"fit\", \"problem\", \"printf_differs\", \"digits_differ\",\n"
    "\"places\", \"review\", \"file\", \"line\" and \"differences\" (the stretches of the\n"
    "source that differ from the origin: \"offset\" and \"length\" in bytes of the\n"
    "source, and the origin's text they stand for).\n"
    "\n"
    "Options:\n"
    "  --memory FILE      a TMX file; give it again, or name more files after it,\n"
    "                     for a memory of several files\n"
    "  --count N          at most N matches (1 to 100, default 5)\n"
    "  --min N            the least score shown (1 to 100, default 75)\n"
    "  --json             a JSON object instead of text lines\n"
    "  --language CODE    the language of the translations (default: the one\n"
    "                     language the memory has, else the locale's)\n"
    "  --codepage NAME    the code page of the unit's texts (default: the\n"
    "                     project's own: japanese for Japanese texts, else the\n"
    "                     8-bit code page of the user's locale)\n"
    "\n"
    "Example:\n"
    "  velmora-cli suggest apm-new.vmprj 3 --memory apm.tmx\n";

long long Bounded(const ArgParser& ap, const std::string& name, long long fallback, long long most) {
  const auto v = ap.Value(name);
  if (!v) return fallback;
  const long long n = ParseInteger(*v, name);
  if (n < 1 || n > most)
    throw UsageError(name + " takes a number from 1 to " + std::to_string(most) + ", not '" + *v + "'");
  return n;
}

std::string Marks(const MatchScore& s) {
  std::string out;
  if (s.PrintfDiffers) out += " [printf differs]";
  if (s.DigitsDiffer) out += " [digits differ]";
  return out;
}

std::string Json(const Suggestion& s) {
  const MemoryHit& h = s.Hit;
  const bool written = s.Fit.Fit != ByteFit::Unwritable;
  std::string diffs = "[";
  for (size_t k = 0; k < s.Differences.size(); ++k)
    diffs += std::string(k ? ", " : "") + "{\"offset\": " + std::to_string(s.Differences[k].Offset) +
             ", \"length\": " + std::to_string(s.Differences[k].Length) +
             ", \"origin\": " + JsonString(s.Differences[k].Origin) + "}";
  diffs += "]";
  return "{\"score\": " + std::to_string(h.Score.Percent) + ", \"distance\": " + std::to_string(h.Score.Distance) +
         ", \"match\": " + JsonString(std::string(MatchKindName(h.Score.Kind))) +
         ", \"source\": " + JsonString(h.Source) + ", \"translation\": " + JsonString(h.Target) +
         ", \"language\": " + JsonString(h.Language) +
         ", \"bytes\": " + (written ? std::to_string(s.Fit.Bytes.size()) : "null") +
         ", \"unit_bytes\": " + (written ? std::to_string(s.Fit.Size) : "null") +
         ", \"fit\": " + JsonString(std::string(ByteFitName(s.Fit.Fit))) +
         ", \"problem\": " + (s.Fit.Problem.empty() ? "null" : JsonString(s.Fit.Problem)) +
         ", \"printf_differs\": " + (h.Score.PrintfDiffers ? "true" : "false") +
         ", \"digits_differ\": " + (h.Score.DigitsDiffer ? "true" : "false") +
         ", \"places\": " + std::to_string(h.Weight) + ", \"review\": " + (h.Review ? "true" : "false") +
         ", \"file\": " + JsonString(h.File) + ", \"line\": " + std::to_string(h.Line) + ", \"differences\": " + diffs +
         "}";
}

int RunSuggest(const std::vector<std::string>& args) {
  ArgParser ap(args, {"--memory", "--count", "--min", "--language", "--codepage"}, {"--json"});
  const auto& pos = ap.Positionals();
  if (pos.size() < 2) throw UsageError("give the PROJECT and the INDEX of a phrase");
  const std::vector<std::string> memoryFiles = MemoryFiles(ap, 2);
  const long long index = ParseIndex(pos[1], "INDEX");
  SuggestOptions options;
  options.Count = static_cast<size_t>(Bounded(ap, "--count", 5, 100));
  options.MinScore = static_cast<int>(Bounded(ap, "--min", 75, 100));
  CodePageOption(ap);

  PhraseTable table;
  OpenProject(table, pos[0]);
  if (index < 0 || static_cast<size_t>(index) >= table.Phrases.size())
    throw UsageError("INDEX " + pos[1] + " names no phrase: the project has " + std::to_string(table.Phrases.size()) +
                     " records");
  const TPhrase& p = table.Phrases[static_cast<size_t>(index)];
  if (p.Flags & pfLink)
    throw UsageError("phrase " + pos[1] + " is a link record: ask for its master, phrase " +
                     std::to_string(p.MasterIndex));
  const TranslationMemory memory = LoadMemory(memoryFiles, SourceLanguageOf(table));
  const CodePage page = CodePageFor(ap, table);
  TSuggester suggester(memory, TargetLanguageFor(ap, memory), page);
  const std::string origin = ToUtf8(table.OriginText(p), page);
  const std::vector<Suggestion> found = suggester.For(origin, p, options);
  const std::string charset = IconvCharset(ConcreteCodePage(page));

  if (ap.Has("--json")) {
    std::string out = "{\"index\": " + std::to_string(index) + ", \"origin\": " + JsonString(origin) +
                      ", \"room\": " + std::to_string(RoomInPlace(p.Length)) +
                      ", \"codepage\": " + JsonString(charset) + ", \"suggestions\": [";
    for (size_t k = 0; k < found.size(); ++k) out += (k ? ",\n  " : "\n  ") + Json(found[k]);
    std::cout << out << (found.empty() ? "]}\n" : "\n]}\n");
    return kExitOk;
  }
  std::cout << "Phrase " << index << ": \"" << OneLineText(origin) << "\", room " << RoomInPlace(p.Length)
            << " bytes in " << charset << "\n";
  if (found.empty()) std::cout << "No match of " << options.MinScore << "% or more.\n";
  for (size_t k = 0; k < found.size(); ++k) {
    const Suggestion& s = found[k];
    std::cout << k + 1 << ". " << s.Hit.Score.Percent << "% " << MatchKindName(s.Hit.Score.Kind) << " \""
              << OneLineText(s.Hit.Source) << "\" -> \"" << OneLineText(s.Hit.Target) << "\"  ";
    if (s.Fit.Fit == ByteFit::Unwritable)
      std::cout << "cannot be written: " << s.Fit.Problem;
    else
      std::cout << s.Fit.Size << " bytes, " << ByteFitName(s.Fit.Fit);
    std::cout << Marks(s.Hit.Score) << (s.Hit.Review ? " (for review)" : "") << "\n";
  }
  return kExitOk;
}

const CommandRegistrar reg({"suggest", "rank a translation memory's matches for one phrase", kUsage, RunSuggest});

}  // namespace
}  // namespace velmora::cli
