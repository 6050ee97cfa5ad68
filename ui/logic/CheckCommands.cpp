#include "ui/logic/CheckCommands.h"

#include "project/check/CharacterSet.h"

namespace velmora::ui {

void CheckCommands::CheckCommand() {
  problems_.clear();
  if (state_.ProjectOpen()) problems_ = CheckProject(state_.Table(), state_.CheckOptionsNow()).Problems;
  state_.Notify(kChangedProblems);
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
  PhraseGrid& grid = state_.Grid();
  if (static_cast<size_t>(phrase) >= state_.Table().Phrases.size()) return false;
  if (!grid.SelectPhrase(phrase)) {
    state_.FilterBtnClick(GridFilter::NoFilter);
    if (!grid.SelectPhrase(phrase)) return false;
  }
  state_.Notify(kChangedSelection | kChangedMemos);
  return true;
}

void CheckCommands::LoadCharsetCommand() {
  const auto path = state_.ChooseFileToOpen({kCharsetFilter, "", "", true});
  if (!path) return;
  state_.Guard([&] {
    state_.SetCharset(LoadCharacterSet(*path));
    state_.Ui().ShowStatusLine("Character set: " + std::to_string(state_.Charset()->size()) + " characters");
  });
}

void CheckCommands::ClearCharset() {
  state_.SetCharset(std::nullopt);
  state_.Ui().ShowStatusLine("");
}

bool CheckCommands::ConfirmBuild() {
  const std::vector<Problem> errors = ErrorsOf(CheckProject(state_.Table(), state_.CheckOptionsNow()));
  if (errors.empty()) return true;
  std::string text = std::to_string(errors.size()) + " error(s) may break the navigation unit:\n";
  for (size_t k = 0; k < errors.size() && k < kErrorsInBuildQuestion; ++k)
    text += "\n" + CheckProblemLine(errors[k]);
  if (errors.size() > kErrorsInBuildQuestion)
    text += "\n... and " + std::to_string(errors.size() - kErrorsInBuildQuestion) + " more";
  text += "\n\nBuild anyway?";
  return state_.Ui().MessageBox(text, Buttons::YesNo, BoxKind::Warning) == Answer::Yes;
}

}  // namespace velmora::ui
