#include "project/exchange/ImportReport.h"

namespace velmora {

std::string ImportReport::CountLine() const {
  std::string s = std::to_string(Applied) + " applied, " + std::to_string(Unchanged) + " unchanged, " +
                  std::to_string(SourceChanged) + " source changed, " + std::to_string(OverBudget) +
                  " over budget (these will be relocated), " + std::to_string(Unrepresentable) +
                  " unrepresentable, " + std::to_string(UnknownContext) + " unknown context";
  if (TooLong > 0) s.append(", ").append(std::to_string(TooLong)).append(" too long");
  return s + ".";
}

std::string ImportReport::Text(std::string_view fileName, size_t maxNotes) const {
  std::string s = Headline.empty() ? CountLine() : Headline;
  const size_t shown = std::min(maxNotes, Notes.size());
  for (size_t i = 0; i < shown; ++i) {
    s += "\n";
    s.append(fileName);
    s.append(":").append(std::to_string(Notes[i].Line)).append(": ").append(Notes[i].Text);
  }
  if (shown < Notes.size()) s.append("\n... and ").append(std::to_string(Notes.size() - shown)).append(" more.");
  return s;
}

}  // namespace velmora
