// Every command that changes a stored project goes through EditProjectFile:
// it takes the project's edit lock (project/file/ProjectLock.h), opens the
// project, lets the change work on the table and saves the project when the
// change reports that something changed, and only then lets the next
// change in. Concurrent edits of one project therefore queue and all of
// them survive.
#pragma once

#include <functional>
#include <string>

#include "analysis/PhraseTable.h"

namespace velmora {

// Returns true when the table changed and must be saved.
using ProjectChange = std::function<bool(PhraseTable&)>;

// Opens the project at path, runs change on it and saves it when change
// returned true, all under the project's edit lock. Returns what change
// returned. Errors of the open, the change or the save pass to the caller;
// a failed save leaves the stored project as it was.
bool EditProjectFile(const std::string& path, const ProjectChange& change);

// Saves table to path under the edit lock of the project there (the
// window's saves, which must not interleave with a command's edit).
void SaveProjectLocked(PhraseTable& table, const std::string& path);

}  // namespace velmora
