#include "project/build/ModuleGroup.h"

#include <algorithm>

#include "container/io/StreamErrors.h"
#include "container/io/TLN_FileStream.h"

namespace velmora {

std::string GroupRefusal(const ProjectList& members, const PhraseTable& candidate) {
  if (candidate.Info.MakerIndex < 0 || candidate.Info.ModuleIndex < 0 || candidate.Info.UnitIndex < 0)
    return "it was made from a .BIN file; a LOADING.KWI carries only units taken from a loader";
  if (members.empty()) return "";
  const PhraseTable& lead = *members.front();
  if (candidate.Info.MakerIndex != lead.Info.MakerIndex || candidate.Info.ModuleIndex != lead.Info.ModuleIndex)
    return "its unit lies in module " + std::to_string(candidate.Info.ModuleIndex) + " of maker entry " +
           std::to_string(candidate.Info.MakerIndex) + "; the loader carries module " +
           std::to_string(lead.Info.ModuleIndex) + " of maker entry " + std::to_string(lead.Info.MakerIndex);
  for (size_t i = 0; i < members.size(); ++i)
    if (members[i]->Info.UnitIndex == candidate.Info.UnitIndex)
      return "its unit " + std::to_string(candidate.Info.UnitIndex) + " (" + candidate.UnitName +
             ") is already translated by " + GroupMemberName(i, *members[i]);
  return "";
}

std::optional<GroupProblem> CheckModuleGroup(const ProjectList& projects) {
  ProjectList accepted;
  for (size_t i = 0; i < projects.size(); ++i) {
    std::string reason = GroupRefusal(accepted, *projects[i]);
    if (!reason.empty()) return GroupProblem{i, std::move(reason)};
    accepted.push_back(projects[i]);
  }
  return std::nullopt;
}

std::string GroupMemberName(size_t index, const PhraseTable& project) {
  return "project " + std::to_string(index + 1) + " (" + project.UnitTitle() + ")";
}

SourceCheck CheckGroupSource(const ProjectList& projects, const std::string& path, size_t* failedIndex) {
  if (failedIndex) *failedIndex = 0;
  if (projects.size() == 1) return CheckSource(*projects.front(), path);
  if (!FileExists(path)) return SourceCheck::NoFile;
  try {
    // The directory is read once for every project.
    const TLN_Loading dir(path);
    for (size_t i = 0; i < projects.size(); ++i) {
      const SourceCheck check = CheckSourceIn(*projects[i], dir);
      if (check != SourceCheck::Suitable) {
        if (failedIndex) *failedIndex = i;
        return check;
      }
    }
  } catch (const EStreamError&) {
    return SourceCheck::NoFile;
  }
  return SourceCheck::Suitable;
}

SourceSearch FindGroupSource(const ProjectList& projects, const std::string& given) {
  std::vector<std::string> candidates;
  for (const PhraseTable* p : projects) candidates.push_back(p->SourcePath);
  candidates.push_back(given);
  SourceSearch found;
  std::vector<std::string> tried;
  for (const std::string& path : candidates) {
    if (path.empty() || std::find(tried.begin(), tried.end(), path) != tried.end()) continue;
    tried.push_back(path);
    size_t failed = 0;
    const SourceCheck check = CheckGroupSource(projects, path, &failed);
    if (check == SourceCheck::Suitable) {
      found.Path = path;
      break;
    }
    std::string reason = SourceCheckText(check);
    if (projects.size() > 1) reason = GroupMemberName(failed, *projects[failed]) + ": " + reason;
    found.Rejected.push_back(path + " (" + reason + ")");
  }
  return found;
}

}  // namespace velmora
