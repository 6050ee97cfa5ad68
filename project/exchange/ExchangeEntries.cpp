#include "project/exchange/ExchangeEntries.h"

#include <algorithm>
#include <charconv>
#include <map>

#include "container/io/StreamErrors.h"
#include "project/build/BinBuilder.h"
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
  p.Flags = static_cast<uint16_t>(p.Flags & ~pfOn);
  return !same || p.Flags != before;
}

std::string PhraseLabel(size_t i) { return "phrase " + std::to_string(i) + ": "; }

}  // namespace

ExportDocument CollectExport(const PhraseTable& table, const std::vector<int32_t>& rows, CodePage page) {
  ExchangeOptions options;
  options.codePage = page;
  return CollectExport(table, rows, options);
}

ExportDocument CollectExport(const PhraseTable& table, const std::vector<int32_t>& rows,
                             const ExchangeOptions& options) {
  ExportDocument doc;
  doc.Page = ConcreteCodePage(options.codePage);
  doc.SourceLanguage = options.sourceLanguage ? *options.sourceLanguage : SourceLanguageFor(doc.Page);
  doc.TargetLanguage = options.language ? options.language : LocaleLanguage();
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
  CodePage page = options.codePage;
  if (!doc.CodePageName.empty()) {
    const auto recorded = CodePageFromRecord(doc.CodePageName);
    if (recorded && !options.codePageChosen) {
      page = *recorded;
    } else if (!recorded || IconvCharset(*recorded) != IconvCharset(page)) {
      report.Note(doc.CodePageLine, "the file was written under the code page \"" + doc.CodePageName +
                                        "\"; its texts are read in the code page \"" + IconvCharset(page) + "\"");
    }
  }
  TCodePageEncoder encoder(page);
  TCodePageDecoder decoder(page);

  const std::vector<TPhrase> phrasesBefore = table.Phrases;
  const std::vector<std::string> textsBefore = table.EditedTexts;
  try {
    for (const ImportEntry& e : doc.Entries) {
      const std::optional<size_t> index = ContextIndex(e);
      if (!index || *index >= table.Phrases.size() || (table.Phrases[*index].Flags & pfLink)) {
        ++report.UnknownContext;
        report.Note(e.Line, e.HasContext ? "no phrase of the project has the index \"" + e.Context + "\"; skipped"
                                         : "an entry without an index; skipped");
        continue;
      }
      const size_t i = *index;
      if (e.Target.empty()) {
        ++report.Unchanged;
        continue;
      }
      if (e.Source != decoder.Decode(table.OriginText(table.Phrases[i]))) {
        if (!options.force) {
          ++report.SourceChanged;
          report.Note(e.Line, PhraseLabel(i) + "the source text differs from the project's; not applied");
          continue;
        }
      }
      TCodePageEncoder::Failure failure;
      const std::optional<std::string> text = encoder.Encode(e.Target, &failure);
      if (!text) {
        ++report.Unrepresentable;
        report.Note(TargetLine(e, failure.Offset, doc.LiteralLineFeeds), PhraseLabel(i) + failure.Message + "; not applied");
        continue;
      }
      if (text->size() > kMaxEditedTextLength) {
        ++report.TooLong;
        report.Note(TargetLine(e, 0, doc.LiteralLineFeeds),
                    PhraseLabel(i) + "the text takes " + std::to_string(text->size()) + " bytes; a project holds " +
                        "texts of at most " + std::to_string(kMaxEditedTextLength) + " bytes; not applied");
        continue;
      }
      if (ApplyText(table, i, *text, e.Fuzzy)) {
        ++report.Applied;
      } else {
        ++report.Unchanged;
      }
      const TPhrase& p = table.Phrases[i];
      const std::string note = PrintfImportNote(i, table.OriginText(p), table.EditedText(p));
      if (!note.empty()) report.Note(TargetLine(e, 0, doc.LiteralLineFeeds), note);
      const size_t prepared = PrepareText(table.EditedText(p)).size();
      if (prepared > p.Length) {
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
  report.Changed = report.Applied > 0;
  return report;
}

}  // namespace velmora
