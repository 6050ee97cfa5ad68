// velmora-cli info, run as a program on hand-made loaders and units.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/ProjectCreation.h"
#include "analysis/UnitHeader.h"
#include "container/io/ByteOrder.h"
#include "container/kiwi/LoaderRebuild.h"
#include "project/build/LoaderBuild.h"
#include "project/build/SourceLoader.h"
#include "project/file/PhraseEdits.h"
#include "sampledata/SampleData.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using test::RunCli;
using test::TempDir;
using test::WriteFile;

void PutText(std::vector<uint8_t>& b, size_t pos, const std::string& s) { std::memcpy(&b[pos], s.data(), s.size()); }

// A unit of size bytes with a header; its stored checksum is right unless
// corrupt is set.
std::vector<uint8_t> MakeUnit(const std::string& tag, uint32_t size, uint32_t seed, bool corrupt = false) {
  std::vector<uint8_t> u(size, 0);
  PutText(u, 6, tag);
  PutText(u, 16, "V1.00");
  PutText(u, 48, "AISIN AW co.LTD");
  StoreBE32(&u[112], 0x01000000);
  StoreBE32(&u[116], size);
  std::mt19937 rng(seed);
  for (size_t i = 128; i < size; ++i) u[i] = static_cast<uint8_t>(rng());
  StoreBE32(&u[120], SumWords(u.data(), u.size()) + (corrupt ? 1u : 0u));
  return u;
}

std::string Hex32(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", v);
  return buf;
}

// The line of text that contains needle ("" when none does).
std::string LineWith(const std::string& text, const std::string& needle) {
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (line.find(needle) != std::string::npos) return line;
  return {};
}

// A loader with a TOYOTA entry (no units) and an AISIN-AW entry whose module
// lists three units at 4096: a good one, one with a wrong checksum, and one
// whose directory size (200) is below its header's (256), so only 200 bytes
// are summed.
struct SampleLoader {
  std::vector<uint8_t> bytes = std::vector<uint8_t>(8192, 0);
  std::vector<uint8_t> good = MakeUnit("APM", 512, 1);
  std::vector<uint8_t> bad = MakeUnit("BAD", 256, 2, true);
  std::vector<uint8_t> cut = MakeUnit("CUT", 256, 3);

  SampleLoader() {
    StoreBE32(&cut[120], SumWords(cut.data(), 200));
    StoreBE16(&bytes[0], 2);
    const uint8_t toyota[] = {0x0F, 0x67, 0x88, 0, 0x3C, 0x47, 0x22, 0, 0, 0, 0, 0, 0, 1};
    const uint8_t aisin[] = {0x0F, 0x56, 0xA3, 0, 0x3C, 0x3C, 0x8A, 0, 0, 0, 0, 0, 0, 1};
    std::memcpy(&bytes[4], toyota, sizeof toyota);
    std::memcpy(&bytes[20], aisin, sizeof aisin);
    // Name records at 36 (TOYOTA) and 356 (AISIN-AW); module records at 100 and 420.
    PutText(bytes, 36 + 4, "TOYOTA MODULE");
    PutText(bytes, 356 + 4, "AISIN PROGRAM");
    PutText(bytes, 356 + 56, "AP");
    const size_t r = 420;
    StoreBE16(&bytes[r + 68], 3);
    const struct { const char* name; uint32_t at; uint32_t size; } units[] = {
        {"APM", 4096, 512}, {"BAD", 4608, 256}, {"CUT", 4864, 200}};
    for (size_t k = 0; k < 3; ++k) {
      PutText(bytes, r + 72 + 16 * k, units[k].name);
      StoreBE32(&bytes[r + 80 + 16 * k], (units[k].at - 4096) / 2);
      StoreBE32(&bytes[r + 84 + 16 * k], units[k].size);
    }
    StoreBE32(&bytes[r + 250], 2u << 8);  // sector 2
    StoreBE16(&bytes[r + 254], 1);
    std::memcpy(&bytes[4096], good.data(), good.size());
    std::memcpy(&bytes[4608], bad.data(), bad.size());
    std::memcpy(&bytes[4864], cut.data(), cut.size());
  }
};

