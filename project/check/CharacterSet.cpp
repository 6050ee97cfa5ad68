#include "project/check/CharacterSet.h"

#include "container/io/Stream.h"
#include "container/io/StreamErrors.h"
#include "project/text/CodePages.h"
#include "project/text/Unicode.h"

namespace velmora {

std::set<uint32_t> ParseCharacterSet(std::string_view utf8) {
  if (utf8.substr(0, kUtf8Bom.size()) == kUtf8Bom) utf8.remove_prefix(kUtf8Bom.size());
  if (const auto bad = FirstInvalidUtf8(utf8))
    throw EFormatError("The character set is not UTF-8 text: byte " + std::to_string(*bad + 1) + " starts no character");
  std::set<uint32_t> set;
  for (const uint32_t cp : CodePoints(utf8))
    if (cp >= 0x20 && cp != 0x7F) set.insert(cp);
  return set;
}

std::set<uint32_t> LoadCharacterSet(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadWholeFile(path);
  try {
    return ParseCharacterSet(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  } catch (const EFormatError& e) {
    throw EFormatError(path + ": " + e.what());
  }
}

}  // namespace velmora
