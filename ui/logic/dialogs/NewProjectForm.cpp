#include "ui/logic/dialogs/NewProjectForm.h"

#include "analysis/ProjectCreation.h"
#include "ui/logic/dialogs/RangeFields.h"

namespace velmora::ui {

void NewProjectForm::Changed() {
  if (OnChanged) OnChanged();
}

void NewProjectForm::PrepareForBin(uint32_t fileSize) {
  startEnabled_ = true;
  cancelEnabled_ = true;
  moduleItems_.clear();
  moduleUnits_.clear();
  noUnitsReasons_.clear();
  moduleIndex_ = -1;
  unitIndex_ = -1;
  listsEnabled_ = false;
  selectedUnitSize_ = fileSize;
  Changed();
}

void NewProjectForm::PrepareForLoader() {
  startEnabled_ = true;
  cancelEnabled_ = true;
  moduleItems_.clear();
  moduleUnits_.clear();
  noUnitsReasons_.clear();
  moduleIndex_ = -1;
  unitIndex_ = -1;
  listsEnabled_ = true;
  selectedUnitSize_ = 0;
  Changed();
}

void NewProjectForm::AddModule(const std::string& name, std::vector<UnitChoice> units, std::string noUnitsReason) {
  moduleItems_.push_back(name);
  moduleUnits_.push_back(std::move(units));
  noUnitsReasons_.push_back(std::move(noUnitsReason));
  Changed();
}

const std::string& NewProjectForm::UnitListNote() const {
  static const std::string kNone;
  if (!listsEnabled_ || moduleIndex_ < 0 || static_cast<size_t>(moduleIndex_) >= noUnitsReasons_.size()) return kNone;
  return noUnitsReasons_[static_cast<size_t>(moduleIndex_)];
}

std::vector<std::string> NewProjectForm::UnitItems() const {
  std::vector<std::string> names;
  if (moduleIndex_ < 0 || static_cast<size_t>(moduleIndex_) >= moduleUnits_.size()) return names;
  for (const UnitChoice& u : moduleUnits_[static_cast<size_t>(moduleIndex_)]) names.push_back(u.Name);
  return names;
}

void NewProjectForm::SetFields(const std::string& start, const std::string& end) {
  // Setting a field's text runs its change rule, as typing does.
  StartEditChange(start);
  EndEditChange(end);
}

void NewProjectForm::FormShow() {
  rangeChecked_ = false;
  const RangeFields f = DefaultRangeFields(selectedUnitSize_);
  SetFields(f.StartText, f.EndText);
  Changed();
}

void NewProjectForm::ModuleChange(int index) {
  if (index < 0 || static_cast<size_t>(index) >= moduleItems_.size()) return;
  moduleIndex_ = index;
  unitIndex_ = PreselectUnit(UnitItems());
  // A module without units has no size to offer: the range ends at 0.
  const auto& units = moduleUnits_[static_cast<size_t>(index)];
  selectedUnitSize_ = unitIndex_ >= 0 ? units[static_cast<size_t>(unitIndex_)].Size : 0;
  StartEditChange("00000000");
  EndEditChange(FormatHex8(selectedUnitSize_));
  Changed();
}

void NewProjectForm::UnitChange(int index) {
  if (moduleIndex_ < 0) return;
  const auto& units = moduleUnits_[static_cast<size_t>(moduleIndex_)];
  if (index < 0 || static_cast<size_t>(index) >= units.size()) return;
  unitIndex_ = index;
  selectedUnitSize_ = units[static_cast<size_t>(index)].Size;
  StartEditChange("00000000");
  EndEditChange(FormatHex8(selectedUnitSize_));
  Changed();
}

void NewProjectForm::RangeCheckBoxClick(bool checked) {
  rangeChecked_ = checked;
  if (!checked) {
    const RangeFields f = DefaultRangeFields(selectedUnitSize_);
    SetFields(f.StartText, f.EndText);
  }
  Changed();
}

void NewProjectForm::Validate() {
  // In the loader flow START also needs a unit to start from.
  const bool haveUnit = !listsEnabled_ || unitIndex_ >= 0;
  startEnabled_ = !startRed_ && !endRed_ && haveUnit;
}

void NewProjectForm::StartEditChange(const std::string& text) { FieldChange(startText_, startRed_, text); }

void NewProjectForm::EndEditChange(const std::string& text) { FieldChange(endText_, endRed_, text); }

// Either range field changed: an invalid text turns red, disables START and
// beeps; a valid one enables START when the other field is valid too.
void NewProjectForm::FieldChange(std::string& fieldText, bool& fieldRed, const std::string& text) {
  fieldText = text;
  fieldRed = !IsValidHexField(text);
  if (fieldRed) {
    startEnabled_ = false;
    platform_.Beep();
  } else {
    Validate();
  }
  Changed();
}

void NewProjectForm::SetMode(TextMode mode) {
  mode_ = mode;
  Changed();
}

void NewProjectForm::SetHideAbc(bool on) {
  hideAbc_ = on;
  Changed();
}

bool NewProjectForm::StartBtnClick() {
  if (!startEnabled_) return false;
  startEnabled_ = false;
  cancelEnabled_ = false;
  chosenModule_ = listsEnabled_ ? moduleIndex_ : -1;
  chosenUnit_ = listsEnabled_ ? unitIndex_ : -1;
  const AddressRange range = RangeFromFields(rangeChecked_, startText_, endText_, selectedUnitSize_);
  options_.Mode = mode_;
  options_.HideAbc = hideAbc_;
  options_.RangeStart = range.RangeStart;
  options_.RangeEnd = range.RangeEnd;
  Changed();
  return true;
}

}  // namespace velmora::ui
