#include "ui/logic/words/UnsavedWorkQuestion.h"

namespace velmora::ui {

namespace {

// The close questions hold their two sentences apart by a line feed and a
// carriage return.
constexpr std::string_view kBreak = "\n\r";

std::string FirstSentence(const std::string& prompt) { return prompt.substr(0, prompt.find(kBreak)); }

}  // namespace

std::optional<std::string> UnsavedWorkQuestion(const UnsavedWork& work, NextStep next,
                                               const std::function<const std::string&(CaptionId)>& caption) {
  if (!work.Modified && (work.HasProjectFile || !work.ProjectOpen)) return std::nullopt;
  const CaptionId prompt = work.HasProjectFile ? CaptionId::SaveChangesPrompt : CaptionId::SaveProjectPrompt;
  if (work.Modified && next == NextStep::Quit) return caption(prompt);
  const std::string situation =
      work.Modified ? FirstSentence(caption(prompt)) : caption(CaptionId::ProjectNeverSavedText);
  CaptionId question = CaptionId::SaveProjectBeforeQuitQuestion;
  if (next == NextStep::OpenProject)
    question = work.HasProjectFile ? CaptionId::SaveChangesBeforeOpenQuestion : CaptionId::SaveProjectBeforeOpenQuestion;
  if (next == NextStep::CreateProject)
    question =
        work.HasProjectFile ? CaptionId::SaveChangesBeforeCreateQuestion : CaptionId::SaveProjectBeforeCreateQuestion;
  return situation + std::string(kBreak) + caption(question);
}

}  // namespace velmora::ui
