// Runs every check of Checks() over a project, or over the one text that
// the translation editor holds.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "project/check/Check.h"

namespace velmora {

struct CheckResult {
  std::vector<Problem> Problems;  // by phrase, unit-wide problems last
  size_t Checked = 0;             // translations looked at
  size_t Errors = 0;
  size_t Warnings = 0;
  size_t Infos = 0;
  // "3 error(s), 1 warning(s), 5 info(s) in 120 translation(s)".
  std::string CountLine() const;
};

// Checks every switched-on translation (every edited one with
// options.AllEdited) against its origin text. Link records are never
// checked: their master is.
CheckResult CheckProject(const PhraseTable& table, const CheckOptions& options);

// The problems of a text typed for the phrase at index, as it would be
// checked once stored and switched on; the checks of the whole project
// (consistency, growth) are left out.
std::vector<Problem> CheckTypedText(const PhraseTable& table, size_t index, std::string_view text,
                                    const CheckOptions& options);

// The errors alone, for the build gate.
std::vector<Problem> ErrorsOf(const CheckResult& result);

}  // namespace velmora
