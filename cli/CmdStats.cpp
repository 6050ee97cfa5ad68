// velmora-cli stats: the figures of the work on projects.
#include <cstdio>
#include <iostream>
#include <string>

#include "cli/CliCommon.h"
#include "cli/CodePageArg.h"
#include "cli/JsonText.h"
#include "project/file/ProjectFile.h"
#include "project/stats/ProjectStats.h"

namespace velmora::cli {
namespace {

const char* kUsage =
    "Usage: velmora-cli stats PROJECT... [--json] [--codepage NAME]\n"
    "\n"
    "Prints the figures of each project and, for several, their total:\n"
    "  Phrases        phrases (link records are not counted)\n"
    "  Hidden         phrases hidden\n"
    "  Translated     phrases with a translation, switched on or not\n"
    "  Switched on    translations a build writes\n"
    "  To review      translations switched off\n"
    "  Untranslated   phrases without a translation (hidden ones too; the\n"
    "                 filters untranslated and to-review show the same phrases)\n"
    "  Words          words of the origins, and of the untranslated ones (a word\n"
    "                 is a run of letters and digits; each kana or kanji counts\n"
    "                 as one)\n"
    "  Bytes          the switched-on translations as a build writes them\n"
    "  Relocated      translations too long for their room, and the bytes they\n"
    "                 take in the area appended to the unit\n"
    "  Unit           the unit's size before and after a build, and the growth\n"
    "\n"
    "With --json it prints an object with \"projects\", an array of objects with\n"
    "\"project\", \"unit\" and the figures (\"phrases\", \"hidden\", \"translated\",\n"
    "\"switched_on\", \"to_review\", \"untranslated\", \"words\",\n"
    "\"untranslated_words\", \"translation_bytes\", \"relocated\",\n"
    "\"relocated_bytes\", \"unit_bytes\", \"built_bytes\", \"growth_bytes\",\n"
    "\"growth_percent\"), and \"total\", the figures summed.\n"
    "\n"
    "Options:\n"
    "  --json             a JSON object instead of text\n"
    "  --codepage NAME    the code page the origins are read in for their words\n"
    "                     (default: each project's own)\n"
    "\n"
    "Example:\n"
    "  velmora-cli stats apm.vmprj apm-new.vmprj\n";

std::string Percent(double value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", value);
  return buf;
}

std::string Text(const ProjectStats& s) {
  std::string out;
  const auto line = [&](const char* label, const std::string& value) {
    std::string l = std::string("  ") + label;
    l.resize(16, ' ');
    out += l + value + "\n";
  };
  line("Phrases", std::to_string(s.Phrases));
  line("Hidden", std::to_string(s.Hidden));
  line("Translated", std::to_string(s.Translated));
  line("Switched on", std::to_string(s.SwitchedOn));
  line("To review", std::to_string(s.ToReview));
  line("Untranslated", std::to_string(s.Untranslated));
  line("Words", std::to_string(s.Words) + " (" + std::to_string(s.UntranslatedWords) + " untranslated)");
  line("Bytes", std::to_string(s.TranslationBytes) + " of switched-on translations");
  line("Relocated", std::to_string(s.Relocated) + " (" + std::to_string(s.RelocatedBytes) + " bytes)");
  line("Unit", std::to_string(s.UnitBytes) + " bytes, " + std::to_string(s.BuiltBytes) + " after a build (+" +
                   std::to_string(s.Growth()) + " bytes, " + Percent(s.GrowthPercent()) + "%)");
  return out;
}

std::string Json(const ProjectStats& s) {
  return "\"phrases\": " + std::to_string(s.Phrases) + ", \"hidden\": " + std::to_string(s.Hidden) +
         ", \"translated\": " + std::to_string(s.Translated) + ", \"switched_on\": " + std::to_string(s.SwitchedOn) +
         ", \"to_review\": " + std::to_string(s.ToReview) + ", \"untranslated\": " + std::to_string(s.Untranslated) +
         ", \"words\": " + std::to_string(s.Words) +
         ", \"untranslated_words\": " + std::to_string(s.UntranslatedWords) +
         ", \"translation_bytes\": " + std::to_string(s.TranslationBytes) +
         ", \"relocated\": " + std::to_string(s.Relocated) +
         ", \"relocated_bytes\": " + std::to_string(s.RelocatedBytes) +
         ", \"unit_bytes\": " + std::to_string(s.UnitBytes) + ", \"built_bytes\": " + std::to_string(s.BuiltBytes) +
         ", \"growth_bytes\": " + std::to_string(s.Growth()) + ", \"growth_percent\": " + Percent(s.GrowthPercent());
}

int RunStats(const std::vector<std::string>& args) {
  ArgParser ap(args, {"--codepage"}, {"--json"});
  const auto& projects = ap.Positionals();
  if (projects.empty()) throw UsageError("give at least one PROJECT");
  CodePageOption(ap);
  const bool json = ap.Has("--json");
  ProjectStats total;
  std::string out = json ? "{\"projects\": [" : "";
  for (size_t i = 0; i < projects.size(); ++i) {
    PhraseTable table;
    OpenProject(table, projects[i]);
    const ProjectStats s = CountProject(table, CodePageFor(ap, table));
    total += s;
    if (json) {
      out += std::string(i ? ",\n  " : "\n  ") + "{\"project\": " + JsonString(projects[i]) +
             ", \"unit\": " + JsonString(table.UnitTitle()) + ", " + Json(s) + "}";
    } else {
      out += (i ? "\n" : "") + projects[i] + " (" + table.UnitTitle() + ")\n" + Text(s);
    }
  }
  if (json)
    out += "\n ],\n \"total\": {\"projects\": " + std::to_string(total.Projects) + ", " + Json(total) + "}}\n";
  else if (projects.size() > 1)
    out += "\nTotal (" + std::to_string(projects.size()) + " projects)\n" + Text(total);
  std::cout << out;
  return kExitOk;
}

const CommandRegistrar reg({"stats", "count the phrases, words and bytes of projects", kUsage, RunStats});

}  // namespace
}  // namespace velmora::cli
