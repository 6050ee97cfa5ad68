// The loader's units dialog of "Save LOADING.KWI As ..." apart from any
// window system: the open project's unit is always carried; Add puts the
// projects of other units of the same module into the same loader, Remove
// takes one out again. A project that cannot go with the others (made from
// a .BIN, another module, a unit already carried, or a unit that differs
// from the one in the source loader) is refused with the reason.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "analysis/PhraseTable.h"
#include "project/build/ModuleGroup.h"
#include "ui/logic/Platform.h"
#include "ui/logic/state/ProjectFiles.h"

namespace velmora::ui {

class LoaderUnitsForm {
 public:
  LoaderUnitsForm(Platform& platform, ProjectFiles& files) : platform_(platform), files_(files) {}

  // The folder the Add file dialog opens in.
  std::string Folder;

  // Opening for the open project, held in the file openPath (empty when
  // not saved yet): the list holds it alone. source is the loader the
  // rebuild will take when it is known already (the open project's own
  // source, when it serves), else empty.
  void Prepare(const PhraseTable& open, std::string openPath, std::string source);
  // Add: asks for a project file. A project that fits joins the list and
  // true is returned; a cancelled dialog changes nothing; any other file is
  // named in a warning box with the reason, and the list stays as it was.
  bool AddBtnClick();
  // Remove: takes the added project at list row `row` away; row 0, the
  // open project, stays.
  void RemoveBtnClick(int row);

  // What the list shows, one row per project, the open one first:
  // "APM_APM  (unit 0)  /path/APM.vmprj".
  std::vector<std::string> Rows() const;
  // The open project first, then the added ones in the order they came.
  ProjectList Projects() const;
  // The files of the added projects.
  const std::vector<std::string>& AddedPaths() const { return paths_; }

 private:
  Platform& platform_;
  ProjectFiles& files_;
  const PhraseTable* open_ = nullptr;
  std::string openPath_;
  std::string source_;
  std::vector<std::string> paths_;
  std::vector<std::unique_ptr<PhraseTable>> added_;
};

}  // namespace velmora::ui
