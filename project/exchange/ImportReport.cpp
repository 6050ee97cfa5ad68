#include "project/exchange/ImportReport.h"

namespace velmora {

std::string ImportReport::CountLine() const {
  std::string s = std::to_string(Applied) + " applied, " + std::to_string(Unchanged) + " unchanged, " +
                  std::to_string(SourceChanged) + " source changed, " + std::to_string(OverBudget) +
                  " over budget (these will be relocated), " + std::to_string(Unrepresentable) +
                  " unrepresentable, " + std::to_string(UnknownContext) + " unknown context, " +
                  std::to_string(StoredOff) + " stored switched off, " + std::to_string(MatchedByText) +
                  " matched by text, " + std::to_string(Forced) + " forced, " + std::to_string(Ambiguous) +
                  " ambiguous";
  if (TooLong > 0) s.append(", ").append(std::to_string(TooLong)).append(" too long");
  return s + ".";
}

std::string ImportReport::NotesText(std::string_view fileName, size_t maxNotes) const {
  std::string s;
  auto add = [&](const ImportNote& n) {
    if (!s.empty()) s += "\n";
    s.append(fileName).append(":").append(std::to_string(n.Line)).append(": ").append(n.Text);
  };
  for (const ImportNote& n : Notes)
    if (n.Attention) add(n);
  size_t shown = 0, others = 0;
  for (const ImportNote& n : Notes) {
    if (n.Attention) continue;
    ++others;
    if (shown < maxNotes) {
      add(n);
      ++shown;
    }
  }
  if (shown < others) {
    if (!s.empty()) s += "\n";
    s.append("... and ").append(std::to_string(others - shown)).append(" more.");
  }
  return s;
}

std::string ImportReport::Text(std::string_view fileName, size_t maxNotes) const {
  std::string s = Headline.empty() ? CountLine() : Headline;
  const std::string notes = NotesText(fileName, maxNotes);
  if (!notes.empty()) s.append("\n").append(notes);
  return s;
}

std::string NoEntryText(std::string_view fileName) {
  return std::string(fileName) +
         ": no entry found; nothing was imported (an empty file, or not a text, PO or XLIFF 1.2 phrase file)";
}

}  // namespace velmora
