#include "ui/logic/dialogs/FileDialogs.h"

#include <filesystem>

namespace velmora::ui {

namespace {

std::string FolderOf(const std::string& path) { return std::filesystem::path(path).parent_path().string(); }

}  // namespace

std::string FileDialogs::Folder() const {
  if (project_.HasProjectFile() && !project_.Path().empty()) return FolderOf(project_.Path());
  if (!project_.CreationPath().empty()) return FolderOf(project_.CreationPath());
  if (project_.IsOpen() && !project_.Table().SourcePath.empty()) return FolderOf(project_.Table().SourcePath);
  return lastFolder_;
}

std::optional<std::string> FileDialogs::ChooseToOpen(FileDialogRequest request) {
  request.Folder = Folder();
  auto path = platform_.OpenFileDialog(request);
  if (path) lastFolder_ = FolderOf(*path);
  return path;
}

std::optional<std::string> FileDialogs::ChooseToSave(FileDialogRequest request) {
  request.Folder = Folder();
  auto path = platform_.SaveFileDialog(request);
  if (path) lastFolder_ = FolderOf(*path);
  return path;
}

}  // namespace velmora::ui
