#include "ui/logic/dialogs/LoaderUnitsForm.h"

#include "ui/logic/dialogs/FileDialogs.h"

namespace velmora::ui {

namespace {

std::string RowOf(const PhraseTable& t, const std::string& where) {
  return t.UnitTitle() + "  (unit " + std::to_string(t.Info.UnitIndex) + ")  " + where;
}

}  // namespace

void LoaderUnitsForm::Prepare(const PhraseTable& open, std::string openPath, std::string source) {
  open_ = &open;
  openPath_ = std::move(openPath);
  source_ = std::move(source);
  paths_.clear();
  added_.clear();
}

bool LoaderUnitsForm::AddBtnClick() {
  FileDialogRequest desc{kProjectFilter, "", ""};
  desc.MustExist = true;
  desc.Folder = Folder;
  const auto path = platform_.OpenFileDialog(desc);
  if (!path) return false;
  auto table = std::make_unique<PhraseTable>();
  std::string reason;
  try {
    files_.Open(*table, *path);
    reason = GroupRefusal(Projects(), *table);
    if (reason.empty() && !source_.empty()) {
      const SourceCheck check = CheckSource(*table, source_);
      if (check != SourceCheck::Suitable)
        reason = "its unit is not the one in the source loader " + source_ + ": " + SourceCheckText(check);
    }
  } catch (const std::exception& e) {
    reason = e.what();
  }
  if (!reason.empty()) {
    platform_.MessageBox(*path + "\r\n" + reason, Buttons::Ok, BoxKind::Warning);
    return false;
  }
  paths_.push_back(*path);
  added_.push_back(std::move(table));
  return true;
}

void LoaderUnitsForm::RemoveBtnClick(int row) {
  if (row < 1 || static_cast<size_t>(row) > added_.size()) return;
  paths_.erase(paths_.begin() + (row - 1));
  added_.erase(added_.begin() + (row - 1));
}

std::vector<std::string> LoaderUnitsForm::Rows() const {
  std::vector<std::string> rows;
  if (open_) rows.push_back(RowOf(*open_, openPath_));
  for (size_t i = 0; i < added_.size(); ++i) rows.push_back(RowOf(*added_[i], paths_[i]));
  return rows;
}

ProjectList LoaderUnitsForm::Projects() const {
  ProjectList list;
  if (open_) list.push_back(open_);
  for (const auto& t : added_) list.push_back(t.get());
  return list;
}

}  // namespace velmora::ui
