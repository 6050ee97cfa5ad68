// Why a module of a loader lists no units. The directory reader leaves a
// module without units when its data reaches past the end of the file (a
// loader cut short), when its record gives its data no position, or when its
// unit table is empty or damaged; the dialog and the project creation say
// which, so that an empty unit list is never left unexplained.
#pragma once

#include <string>

#include "container/kiwi/Loading.h"

namespace velmora {

// The reason, as the user reads it, that `module` of `loading` has no units;
// reads the loader file's size. Empty when the module has units.
std::string NoUnitsReason(const TLN_Loading& loading, const TLN_Module_Info& module);

// Raises EProjectCreationError with NoUnitsReason when the module has no
// units.
void RequireUnits(const TLN_Loading& loading, const TLN_Module_Info& module);

}  // namespace velmora
