// Glossary terms: a term of the origin must be translated as the glossary
// says, and a term the glossary forbids must not be used at all.
#pragma once

#include "project/check/Check.h"

namespace velmora::checks {

class TermsCheck final : public TextCheck {
 public:
  std::string_view Id() const override { return "terms"; }
  // A forbidden term is an error; a missing translation of a term is a warning.
  Severity Level() const override { return Severity::Error; }
  std::string_view Summary() const override {
    return "a forbidden glossary term (error) or a term translated otherwise than the glossary says (warning; "
           "--glossary FILE)";
  }
  void CheckPair(const TextPair& pair, const CheckOptions& options, std::vector<Problem>& out) const override;
};

}  // namespace velmora::checks
