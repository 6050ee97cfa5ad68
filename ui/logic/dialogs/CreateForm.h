// The loader-rebuild source dialog ("Creation New LOADING.KWI") apart from
// any window system: the SOURCE button asks for a LOADING.KWI, accepts it
// when it is the loader the project was made from, and otherwise warns and
// stays open for another choice.
#pragma once

#include <functional>
#include <string>

#include "analysis/PhraseTable.h"
#include "ui/logic/Platform.h"

namespace velmora::ui {

// The source dialog's size (client area).
constexpr int kCreateFormWidth = 585;
constexpr int kCreateFormHeight = 306;

class CreateForm {
 public:
  // suitable: the test of a chosen source against the open project.
  CreateForm(Platform& platform, std::function<bool(const std::string&)> suitable)
      : platform_(platform), suitable_(std::move(suitable)) {}

  // The warning for an unsuitable file; follows the interface language.
  std::string UnsuitableText = "Unsuitable file !!!";
  // The folder the SOURCE file dialog opens in.
  std::string Folder;

  // Opening: no file chosen yet.
  void FormShow() { chosen_.clear(); }
  // SOURCE: returns true when the dialog is to close with OK (the chosen
  // file suits the project). A cancelled file dialog changes nothing; an
  // unsuitable file is named in a warning box, and the dialog stays open.
  bool OpenSourceBtnClick();
  // The file accepted by the last OpenSourceBtnClick that returned true.
  const std::string& ChosenPath() const { return chosen_; }
  // Replaces the test of a chosen source (a loader of several projects
  // must serve each of them).
  void SetSuitableTest(std::function<bool(const std::string&)> suitable) { suitable_ = std::move(suitable); }

 private:
  Platform& platform_;
  std::function<bool(const std::string&)> suitable_;
  std::string chosen_;
};

}  // namespace velmora::ui
