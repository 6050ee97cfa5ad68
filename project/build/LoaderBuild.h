// The Save LOADING.KWI command: a new loader from the project's source
// loader, with the project's unit as the BIN builder writes it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/PhraseTable.h"
#include "project/build/BinBuilder.h"

namespace velmora {

inline constexpr std::string_view kCreatingLoaderText = "Creating LOADING.KWI file. Please wait ...";
inline constexpr std::string_view kLoaderCompleteText = "The creation of the file LOADING.KWI is complete.";

// Writes the new loader to outputPath from the source loader at sourcePath
// and returns its size. An output that names the source is refused before
// anything is written (EFCreateError); a source that does not hold the
// project's module and unit raises EFormatError. Status texts: the
// "creating" text once the work starts, then the completion text whether or
// not it succeeded.
int64_t RebuildLoader(const PhraseTable& table, const std::string& sourcePath, const std::string& outputPath,
                      const StatusCallback& status = {});

// The same for several projects of one module (ModuleGroup.h): each
// project's unit as the BIN builder writes it, every other unit copied. A
// list that cannot go together (CheckModuleGroup) raises ERefusal naming
// the project and the reason, after the "creating" text; a source that does
// not serve every project (CheckGroupSource) raises EFormatError. One
// project alone is built as above.
int64_t RebuildLoader(const std::vector<const PhraseTable*>& tables, const std::string& sourcePath,
                      const std::string& outputPath, const StatusCallback& status = {});

}  // namespace velmora
