// The checks as the files that define them hand them to Checks().
#pragma once

#include "project/check/Check.h"

namespace velmora::checks {

// PrintfCheck.cpp
const TextCheck& Printf();
const TextCheck& PrintfStyle();
// CharacterChecks.cpp
const TextCheck& CodePageCharacters();
const TextCheck& CharsetCharacters();
const TextCheck& ControlBytes();
// TermsCheck.cpp
const TextCheck& Terms();
// LayoutChecks.cpp
const TextCheck& LineBreaks();
const TextCheck& Blanks();
const TextCheck& Brackets();
// ProjectChecks.cpp
const TextCheck& Consistency();
const TextCheck& Growth();
const TextCheck& Relocated();
const TextCheck& Identical();

}  // namespace velmora::checks
