// The "Create New Project" dialog's state and rules, apart from any window
// system: the module and unit lists, the text-analysis options, the address
// range fields with their validity, and what START hands to the analysis.
// The dialog is created once and reused: the radio buttons and "Hide ABC"
// keep the user's choice from one project to the next, the range is reset
// each time the dialog opens.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "analysis/AnalyseUnit.h"
#include "ui/logic/Platform.h"

namespace velmora::ui {

// One entry of the unit list: its name and its size in the loader.
struct UnitChoice {
  std::string Name;
  uint32_t Size = 0;
};

class NewProjectForm {
 public:
  explicit NewProjectForm(Platform& platform) : platform_(platform) {}

  // Called after the state changed, for the window to show it.
  std::function<void()> OnChanged;

  // --- set-up by the two flows ---
  // The .BIN flow: both buttons enabled, both lists emptied and disabled,
  // the unit size is the file's size.
  void PrepareForBin(uint32_t fileSize);
  // The loader flow: both buttons enabled, the module list emptied, both
  // lists enabled.
  void PrepareForLoader();
  // Adds a module to the list with the units it holds; a module without
  // units comes with the reason it has none.
  void AddModule(const std::string& name, std::vector<UnitChoice> units, std::string noUnitsReason = {});

  // --- the dialog's events ---
  // Opening: "Start 0x" 00000000, "End 0x" the unit size, range unchecked.
  void FormShow();
  // A module chosen in the list (also the flow's own choice of module 0):
  // its units fill the unit list, "APM" (the last one so named) or else the
  // first is selected, and the fields take the selected unit's size.
  void ModuleChange(int index);
  // A unit chosen in the list: the fields take its size.
  void UnitChange(int index);
  // "Address Range": the fields are enabled exactly while it is checked;
  // unchecking restores 00000000 and the unit size.
  void RangeCheckBoxClick(bool checked);
  // A change of a field's text (typed or set): an invalid text turns red,
  // disables START and beeps; a valid one turns normal and enables START
  // when the other field is normal too.
  void StartEditChange(const std::string& text);
  void EndEditChange(const std::string& text);
  void SetMode(TextMode mode);
  void SetHideAbc(bool on);
  // START: both buttons disabled, the chosen module and unit and the
  // analysis options taken; the dialog then closes with OK. Returns false
  // (and does nothing) while START is disabled.
  bool StartBtnClick();

  // --- state ---
  const std::vector<std::string>& ModuleItems() const { return moduleItems_; }
  std::vector<std::string> UnitItems() const;
  int ModuleIndex() const { return moduleIndex_; }
  // Why the chosen module's unit list is empty; empty while it has units.
  const std::string& UnitListNote() const;
  int UnitIndex() const { return unitIndex_; }
  bool ListsEnabled() const { return listsEnabled_; }
  TextMode Mode() const { return mode_; }
  bool HideAbc() const { return hideAbc_; }
  bool RangeChecked() const { return rangeChecked_; }
  // The two fields are enabled exactly while "Address Range" is checked.
  bool FieldsEnabled() const { return rangeChecked_; }
  const std::string& StartText() const { return startText_; }
  const std::string& EndText() const { return endText_; }
  bool StartRed() const { return startRed_; }
  bool EndRed() const { return endRed_; }
  bool StartEnabled() const { return startEnabled_; }
  bool CancelEnabled() const { return cancelEnabled_; }
  uint32_t SelectedUnitSize() const { return selectedUnitSize_; }

  // What START chose: positions in the two lists (-1 in the .BIN flow) and
  // the options of the analysis.
  int ChosenModule() const { return chosenModule_; }
  int ChosenUnit() const { return chosenUnit_; }
  const AnalysisOptions& Options() const { return options_; }

 private:
  void SetFields(const std::string& start, const std::string& end);
  void Validate();
  void Changed();

  Platform& platform_;
  std::vector<std::string> moduleItems_;
  std::vector<std::vector<UnitChoice>> moduleUnits_;
  std::vector<std::string> noUnitsReasons_;  // by module
  int moduleIndex_ = -1;
  int unitIndex_ = -1;
  bool listsEnabled_ = false;
  TextMode mode_ = TextMode::English;
  bool hideAbc_ = true;
  bool rangeChecked_ = false;
  void FieldChange(std::string& fieldText, bool& fieldRed, const std::string& text);

  std::string startText_;
  std::string endText_;
  bool startRed_ = false;
  bool endRed_ = false;
  bool startEnabled_ = true;
  bool cancelEnabled_ = true;
  uint32_t selectedUnitSize_ = 0;
  int chosenModule_ = -1;
  int chosenUnit_ = -1;
  AnalysisOptions options_;
};

}  // namespace velmora::ui
