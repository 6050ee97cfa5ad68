// velmora-cli new and phrases, run as the real program.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "analysis/ProjectCreation.h"
#include "project/file/ProjectFile.h"
#include "sampledata/SampleData.h"
#include "support/TestSupport.h"

using namespace velmora;
using velmora::test::ReadFile;
using velmora::test::RunCli;
using velmora::test::TempDir;
using velmora::test::WriteFile;
namespace sample = velmora::sample;

namespace {

// A strict little JSON reader, enough to prove the output parses.
struct Json {
  enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
  bool b = false;
  double n = 0;
  std::string s;
  std::vector<Json> items;
  std::map<std::string, Json> fields;
};

class JsonReader {
 public:
  explicit JsonReader(const std::string& t) : t_(t) {}
  Json Document() {
    Json v = Value();
    Space();
    if (p_ != t_.size()) throw std::runtime_error("trailing text");
    return v;
  }

 private:
  void Space() {
    while (p_ < t_.size() && std::isspace(static_cast<unsigned char>(t_[p_]))) ++p_;
  }
  char Peek() {
    Space();
    if (p_ >= t_.size()) throw std::runtime_error("unexpected end");
    return t_[p_];
  }
  void Expect(char c) {
    if (Peek() != c) throw std::runtime_error(std::string("expected ") + c + " at " + std::to_string(p_));
    ++p_;
  }
  bool Word(const char* w) {
    const std::string s(w);
    if (t_.compare(p_, s.size(), s) != 0) return false;
    p_ += s.size();
    return true;
  }
  std::string Str() {
    Expect('"');
    std::string out;
    for (;;) {
      if (p_ >= t_.size()) throw std::runtime_error("open string");
      const char c = t_[p_++];
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) throw std::runtime_error("raw control character in a string");
      if (c != '\\') {
        out += c;
        continue;
      }
      const char e = t_.at(p_++);
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'u': {
          const unsigned v = static_cast<unsigned>(std::stoul(t_.substr(p_, 4), nullptr, 16));
          p_ += 4;
          if (v >= 0x80) throw std::runtime_error("test reader handles \\u below 0x80 only");
          out += static_cast<char>(v);
          break;
        }
        default: throw std::runtime_error("bad escape");
      }
    }
  }
  Json Value() {
    Json v;
    const char c = Peek();
    if (c == '{') {
      ++p_;
      v.kind = Json::Object;
      if (Peek() == '}') return ++p_, v;
      for (;;) {
        const std::string k = Str();
        Expect(':');
        v.fields[k] = Value();
        if (Peek() == ',') { ++p_; continue; }
        Expect('}');
        return v;
      }
    }
    if (c == '[') {
      ++p_;
      v.kind = Json::Array;
      if (Peek() == ']') return ++p_, v;
      for (;;) {
        v.items.push_back(Value());
        if (Peek() == ',') { ++p_; continue; }
        Expect(']');
        return v;
      }
    }
    if (c == '"') {
      v.kind = Json::String;
      v.s = Str();
      return v;
    }
    if (Word("true")) { v.kind = Json::Bool; v.b = true; return v; }
    if (Word("false")) { v.kind = Json::Bool; return v; }
    if (Word("null")) return v;
    size_t used = 0;
    v.n = std::stod(t_.substr(p_), &used);
    p_ += used;
    v.kind = Json::Number;
    return v;
  }
  const std::string& t_;
  size_t p_ = 0;
};

size_t CountLines(const std::string& s) { return static_cast<size_t>(std::count(s.begin(), s.end(), '\n')); }

struct Fixture {
  TempDir dir;
  sample::SampleUnit unit;
  std::string bin;
  Fixture() {
    sample::UnitRecipe s;
    s.tag = "T9";
    s.strings = sample::EnglishMenuTexts(30, 5);
    s.moreTables.push_back({sample::EnglishMenuTexts(8, 6), sample::Order::Reversed});
    unit = sample::MakeUnit(s);
    bin = dir.File("APM.BIN");
    WriteFile(bin, unit.bytes);
  }
};

}  // namespace

