// Which projects one LOADING.KWI can carry together: units of one module of
// one source loader, each unit at most once. A rebuild with several
// projects writes each project's unit in its place; the lead project (the
// first) names the module.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "analysis/PhraseTable.h"
#include "project/build/SourceLoader.h"

namespace velmora {

using ProjectList = std::vector<const PhraseTable*>;

// Why candidate cannot join members (the first of them the lead); empty when
// it can: a project made from a .BIN file, one whose unit lies in another
// maker entry or module than the lead's, or one whose unit a member already
// translates.
std::string GroupRefusal(const ProjectList& members, const PhraseTable& candidate);

// The first project of a list that cannot join the ones before it.
struct GroupProblem {
  size_t Index = 0;
  std::string Reason;
};
std::optional<GroupProblem> CheckModuleGroup(const ProjectList& projects);

// "project 2 (JPN_JPN): ..."; how a refusal names the project.
std::string GroupMemberName(size_t index, const PhraseTable& project);

// The source check for every project of a list: Suitable when the loader at
// path serves each of them, otherwise the first failure; failedIndex (when
// given) receives the position of the project that failed.
SourceCheck CheckGroupSource(const ProjectList& projects, const std::string& path, size_t* failedIndex = nullptr);

// The source loader a rebuild of several projects takes: the first of the
// projects' own source paths, then `given`, that serves all of them.
// Rejected lists each path tried with the project that refused it.
SourceSearch FindGroupSource(const ProjectList& projects, const std::string& given);

}  // namespace velmora
