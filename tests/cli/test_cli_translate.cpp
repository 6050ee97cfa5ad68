// The translating commands of velmora-cli, run as the real program: translate,
// set, export, import, build-bin and build-loader, and the whole road from a
// sample loader to a translated loader.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "analysis/Filters.h"
#include "analysis/UnitHeader.h"
#include "analysis/UnitText.h"
#include "container/io/ByteOrder.h"
#include "container/kiwi/Loading.h"
#include "project/build/BinBuilder.h"
#include "project/text/CodePages.h"
#include "project/file/ProjectFile.h"
#include "project/exchange/TextExchange.h"
#include "support/TestSupport.h"

using namespace velmora;
using test::RunCli;

namespace {

// A sample loader and a project made from its table-layout APM unit.
struct Workspace {
  test::TempDir dir;
  std::string loader = dir.File("LOADING.KWI");
  std::string project = dir.File("apm.vmprj");

  explicit Workspace(const std::string& module = "0") {
    const auto sample = RunCli({"make-sample", dir.Path()});
    EXPECT_EQ(sample.exitCode, 0) << sample.err;
    const auto created = RunCli({"new", loader, "--module", module, "-o", project});
    EXPECT_EQ(created.exitCode, 0) << created.err;
  }
  PhraseTable Open() const {
    PhraseTable t;
    OpenProject(t, project);
    return t;
  }
  std::vector<uint8_t> ProjectBytes() const { return test::ReadFile(project); }
};

std::string AsString(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

// Indices of phrases (not links) that have at least one link record, and of
// phrases that have none.
std::pair<std::vector<size_t>, std::vector<size_t>> MastersAndSingles(const PhraseTable& t) {
  std::map<size_t, int> links;
  for (const auto& p : t.Phrases)
    if (p.Flags & pfLink) ++links[static_cast<size_t>(p.MasterIndex)];
  std::vector<size_t> masters, singles;
  for (size_t i = 0; i < t.Phrases.size(); ++i) {
    if (t.Phrases[i].Flags & pfLink) continue;
    (links.count(i) ? masters : singles).push_back(i);
  }
  return {masters, singles};
}

}  // namespace

TEST(CliTranslate, StoresConvertsAndTakesAwayTexts) {
  Workspace ws;
  auto r = RunCli({"translate", ws.project, "0", "Geben Sie den Namen ein"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = RunCli({"translate", ws.project, "1", "Zeile eins\r\nZeile zwei", "--codepage", "west-europe"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = RunCli({"translate", ws.project, "2", "\xD0\x9F\xD1\x83\xD0\xBD\xD0\xBA\xD1\x82", "--codepage", "russian"});
  ASSERT_EQ(r.exitCode, 0) << r.err;

  PhraseTable t = ws.Open();
  EXPECT_EQ(t.EditedText(t.Phrases[0]), "Geben Sie den Namen ein");
  EXPECT_EQ(t.EditedText(t.Phrases[1]), "Zeile eins\r\nZeile zwei") << "line breaks stored as given";
  EXPECT_EQ(t.EditedText(t.Phrases[2]), "\xCF\xF3\xED\xEA\xF2") << "UTF-8 converted to Windows-1251";
  for (size_t i : {0, 1, 2}) EXPECT_EQ(t.Phrases[i].Flags & (pfOn | pfHide), pfOn) << i;

  r = RunCli({"translate", ws.project, "1", ""});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  t = ws.Open();
  EXPECT_EQ(t.Phrases[1].EditIndex, -1);
  EXPECT_EQ(t.Phrases[1].Flags & pfOn, 0);
  EXPECT_EQ(t.EditedText(t.Phrases[0]), "Geben Sie den Namen ein") << "other phrases keep their texts";
}

TEST(CliTranslate, RefusalsLeaveTheProjectFileUntouched) {
  Workspace ws;
  const auto before = ws.ProjectBytes();
  const PhraseTable t = ws.Open();
  size_t link = 0;
  while (!(t.Phrases.at(link).Flags & pfLink)) ++link;

  struct Case {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    const char* errContains;
  } cases[] = {
      {"character outside the code page", {"translate", ws.project, "0", "Stern \xE2\x98\x85"}, 1, "U+2605"},
      {"link record", {"translate", ws.project, std::to_string(link), "text"}, 1, "link"},
      {"index past the table", {"translate", ws.project, "99999", "text"}, 1, "does not exist"},
      {"negative index", {"translate", ws.project, "-1", "text"}, 1, "does not exist"},
      {"not a number", {"translate", ws.project, "x1", "text"}, 2, "not a number"},
      {"unknown code page", {"translate", ws.project, "0", "text", "--codepage", "klingon"}, 2, "code page"},
      {"missing text", {"translate", ws.project, "0"}, 2, "TEXT"},
  };
  for (const auto& c : cases) {
    const auto r = RunCli(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.name << ": " << r.err;
    EXPECT_NE(r.err.find(c.errContains), std::string::npos) << c.name << ": " << r.err;
    EXPECT_EQ(ws.ProjectBytes(), before) << c.name;
  }
}

TEST(CliSet, AppliesTheGridRulesAndReportsRefusals) {
  Workspace ws;
  ASSERT_EQ(RunCli({"translate", ws.project, "0", "Text"}).exitCode, 0);
  ASSERT_EQ(RunCli({"translate", ws.project, "1", "Text"}).exitCode, 0);

  // 0 and 1 have texts and are on: --on is a no-op for them, 2 is refused.
  auto r = RunCli({"set", ws.project, "--on", "0", "1", "2"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("phrase 2"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("phrase 0"), std::string::npos) << r.err;

  r = RunCli({"set", ws.project, "--off", "1"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  // Hiding: 0 has a text (refused), 3 and 4 are hidden; the refusal does not
  // stop the others from being saved.
  r = RunCli({"set", ws.project, "--hide", "3", "0", "4"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("phrase 0"), std::string::npos) << r.err;

  PhraseTable t = ws.Open();
  EXPECT_EQ(t.Phrases[0].Flags, pfOn);
  EXPECT_EQ(t.Phrases[1].Flags & pfOn, 0);
  EXPECT_EQ(t.Phrases[3].Flags & pfHide, pfHide);
  EXPECT_EQ(t.Phrases[4].Flags & pfHide, pfHide);

  r = RunCli({"set", ws.project, "--show", "3"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ws.Open().Phrases[3].Flags & pfHide, 0);

  const auto before = ws.ProjectBytes();
  EXPECT_EQ(RunCli({"set", ws.project, "--on", "--off", "0"}).exitCode, 2);
  EXPECT_EQ(RunCli({"set", ws.project, "0"}).exitCode, 2);
  EXPECT_EQ(RunCli({"set", ws.project, "--hide", "99999"}).exitCode, 1);
  EXPECT_EQ(ws.ProjectBytes(), before);
}

TEST(CliExportImport, RoundTripAndFailedImportIsNotSaved) {
  Workspace ws;
  ASSERT_EQ(RunCli({"translate", ws.project, "2", "Edited"}).exitCode, 0);
  const std::string txt = ws.dir.File("Phrases.txt");

  auto r = RunCli({"export", ws.project, "-o", txt, "--filter", "only-edited"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  PhraseTable t = ws.Open();
  EXPECT_EQ(AsString(test::ReadFile(txt)), "2 = " + std::string(t.OriginText(t.Phrases[2])) + "\r\n");

  r = RunCli({"export", ws.project, "-o", txt});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(AsString(test::ReadFile(txt)), ExportPhrases(t, FilterRows(t, GridFilter::NoFilter), CodePage::Default));

  test::WriteFile(txt, std::string("0 = Null\r\n1 = Eins\r\nzweite Zeile\r\n"));
  r = RunCli({"import", ws.project, txt});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "2 new phrase(s) has been added or replaced.\n");
  t = ws.Open();
  EXPECT_EQ(t.EditedText(t.Phrases[0]), "Null");
  EXPECT_EQ(t.EditedText(t.Phrases[1]), "Eins\nzweite Zeile");
  EXPECT_EQ(t.Phrases[0].Flags & pfOn, 0) << "import does not switch on";

  const auto before = ws.ProjectBytes();
  test::WriteFile(txt, std::string("3 = Drei\r\n4294967296 = X\r\n"));
  r = RunCli({"import", ws.project, txt});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("'4294967296' is not a valid integer value"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.find("new phrase(s)"), std::string::npos);
  EXPECT_EQ(ws.ProjectBytes(), before);

  r = RunCli({"import", ws.project, ws.dir.File("absent.txt")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Cannot open file"), std::string::npos) << r.err;
}

TEST(CliBuild, BinAndLoaderWithSourceChoice) {
  Workspace ws;
  ASSERT_EQ(RunCli({"translate", ws.project, "0", "A text much longer than the one it replaces"}).exitCode, 0);
  const PhraseTable t = ws.Open();

  const std::string bin = ws.dir.File("APM_APM.BIN");
  auto r = RunCli({"build-bin", ws.project, "-o", bin});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  // The window's status texts are not results.
  EXPECT_EQ(r.out.find("Please wait"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("complete"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(" bytes written to " + bin + "\n"), std::string::npos) << r.out;
  EXPECT_EQ(test::ReadFile(bin), AssembleUnit(t));
  r = RunCli({"build-bin", ws.project, "-o", ws.dir.File("none/x.BIN")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Cannot create file"), std::string::npos) << r.err;

  const std::string out = ws.dir.File("NEW.KWI");
  r = RunCli({"build-loader", ws.project, "-o", out});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find(" bytes written to " + out + " (source "), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("complete"), std::string::npos) << r.out;
  EXPECT_TRUE(TLN_Loading(out).Valid);

  // The output may not be the source, by any name.
  const auto sourceBytes = test::ReadFile(ws.loader);
  r = RunCli({"build-loader", ws.project, "-o", ws.dir.Path() + "/./LOADING.KWI"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(test::ReadFile(ws.loader), sourceBytes);

  // The project's source has moved: only --source can help, and only a
  // matching one.
  const std::string moved = ws.dir.File("MOVED.KWI");
  std::filesystem::rename(ws.loader, moved);
  std::filesystem::remove(out);
  r = RunCli({"build-loader", ws.project, "-o", out});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Unsuitable file !!!"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(ws.loader), std::string::npos) << r.err;
  r = RunCli({"build-loader", ws.project, "-o", out, "--source", bin});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find(bin), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(out));
  r = RunCli({"build-loader", ws.project, "-o", out, "--source", moved});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(TLN_Loading(out).Valid);

  // A project made from a .BIN has no source loader.
  const std::string binProject = ws.dir.File("bin.vmprj");
  ASSERT_EQ(RunCli({"new", ws.dir.File("APM.BIN"), "-o", binProject}).exitCode, 0);
  r = RunCli({"build-loader", binProject, "-o", ws.dir.File("B.KWI"), "--source", moved});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Unsuitable file !!!"), std::string::npos) << r.err;
}

// From the sample loader to a translated unit and loader, and back through
// the analysis: every switched-on phrase and each of its links lead to the
// translation, and every unit of the new loader lies at its recorded offset.
TEST(CliEndToEnd, TranslatedUnitAndLoaderReadBackCorrectly) {
  for (const char* module : {"0", "1"}) {  // table layout, split layout
    SCOPED_TRACE(std::string("module ") + module);
    Workspace ws(module);
    PhraseTable t = ws.Open();
    auto [masters, singles] = MastersAndSingles(t);
    ASSERT_GE(masters.size(), 1u);
    ASSERT_GE(singles.size(), 4u);

    // In place (shorter), relocated (longer, both parities), a master with links.
    std::map<size_t, std::string> texts = {
        {singles[0], "ok"},
        {singles[1], std::string(t.Phrases[singles[1]].Length + 5u, 'R')},
        {singles[2], std::string(t.Phrases[singles[2]].Length + 6u, 'S')},
        {singles[3], "line one\r\nline two and a long rest of text"},
        {masters[0], std::string(t.Phrases[masters[0]].Length + 3u, 'M')},
    };
    for (const auto& [i, text] : texts) {
      const auto r = RunCli({"translate", ws.project, std::to_string(i), text});
      ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    t = ws.Open();

    const std::string bin = ws.dir.File("OUT.BIN");
    ASSERT_EQ(RunCli({"build-bin", ws.project, "-o", bin}).exitCode, 0);
    const auto unit = test::ReadFile(bin);
    const auto header = ParseUnitHeader(unit.data(), unit.size());
    ASSERT_LE(header.UnitSize, unit.size());
    EXPECT_EQ(SumWords(unit.data(), header.UnitSize), header.UnitChecksum);
    // Opened again, the unit raises no question (maker text and checksum are right).
    const auto again = RunCli({"new", bin, "-o", ws.dir.File("again.vmprj")});
    EXPECT_EQ(again.exitCode, 0) << again.err;

    for (size_t i = 0; i < t.Phrases.size(); ++i) {
      const TPhrase& p = t.Phrases[i];
      const size_t owner = (p.Flags & pfLink) ? static_cast<size_t>(p.MasterIndex) : i;
      if (!texts.count(owner)) continue;
      std::string expected = PrepareText(texts[owner]);
      if (!expected.empty() && expected.back() == '\0') expected.pop_back();
      const uint32_t target = LoadBE32(&unit[p.LinkAddress]) - header.BaseAddress;
      ASSERT_LT(target + expected.size(), header.UnitSize) << "phrase " << i;
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(&unit[target]), expected.size()), expected) << "phrase " << i;
      EXPECT_EQ(unit[target + expected.size()], 0) << "phrase " << i;
    }

    const std::string out = ws.dir.File("NEW.KWI");
    const auto built = RunCli({"build-loader", ws.project, "-o", out});
    ASSERT_EQ(built.exitCode, 0) << built.err;
    const auto info = RunCli({"info", out});
    EXPECT_EQ(info.exitCode, 0) << info.err;

    const TLN_Loading src(ws.loader), dst(out);
    ASSERT_TRUE(dst.Valid);
    const auto& srcUnits = src.Frame.Makers.at(static_cast<size_t>(t.Info.MakerIndex))
                               .Modules.at(static_cast<size_t>(t.Info.ModuleIndex)).Units;
    const auto& dstUnits = dst.Frame.Makers.at(0).Modules.at(0).Units;
    ASSERT_EQ(dstUnits.size(), srcUnits.size());
    const auto srcBytes = test::ReadFile(ws.loader), dstBytes = test::ReadFile(out);
    for (size_t u = 0; u < dstUnits.size(); ++u) {
      // info lists the unit at the offset its entry records.
      char offset[16];
      std::snprintf(offset, sizeof offset, "0x%08X", dstUnits[u].Offset);
      EXPECT_NE(info.out.find(offset), std::string::npos) << "unit " << u;
      if (u == static_cast<size_t>(t.Info.UnitIndex)) {
        ASSERT_LE(dstUnits[u].Offset + unit.size(), dstBytes.size());
        EXPECT_TRUE(std::equal(unit.begin(), unit.end(), dstBytes.begin() + dstUnits[u].Offset)) << "unit " << u;
      } else {
        ASSERT_LE(dstUnits[u].Offset + srcUnits[u].Size, dstBytes.size());
        EXPECT_TRUE(std::equal(srcBytes.begin() + srcUnits[u].Offset,
                               srcBytes.begin() + srcUnits[u].Offset + srcUnits[u].Size,
                               dstBytes.begin() + dstUnits[u].Offset))
            << "unit " << u;
      }
    }
  }
}