TEST(CliNew, FromABinFile) {
  Fixture f;
  const std::string project = f.dir.File("p.vmprj");
  const auto r = RunCli({"new", f.bin, "-o", project});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("APM_T9"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Code page: Default"), std::string::npos) << r.out;

  PhraseTable opened;
  OpenProject(opened, project);
  PhraseTable direct;
  ASSERT_TRUE(CreateProjectFromBin(direct, f.bin, AnalysisOptions{TextMode::English, true, 0, 0xFFFFFFFF}, nullptr)
                  .Analysis.Completed);
  ASSERT_EQ(opened.Phrases.size(), direct.Phrases.size());
  size_t links = 0, hidden = 0;
  for (size_t i = 0; i < direct.Phrases.size(); ++i) {
    EXPECT_EQ(opened.Phrases[i].Flags, direct.Phrases[i].Flags);
    links += (direct.Phrases[i].Flags & pfLink) != 0;
    hidden += (direct.Phrases[i].Flags & (pfLink | pfHide)) == pfHide;
  }
  EXPECT_NE(r.out.find("Phrases:   " + std::to_string(direct.Phrases.size() - links) + "\n"), std::string::npos);
  EXPECT_NE(r.out.find("Links:     " + std::to_string(links) + "\n"), std::string::npos);
  EXPECT_NE(r.out.find("Hidden:    " + std::to_string(hidden) + "\n"), std::string::npos);
  EXPECT_EQ(opened.UnitName, "APM");
  EXPECT_TRUE(opened.SourcePath.empty());
}

TEST(CliNew, QuestionsAreAnsweredNoWithoutYes) {
  TempDir dir;
  struct Case {
    const char* file;
    bool foreign;
    const char* question;
  };
  const Case cases[] = {{"FOREIGN.BIN", true, kForeignMakerQuestion}, {"BADSUM.BIN", false, kBadChecksumQuestion}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    sample::UnitRecipe s;
    s.strings = sample::EnglishMenuTexts(6, 9);
    if (c.foreign) s.makerText = "SOMEONE ELSE";
    else s.corruptChecksum = true;
    WriteFile(dir.File(c.file), sample::MakeUnit(s).bytes);
    const std::string project = dir.File(std::string(c.file) + ".vmprj");

    const auto no = RunCli({"new", dir.File(c.file), "-o", project});
    EXPECT_EQ(no.exitCode, 1);
    EXPECT_NE(no.err.find(c.question), std::string::npos) << no.err;
    EXPECT_FALSE(FileExists(project));

    const auto yes = RunCli({"new", dir.File(c.file), "-o", project, "--yes"});
    EXPECT_EQ(yes.exitCode, 0) << yes.err;
    EXPECT_TRUE(FileExists(project));
  }
}

TEST(CliNew, FromALoaderWithModuleUnitModeAndRange) {
  TempDir dir;
  const std::string loader = dir.File("LOADING.KWI");
  WriteFile(loader, sample::MakeLoader(sample::DemoLoaderRecipe()));
  const std::string project = dir.File("jp.vmprj");
  const auto r = RunCli({"new", loader, "-o", project, "--module", "1", "--unit", "JPN", "--mode", "japanese"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Code page: Japanese"), std::string::npos) << r.out;
  PhraseTable t;
  OpenProject(t, project);
  EXPECT_EQ(t.UnitName, "JPN");
  EXPECT_EQ(t.SourcePath, loader);
  EXPECT_EQ(t.Info.ModuleIndex, 1);

  // Default module and the "APM" rule, then an address range that keeps
  // only part of the strings.
  ASSERT_EQ(RunCli({"new", loader, "-o", project}).exitCode, 0);
  PhraseTable whole;
  OpenProject(whole, project);
  EXPECT_EQ(whole.UnitName, "APM");
  ASSERT_GE(whole.Phrases.size(), 4u);
  const uint32_t cut = whole.Phrases[whole.Phrases.size() / 2].StringAddress;
  char range[32];
  std::snprintf(range, sizeof range, "0:%X", cut);
  ASSERT_EQ(RunCli({"new", loader, "-o", project, "--range", range}).exitCode, 0);
  PhraseTable part;
  OpenProject(part, project);
  EXPECT_LT(part.Phrases.size(), whole.Phrases.size());
  for (const auto& p : part.Phrases) EXPECT_LE(p.StringAddress, cut);
}

TEST(CliNew, WrongCommandLines) {
  Fixture f;
  const std::string project = f.dir.File("p.vmprj");
  const std::vector<std::vector<std::string>> cases = {
      {"new", f.bin},
      {"new", f.bin, "-o", project, "--mode", "klingon"},
      {"new", f.bin, "-o", project, "--range", "10"},
      {"new", f.bin, "-o", project, "--range", "0:FFFFFFFF"},
      {"new", f.bin, "-o", project, "--range", "0:G"},
      {"new", f.bin, "-o", project, "--module", "0"},
  };
  for (const auto& args : cases) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.exitCode, 2) << testing::PrintToString(args) << r.err;
  }
  EXPECT_FALSE(FileExists(project));
  EXPECT_EQ(ReadFile(f.bin), f.unit.bytes);
  // A loader without a suitable module is a failure, not a usage error.
  sample::LoaderRecipe desc;
  desc.makers.push_back({"DENSO", {{"DENSO AUDIO", "DAU", false, {{"D0", std::vector<uint8_t>(3000, 2)}}}}});
  WriteFile(f.dir.File("LOADING.KWI"), sample::MakeLoader(desc));
  const auto r = RunCli({"new", f.dir.File("LOADING.KWI"), "-o", project});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("A suitable AISIN module is not detected !"), std::string::npos) << r.err;
}

