// The one list of checks. Each check is a class (PrintfCheck.h,
// CharacterChecks.h, LayoutChecks.h, ProjectChecks.h); Checks() holds one
// instance of each class named here, in this order: errors first, then
// warnings, then notes. A new check is its class (in one of those headers,
// or a header of its own included here) and one more name here.
#pragma once

#include <tuple>

#include "project/check/CharacterChecks.h"
#include "project/check/LayoutChecks.h"
#include "project/check/PrintfCheck.h"
#include "project/check/ProjectChecks.h"
#include "project/check/TermsCheck.h"

namespace velmora::checks {

using AllChecks = std::tuple<
    // errors
    PrintfCheck, CodePageCheck, CharsetCheck, ControlCheck, TermsCheck,
    // warnings
    PrintfStyleCheck, LineBreakCheck, BlankCheck, BracketCheck, ConsistencyCheck, GrowthCheck,
    // notes
    RelocatedCheck, IdenticalCheck>;

}  // namespace velmora::checks
