#include "project/exchange/ExchangeEntries.h"

#include <algorithm>
#include <charconv>
#include <map>

#include "analysis/UnitText.h"
#include "container/io/StreamErrors.h"
#include "project/check/PrintfDirectives.h"
#include "project/check/PrintfFault.h"
#include "project/file/PhraseEdits.h"
#include "project/text/CodePageChoice.h"

namespace velmora {

namespace {

// The text with every CR that stands before an LF removed.
std::string WithoutCrBeforeLf(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i)
    if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) out.push_back(s[i]);
  return out;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a == b) return true;
  return WithoutCrBeforeLf(a) == WithoutCrBeforeLf(b);
}

// The phrase index a context names: decimal digits only.
std::optional<size_t> ContextIndex(const ImportEntry& e) {
  if (!e.HasContext || e.Context.empty() || e.Context.size() > 9) return std::nullopt;
  size_t value = 0;
  const auto [end, ec] = std::from_chars(e.Context.data(), e.Context.data() + e.Context.size(), value);
  if (ec != std::errc() || end != e.Context.data() + e.Context.size()) return std::nullopt;
  return value;
}

// The file's line of the target character at offset.
size_t TargetLine(const ImportEntry& e, size_t offset, bool literalLineFeeds) {
  if (e.TargetMarks.empty()) return e.Line;
  auto it = std::upper_bound(e.TargetMarks.begin(), e.TargetMarks.end(), offset,
                             [](size_t off, const LineMark& m) { return off < m.Offset; });
  if (it != e.TargetMarks.begin()) --it;
  size_t line = it->Line;
  if (literalLineFeeds && offset > it->Offset)
    line += static_cast<size_t>(std::count(e.Target.begin() + static_cast<std::ptrdiff_t>(it->Offset),
                                           e.Target.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
  return line;
}

// Gives phrase i the text; fuzzy keeps it switched off, otherwise as the
// editor's OK. Returns true when the table changed.
bool ApplyText(PhraseTable& table, size_t i, const std::string& text, bool fuzzy) {
  TPhrase& p = table.Phrases[i];
  const bool same = table.HasEditedText(p) && SameText(table.EditedText(p), text);
  const uint16_t before = p.Flags;
  if (!fuzzy) {
    if (!same) return ApplyEditedText(table, i, text);
    p.Flags = static_cast<uint16_t>((p.Flags | pfOn) & ~pfHide);
    return p.Flags != before;
  }
  if (!same) table.AppendEditedText(i, text);
  // A phrase with a translation is shown, switched on or not: a hidden one
  // could not be found to be switched on later.
  table.Phrases[i].Flags = static_cast<uint16_t>(table.Phrases[i].Flags & ~(pfOn | pfHide));
  return !same || table.Phrases[i].Flags != before;
}

// The phrases of the project by their decoded origin text, made when an
// entry first needs to be found by its text.
class PhrasesByText {
 public:
  PhrasesByText(const PhraseTable& table, TCodePageDecoder& decoder) : table_(table), decoder_(decoder) {}

  static const std::vector<size_t>& None() {
    static const std::vector<size_t> none;
    return none;
  }

  const std::vector<size_t>& Find(const std::string& source) {
    if (!built_) {
      for (size_t i = 0; i < table_.Phrases.size(); ++i)
        if (!(table_.Phrases[i].Flags & pfLink)) byText_[decoder_.Decode(table_.OriginText(table_.Phrases[i]))].push_back(i);
      built_ = true;
    }
    const auto it = byText_.find(source);
    return it == byText_.end() ? None() : it->second;
  }

 private:
  const PhraseTable& table_;
  TCodePageDecoder& decoder_;
  bool built_ = false;
  std::map<std::string, std::vector<size_t>> byText_;
};

// A text for a note, quoted and cut to a readable length.
std::string Quoted(std::string_view text) {
  constexpr size_t kShown = 60;
  std::string s = "\"";
  for (size_t i = 0; i < text.size() && i < kShown; ++i) {
    if (text[i] == '\n') {
      s += "\\n";
    } else if (text[i] == '\r') {
      s += "\\r";
    } else {
      s += text[i];
    }
  }
  // Never cut inside a UTF-8 sequence.
  if (text.size() > kShown) {
    while (s.size() > 1 && (static_cast<unsigned char>(s.back()) & 0xC0) == 0x80) s.pop_back();
    if (s.size() > 1 && static_cast<unsigned char>(s.back()) >= 0xC0) s.pop_back();
  }
  return s + (text.size() > kShown ? "...\"" : "\"");
}

std::string PhraseLabel(size_t i) { return "phrase " + std::to_string(i) + ": "; }

}  // namespace

ExportDocument CollectExport(const PhraseTable& table, const std::vector<int32_t>& rows, CodePage page) {
  ExchangeOptions options;
  options.Page = page;
  return CollectExport(table, rows, options);
}

ExportDocument CollectExport(const PhraseTable& table, const std::vector<int32_t>& rows,
                             const ExchangeOptions& options) {
  ExportDocument doc;
  doc.Page = ConcreteCodePage(options.Page);
  doc.SourceLanguage = options.SourceLanguage ? *options.SourceLanguage : SourceLanguageFor(doc.Page);
  doc.TargetLanguage = options.Language ? options.Language : LocaleLanguage();
  TCodePageDecoder decoder(doc.Page);
  doc.UnitName = decoder.Decode(table.UnitName);
  doc.UnitTag = decoder.Decode(table.UnitTag);
  std::vector<uint32_t> pointers(table.Phrases.size(), 1);
  for (const TPhrase& p : table.Phrases)
    if ((p.Flags & pfLink) && p.MasterIndex >= 0 && static_cast<size_t>(p.MasterIndex) < pointers.size())
      ++pointers[static_cast<size_t>(p.MasterIndex)];
  doc.Entries.reserve(rows.size());
  for (const int32_t row : rows) {
    if (row < 0 || static_cast<size_t>(row) >= table.Phrases.size()) continue;
    const TPhrase& p = table.Phrases[static_cast<size_t>(row)];
    if (p.Flags & pfLink) continue;
    ExportEntry e;
    e.Index = row;
    e.StringAddress = p.StringAddress;
    e.Room = RoomInPlace(p.Length);
    e.Pointers = pointers[static_cast<size_t>(row)];
    const std::string_view origin = table.OriginText(p);
    e.Source = decoder.Decode(origin);
    if (origin.find('%') != std::string_view::npos) e.FormatFlag = IsPrintfFormat(origin) ? "c-format" : "no-c-format";
    if (table.HasEditedText(p)) {
      e.Target = decoder.Decode(table.EditedText(p));
      e.Fuzzy = !e.Target.empty() && !(p.Flags & pfOn);
    }
    doc.Entries.push_back(std::move(e));
  }
  return doc;
}

void RefuseDuplicateContexts(const std::vector<ImportEntry>& entries, std::string_view what) {
  // Contexts that name one phrase ("0" and "00") are the same context.
  std::map<std::string, size_t> seen;
  for (const ImportEntry& e : entries) {
    if (!e.HasContext) continue;
    const std::optional<size_t> index = ContextIndex(e);
    const auto [it, fresh] = seen.emplace(index ? std::to_string(*index) : "\x01" + e.Context, e.Line);
    if (!fresh)
      throw EFormatError("line " + std::to_string(e.Line) + ": duplicate " + std::string(what) + " \"" + e.Context +
                         "\" (first at line " + std::to_string(it->second) + ")");
  }
}

ImportReport ApplyImport(PhraseTable& table, const ImportDocument& doc, const ExchangeOptions& options) {
  ImportReport report;
  CodePage page = options.Page;
  if (!doc.CodePageName.empty()) {
    const auto recorded = CodePageFromRecord(doc.CodePageName);
    if (recorded && !options.PageChosen) {
      page = *recorded;
    } else if (!recorded || IconvCharset(*recorded) != IconvCharset(page)) {
      report.Attention(doc.CodePageLine, "the file was written under the code page \"" + doc.CodePageName +
                                        "\"; its texts are read in the code page \"" + IconvCharset(page) + "\"");
    }
  }
  TCodePageEncoder encoder(page);
  TCodePageDecoder decoder(page);

  const std::vector<TPhrase> phrasesBefore = table.Phrases;
  const std::vector<std::string> textsBefore = table.EditedTexts;
  PhrasesByText byText(table, decoder);
  try {
    for (const ImportEntry& e : doc.Entries) {
      ++report.Entries;
      // Where the entry lands: the phrase its index names when that phrase
      // has the entry's source text; else the one phrase with that text
      // (tools that convert or merge files drop or renumber the index); else
      // the named phrase when forced.
      const std::optional<size_t> index = ContextIndex(e);
      const bool named = index && *index < table.Phrases.size() && !(table.Phrases[*index].Flags & pfLink);
      const bool sourceMatches = named && e.Source == decoder.Decode(table.OriginText(table.Phrases[*index]));
      size_t i = named ? *index : 0;
      bool byTextMatch = false, forced = false;
      if (!sourceMatches) {
        const std::vector<size_t>& sameText = e.Source.empty() ? PhrasesByText::None() : byText.Find(e.Source);
        if (sameText.size() == 1) {
          i = sameText.front();
          byTextMatch = true;
        } else if (sameText.size() > 1) {
          if (e.Target.empty()) {
            ++report.Unchanged;
            continue;
          }
          ++report.Ambiguous;
          report.Attention(e.Line, "the source text " + Quoted(e.Source) + " occurs " + std::to_string(sameText.size()) +
                                       " times in the project and " +
                                       (e.HasContext ? "the index \"" + e.Context + "\" names none of them"
                                                     : std::string("the entry has no index")) +
                                       "; not applied");
          continue;
        } else if (!named) {
          ++report.UnknownContext;
          report.Attention(e.Line, e.HasContext ? "no phrase of the project has the index \"" + e.Context + "\"; skipped"
                                                : "an entry without an index; skipped");
          continue;
        } else if (!e.Target.empty()) {
          if (!options.Force) {
            ++report.SourceChanged;
            report.Attention(e.Line, PhraseLabel(i) + "the source text differs from the project's; not applied");
            continue;
          }
          forced = true;
        }
      }
      if (e.Target.empty()) {
        ++report.Unchanged;
        continue;
      }
      if (e.Target.find('\0') != std::string::npos) {
        ++report.Unrepresentable;
        report.Attention(TargetLine(e, e.Target.find('\0'), doc.LiteralLineFeeds),
                         PhraseLabel(i) + "the translation holds a NUL character (U+0000), which would end it in the "
                                          "unit; not applied");
        continue;
      }
      TCodePageEncoder::Failure failure;
      const std::optional<std::string> text = encoder.Encode(e.Target, &failure);
      if (!text) {
        ++report.Unrepresentable;
        report.Attention(TargetLine(e, failure.Offset, doc.LiteralLineFeeds),
                         PhraseLabel(i) + failure.Message + "; not applied");
        continue;
      }
      if (text->size() > kMaxEditedTextLength) {
        ++report.TooLong;
        report.Attention(TargetLine(e, 0, doc.LiteralLineFeeds),
                         PhraseLabel(i) + "the text takes " + std::to_string(text->size()) + " bytes; a project holds " +
                             "texts of at most " + std::to_string(kMaxEditedTextLength) + " bytes; not applied");
        continue;
      }
      if (!ApplyText(table, i, *text, e.Fuzzy)) {
        ++report.Unchanged;
      } else if (table.Phrases[i].Flags & pfOn) {
        ++report.Applied;
      } else {
        ++report.StoredOff;
      }
      if (byTextMatch) {
        ++report.MatchedByText;
        report.Note(e.Line, PhraseLabel(i) + "matched by text: " +
                                (e.HasContext ? "the index \"" + e.Context + "\" names another text"
                                              : std::string("the entry has no index")));
      }
      if (forced) {
        ++report.Forced;
        report.Attention(e.Line, PhraseLabel(i) + "forced over a changed source text: old " + Quoted(e.Source) +
                                     " (the file's), new " +
                                     Quoted(decoder.Decode(table.OriginText(table.Phrases[i]))) + " (the project's)");
      }
      const TPhrase& p = table.Phrases[i];
      const std::string note = PrintfImportNote(i, table.OriginText(p), table.EditedText(p));
      if (!note.empty()) report.Note(TargetLine(e, 0, doc.LiteralLineFeeds), note);
      const size_t prepared = PrepareText(table.EditedText(p)).size();
      if ((p.Flags & pfOn) && prepared > p.Length) {
        ++report.OverBudget;
        report.Note(TargetLine(e, 0, doc.LiteralLineFeeds),
                    PhraseLabel(i) + "the text takes " + std::to_string(prepared) + " bytes in the unit, its room is " +
                        std::to_string(RoomInPlace(p.Length)) + ": it will be relocated");
      }
    }
  } catch (...) {
    table.Phrases = phrasesBefore;
    table.EditedTexts = textsBefore;
    throw;
  }
  report.Changed = report.Applied + report.StoredOff > 0;
  return report;
}

}  // namespace velmora