TEST(CliPhrases, FiltersTextAndJson) {
  Fixture f;
  PhraseTable t;
  ASSERT_TRUE(CreateProjectFromBin(t, f.bin, AnalysisOptions{TextMode::English, true, 0, 0xFFFFFFFF}, nullptr)
                  .Analysis.Completed);
  // Give the first two phrases edited texts, one switched on, with
  // characters that need escaping.
  std::vector<size_t> phraseRows;
  for (size_t i = 0; i < t.Phrases.size(); ++i)
    if (!(t.Phrases[i].Flags & pfLink)) phraseRows.push_back(i);
  ASSERT_GE(phraseRows.size(), 3u);
  const std::string tricky = "Line \"one\"\nback\\slash\ttab";
  t.AppendEditedText(phraseRows[0], tricky);
  t.Phrases[phraseRows[0]].Flags = pfOn;
  t.AppendEditedText(phraseRows[1], "Plain");
  const std::string project = f.dir.File("p.vmprj");
  SaveProject(t, project);

  size_t shown = 0;
  for (size_t i : phraseRows) shown += !(t.Phrases[i].Flags & pfHide);
  struct Case {
    const char* filter;
    size_t rows;
  };
  // phraseRows[0] is switched on, phraseRows[1] has a translation switched off.
  const Case cases[] = {{"all", phraseRows.size()}, {"no-hidden", shown},
                        {"only-edited", 2},         {"final", 1},
                        {"untranslated", phraseRows.size() - 2}, {"to-review", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.filter);
    const auto text = RunCli({"phrases", project, "--filter", c.filter});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(CountLines(text.out), c.rows + 1);  // a header line, one line per phrase

    const auto json = RunCli({"phrases", project, "--filter", c.filter, "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    Json doc;
    ASSERT_NO_THROW(doc = JsonReader(json.out).Document()) << json.out;
    ASSERT_EQ(doc.kind, Json::Array);
    EXPECT_EQ(doc.items.size(), c.rows);
  }

  const auto text = RunCli({"phrases", project, "--filter", "final"});
  EXPECT_NE(text.out.find("Line \"one\"\\nback\\\\slash\\ttab"), std::string::npos) << text.out;

  const auto json = RunCli({"phrases", project, "--json", "--codepage", "west-europe"});
  const Json doc = JsonReader(json.out).Document();
  const Json& first = doc.items.at(0);
  EXPECT_EQ(first.fields.at("index").n, static_cast<double>(phraseRows[0]));
  EXPECT_EQ(first.fields.at("edited").s, tricky);
  EXPECT_TRUE(first.fields.at("on").b);
  EXPECT_EQ(first.fields.at("origin").s, std::string(t.OriginText(t.Phrases[phraseRows[0]])));
  EXPECT_EQ(first.fields.at("stringAddress").n, t.Phrases[phraseRows[0]].StringAddress);
  EXPECT_EQ(doc.items.at(2).fields.at("edited").kind, Json::Null);
}

TEST(CliPhrases, DamagedProjectsFail) {
  Fixture f;
  const std::string project = f.dir.File("p.vmprj");
  ASSERT_EQ(RunCli({"new", f.bin, "-o", project}).exitCode, 0);
  auto bytes = ReadFile(project);

  struct Case {
    const char* name;
    size_t keep;
    const char* message;
  };
  const Case cases[] = {
      {"inside the image", bytes.size() / 2, "Stream read error"},
      {"inside section 1", 30, "is damaged"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(f.dir.File("bad.vmprj"), std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(c.keep)));
    const auto r = RunCli({"phrases", f.dir.File("bad.vmprj")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
  }
  bytes.push_back(0);
  WriteFile(f.dir.File("long.vmprj"), bytes);
  EXPECT_EQ(RunCli({"phrases", f.dir.File("long.vmprj"), "--json"}).exitCode, 1);
  EXPECT_EQ(RunCli({"phrases", f.dir.File("none.vmprj")}).exitCode, 1);
}
