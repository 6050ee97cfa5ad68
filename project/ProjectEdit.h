// Every command that changes a stored project goes through EditProjectFile:
// it opens the project, lets the change work on the table and saves the
// project when the change reports that something changed.
#pragma once

#include <functional>
#include <string>

#include "analysis/PhraseTable.h"

namespace velmora {

// Returns true when the table changed and must be saved.
using ProjectChange = std::function<bool(PhraseTable&)>;

// Opens the project at path, runs change on it and saves it when change
// returned true. Returns what change returned. Errors of the open, the
// change or the save pass to the caller; a failed save leaves the stored
// project as it was.
bool EditProjectFile(const std::string& path, const ProjectChange& change);

}  // namespace velmora