TEST(CliInfo, ListsALoaderWithItsUnitsAndChecksums) {
  TempDir dir;
  SampleLoader s;
  WriteFile(dir.File("LOADING.KWI"), s.bytes);
  const auto r = RunCli({"info", dir.File("LOADING.KWI")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("Valid:    yes"), std::string::npos) << r.out;
  EXPECT_NE(LineWith(r.out, "Maker 0: TOYOTA"), "");
  EXPECT_NE(LineWith(r.out, "Maker 1: AISIN-AW"), "");
  EXPECT_NE(LineWith(r.out, "latitude 1005219"), "");
  EXPECT_NE(LineWith(r.out, "\"AISIN PROGRAM\"  short \"AP\""), "");
  const std::string module = LineWith(r.out, "record at 0x000001A4");
  EXPECT_NE(module.find("Start 0x00001000"), std::string::npos) << module;
  EXPECT_NE(module.find("layout table"), std::string::npos) << module;
  EXPECT_NE(module.find("units 3"), std::string::npos) << module;

  const std::string good = LineWith(r.out, "0x00001000  0x00000200  APM");
  ASSERT_NE(good, "") << r.out;
  const uint32_t goodSum = SumWords(s.good.data(), s.good.size());
  EXPECT_NE(good.find(Hex32(goodSum) + "  " + Hex32(goodSum) + "  ok"), std::string::npos) << good;
  EXPECT_NE(good.find("AISIN AW co.LTD"), std::string::npos);

  const std::string bad = LineWith(r.out, "0x00001200  0x00000100  BAD");
  ASSERT_NE(bad, "") << r.out;
  const uint32_t badSum = SumWords(s.bad.data(), s.bad.size());
  EXPECT_NE(bad.find(Hex32(badSum + 1) + "  " + Hex32(badSum) + "  mismatch"), std::string::npos) << bad;

  const std::string cut = LineWith(r.out, "CUT");
  EXPECT_EQ(cut.substr(cut.size() - 2), "ok") << cut;
}

TEST(CliInfo, ChecksumsOfManyOverlappingUnitsAreThoseOfEachUnitAlone) {
  // Eleven entries over the same bytes: repeated, at both word alignments,
  // and reaching past the end of the file. All checksums come from one pass
  // over the file; each must equal the sum of its own range.
  TempDir dir;
  SampleLoader s;
  const size_t r = 420;
  const struct { uint32_t at; uint32_t size; } units[] = {
      {4096, 512}, {4096, 512}, {4098, 0x10000}, {4100, 4000}, {4102, 300}, {4608, 0xFFFFFFFF},
      {4610, 131}, {4864, 129}, {4866, 0x10000}, {6000, 5000}, {8064, 0x100}};
  StoreBE16(&s.bytes[r + 68], 11);
  for (size_t k = 0; k < 11; ++k) {
    PutText(s.bytes, r + 72 + 16 * k, "U" + std::to_string(k));
    StoreBE32(&s.bytes[r + 80 + 16 * k], (units[k].at - 4096) / 2);
    StoreBE32(&s.bytes[r + 84 + 16 * k], units[k].size);
  }
  // Units whose header declares a large size, so their sum runs to the file's end.
  StoreBE32(&s.bytes[4098 + 116], 0x7FFFFFFF);
  StoreBE32(&s.bytes[6000 + 116], 0x7FFFFFFF);
  WriteFile(dir.File("LOADING.KWI"), s.bytes);
  const auto out = RunCli({"info", dir.File("LOADING.KWI")});
  ASSERT_EQ(out.exitCode, 0) << out.err;
  for (size_t k = 0; k < 11; ++k) {
    const uint32_t declared = LoadBE32(&s.bytes[units[k].at + 116]);
    const size_t length = std::min<size_t>({units[k].size, declared, s.bytes.size() - units[k].at});
    const uint32_t sum = SumWords(&s.bytes[units[k].at], length);
    const std::string line = LineWith(out.out, "    " + std::to_string(k) + std::string(k < 10 ? 5 : 4, ' ') + "U");
    ASSERT_NE(line, "") << k << "\n" << out.out;
    EXPECT_NE(line.find("  " + Hex32(sum) + "  "), std::string::npos) << k << ": " << line;
  }
}

TEST(CliInfo, ShowsAUnitFile) {
  TempDir dir;
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* verdict;
    const char* checked;
  };
  auto longer = MakeUnit("APM", 1024, 7);
  longer.resize(1500, 0xEE);  // bytes past the declared size are not summed
  auto shorter = MakeUnit("APM", 1024, 8);
  shorter.resize(700);
  StoreBE32(&shorter[120], SumWords(shorter.data(), shorter.size()));
  // A translation moved out of the header leaves the maker text empty.
  auto emptied = MakeUnit("APM", 1024, 12);
  std::memset(&emptied[48], 0, 15);
  const Case cases[] = {
      {"APM.BIN", MakeUnit("APM", 1024, 4), "ok", "Checked bytes:  1024"},
      {"apm.bin", MakeUnit("APM", 1024, 5, true), "mismatch", "Checked bytes:  1024"},
      {"unit.dat", MakeUnit("MAP", 300, 6), "ok", "Checked bytes:  300"},  // not a loader, but a unit
      {"LONG.BIN", longer, "ok", "Checked bytes:  1024"},
      {"SHORT.BIN", shorter, "ok", "Checked bytes:  700"},
      {"EMPTIED.BIN", emptied, "ok", "Maker text:       (not"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(dir.File(c.name), c.bytes);
    const auto r = RunCli({"info", dir.File(c.name)});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(LineWith(r.out, "Checksum:").find(c.verdict), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(c.checked), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Base address:   0x01000000"), std::string::npos) << r.out;
    const uint32_t stored = LoadBE32(&c.bytes[120]);
    EXPECT_NE(r.out.find("stored " + Hex32(stored)), std::string::npos) << r.out;
  }
}

TEST(CliInfo, BadFilesFailWithOneLine) {
  TempDir dir;
  std::mt19937 rng(12345);
  std::vector<uint8_t> random(4096);
  for (auto& b : random) b = static_cast<uint8_t>(rng());
  std::vector<uint8_t> truncated = SampleLoader().bytes;
  truncated.resize(1000);
  std::vector<uint8_t> headerOnly = MakeUnit("APM", 256, 11);
  headerOnly.resize(100);
  std::vector<uint8_t> tinyUnit = MakeUnit("APM", 200, 9);
  StoreBE32(&tinyUnit[116], 100);  // declares less than a header
  std::vector<uint8_t> noMaker = MakeUnit("APM", 200, 10);
  std::memset(&noMaker[48], 0, 15);
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {"empty", {}},
      {"one", {0x01}},
      {"random.kwi", random},
      {"LOADING.KWI", truncated},
      {"garbage.BIN", std::vector<uint8_t>(300, 0xFF)},
      {"random.BIN", random},
      {"header.BIN", headerOnly},
      {"tiny.BIN", tinyUnit},
      {"nomaker.dat", noMaker},  // outside a *.BIN an empty maker text is no unit
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(dir.File(c.name), c.bytes);
    const auto r = RunCli({"info", dir.File(c.name)});
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_EQ(r.out, "");
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_NE(r.err.find(dir.File(c.name)), std::string::npos) << r.err;
  }
  for (const std::string& path : {dir.File("missing.KWI"), dir.Path()}) {
    const auto r = RunCli({"info", path});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_NE(r.err.find("Cannot open file"), std::string::npos) << r.err;
  }
}

// A rebuilt loader records a grown unit's new size only in the unit's own
// header; info checks such a unit over that size instead of reporting a
// mismatch.
TEST(CliInfo, GrownTranslatedUnitIsCheckedOverItsHeaderSize) {
  TempDir dir;
  WriteFile(dir.File("LOADING.KWI"), sample::MakeLoader(sample::DemoLoaderRecipe()));
  PhraseTable table;
  AnalysisOptions options;
  options.RangeEnd = 0xFFFFFFFE;
  CreateProjectFromLoader(table, dir.File("LOADING.KWI"), -1, 0, -1, options, [](const std::string&) { return true; });
  ASSERT_FALSE(table.Phrases.empty());
  ApplyEditedText(table, 0, std::string(300, 'X'));  // too long for its room: relocated
  RebuildLoader(table, dir.File("LOADING.KWI"), dir.File("OUT.KWI"), nullptr);

  const auto r = RunCli({"info", dir.File("OUT.KWI")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.find("mismatch"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("ok (over the header's size"), std::string::npos) << r.out;
}

// The code page a project's commands take without --codepage: Japanese for
// Japanese texts whatever the locale, else the locale's.
TEST(CliInfo, AProjectShowsItsCodePage) {
  TempDir dir;
  ASSERT_EQ(RunCli({"make-sample", dir.Path()}).exitCode, 0);
  const std::string loader = dir.File("LOADING.KWI");
  struct Case {
    const char* unit;
    const char* mode;
    const char* codePage;
  } cases[] = {
      {"JPN", "japanese", "Code page: Japanese (CP932): its phrases are Japanese texts"},
      {"EUR", "european", "Code page: Default (CP1251, the locale's): its phrases are not Japanese texts"},
      {"EUR", "japanese", "Code page: Default (CP1251, the locale's): its phrases are not Japanese texts"},
  };
  const test::ScopedLocale russian("LANG", "ru_RU.UTF-8");  // the programs run inherit it
  for (const Case& c : cases) {
    const std::string project = dir.File(std::string(c.unit) + "-" + c.mode + ".vmprj");
    ASSERT_EQ(RunCli({"new", loader, "-o", project, "--module", "1", "--unit", c.unit, "--mode", c.mode, "--yes"})
                  .exitCode,
              0);
    ASSERT_EQ(RunCli({"translate", project, "0", "A"}).exitCode, 0);
    const auto r = RunCli({"info", project});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(LineWith(r.out, "Code page:"), c.codePage) << c.unit << " " << c.mode;
    EXPECT_EQ(LineWith(r.out, "Unit:"), std::string("Unit:      ") + c.unit + "_" + c.unit) << r.out;
    EXPECT_EQ(LineWith(r.out, "Edited:"), "Edited:    1 (1 switched on)") << r.out;
  }
}

TEST(CliInfo, UsageErrorsAndHelp) {
  const std::vector<std::vector<std::string>> wrong = {{"info"}, {"info", "a", "b"}, {"info", "--bogus", "a"}};
  for (const auto& args : wrong) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_EQ(r.out, "");
  }
  const auto help = RunCli({"info", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out.rfind("Usage: velmora-cli info FILE", 0), 0u) << help.out;
}

}  // namespace
}  // namespace velmora
