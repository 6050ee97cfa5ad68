// Fuzzes the code-page conversions both ways: the first byte chooses one of
// the nine code pages, the rest is taken as the unit's 8-bit text and as
// typed UTF-8. Text read through a code page is always valid UTF-8; typed
// text is either refused with a message or becomes bytes that read back as
// the same text; code page 932 to UTF-16 gives whole code units.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "FuzzChecks.h"
#include "project/text/CodePages.h"

using namespace velmora;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The default code page follows the locale: fix it for repeatable runs.
  ::setenv("LC_ALL", "ru_RU.UTF-8", 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const auto cp = static_cast<CodePage>(data[0] % kCodePageCount);
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  const std::string shown = ToUtf8(text, cp);
  fuzz::Check(!FirstInvalidUtf8(shown).has_value());

  const bool valid = !FirstInvalidUtf8(text).has_value();
  try {
    const std::string bytes = FromUtf8(text, cp);
    fuzz::Check(valid);
    fuzz::Check(ToUtf8(bytes, cp) == text);
  } catch (const std::runtime_error& e) {
    // Refused: for malformed text as such, otherwise for a character.
    fuzz::Check(valid == (std::string_view(e.what()).find("not valid UTF-8") == std::string_view::npos));
  }

  fuzz::Check(Cp932ToUtf16LE(text).size() % 2 == 0);
  return 0;
}
