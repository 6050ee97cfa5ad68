// A command's output must never replace one of its own inputs: the project
// it reads, or the loader it copies from. Every command that writes checks
// its output here before anything is created.
#pragma once

#include <string>
#include <vector>

namespace velmora {

// True when both paths name the same file: the same normalised absolute
// path, or the same file on disk through any link (device and inode).
bool NamesSameFile(const std::string& a, const std::string& b);

// Raises EFCreateError naming output when it names one of inputs (empty
// input paths are skipped).
void RefuseOutputOverInputs(const std::string& output, const std::vector<std::string>& inputs);

}  // namespace velmora
