#include "ui/logic/commands/CheckCommands.h"

#include "project/check/CharacterSet.h"

namespace velmora::ui {

void CheckCommands::CheckCommand() {
  problems_.clear();
  if (project_.IsOpen()) problems_ = CheckProject(project_.Table(), view_.CheckOptionsNow()).Problems;
  window_.Notify(kChangedProblems);
}

std::vector<std::string> CheckCommands::ProblemLines() const {
  std::vector<std::string> lines;
  lines.reserve(problems_.size());
  for (const Problem& p : problems_) lines.push_back(CheckProblemLine(p));
  return lines;
}

bool CheckCommands::SelectProblem(size_t row) {
  if (row >= problems_.size() || problems_[row].Index < 0) return false;
  const int32_t phrase = problems_[row].Index;
  PhraseGrid& grid = view_.Grid();
  if (static_cast<size_t>(phrase) >= project_.Table().Phrases.size()) return false;
  if (!grid.SelectPhrase(phrase)) {
    window_.Notify(view_.ShowFilter(GridFilter::NoFilter));
    if (!grid.SelectPhrase(phrase)) return false;
  }
  window_.Notify(kChangedSelection | kChangedMemos);
  return true;
}

void CheckCommands::LoadCharsetCommand() {
  const auto path = dialogs_.ChooseToOpen({kCharsetFilter, "", "", true});
  if (!path) return;
  window_.Guard([&] {
    view_.SetCharset(LoadCharacterSet(*path));
    window_.Ui().ShowStatusLine("Character set: " + std::to_string(view_.Charset()->size()) + " characters");
  });
}

void CheckCommands::ClearCharset() {
  view_.SetCharset(std::nullopt);
  window_.Ui().ShowStatusLine("");
}

bool CheckCommands::ConfirmBuild() {
  const std::vector<Problem> errors = ErrorsOf(CheckProject(project_.Table(), view_.CheckOptionsNow()));
  if (errors.empty()) return true;
  std::string text = std::to_string(errors.size()) + " error(s) may break the navigation unit:\n";
  for (size_t k = 0; k < errors.size() && k < kErrorsInBuildQuestion; ++k)
    text += "\n" + CheckProblemLine(errors[k]);
  if (errors.size() > kErrorsInBuildQuestion)
    text += "\n... and " + std::to_string(errors.size() - kErrorsInBuildQuestion) + " more";
  text += "\n\nBuild anyway?";
  return window_.Ui().MessageBox(text, Buttons::YesNo, BoxKind::Warning) == Answer::Yes;
}

}  // namespace velmora::ui
