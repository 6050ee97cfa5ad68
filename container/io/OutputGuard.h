// A command's output must never replace one of its own inputs: the project
// it reads, or the loader it copies from. Every command that writes checks
// its output here before anything is created.
#pragma once

#include <string>
#include <vector>

namespace velmora {

// True when both paths name the same file: the same file on disk through
// any symbolic or hard link (device and inode), or, for a file that does
// not exist yet, the same absolute path once links and "." and ".." are
// resolved.
bool NamesSameFile(const std::string& a, const std::string& b);

// Raises EFCreateError naming output when it names one of inputs. A
// volume-set input (ALLDATA1.KWI, REGION1.KWI) stands for every volume of
// its set; empty input paths are skipped.
void RefuseOutputOverInputs(const std::string& output, const std::vector<std::string>& inputs);
// The same for one input, named in the message as what ("the source
// loader"): 'It is <what> (<file>), which is only read; ...'.
void RefuseOutputOverInput(const std::string& output, const std::string& input, const std::string& what);

}  // namespace velmora
