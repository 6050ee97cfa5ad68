// The loader rebuild: a new LOADING.KWI that carries one module of a source
// loader with some of its units translated. The source serves as a template
// and is only read: the new loader holds the source's maker entry with that
// one module, every unit copied byte for byte except the translated ones,
// which their writers put in place, and every unit entry's offset rewritten
// to where its unit now lies.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "container/io/Stream.h"
#include "container/kiwi/Loading.h"

namespace velmora {

// A module of a loader directory, by its maker entry and its position there.
struct LoaderModuleRef {
  int MakerIndex = -1;
  int ModuleIndex = -1;
};

// Writes a translated unit at the output's current position and returns the
// number of bytes written.
using UnitWriter = std::function<int64_t(TStream& output)>;

struct TranslatedUnit {
  size_t UnitIndex = 0;  // position in the module's unit list
  UnitWriter Write;
};

// The maker entry, module and unit a reference names, when the directory
// holds them and the maker entry is the "AISIN-AW" one; null members
// otherwise.
struct LoaderUnitLookup {
  const TLN_System_Identification_Info* Maker = nullptr;
  const TLN_Module_Info* Module = nullptr;
  const TLN_Unit_Info* Unit = nullptr;
};
enum class LoaderLookupResult { Found, NoMaker, NoUnit };
LoaderLookupResult FindLoaderUnit(const TLN_Loading& dir, const LoaderModuleRef& module, int unitIndex,
                                  LoaderUnitLookup& found);

// Position in a loader of the 64-byte name record of a module: after the
// maker records, the name and module records of every earlier maker entry,
// and the name records of the earlier modules of its own entry.
int64_t ModuleNameRecordPosition(const TLN_Loading& dir, size_t makerIndex, size_t moduleIndex);

// What a rebuild takes from the source for the new loader's directory: the
// directory sector (positions 0-2047, one maker entry with the referenced
// module, its data starting at sector 1) and, in the split layout, the
// module's own unit table. The unit entries' offsets and the module's sector
// count stay as the source holds them: they are known once the units are
// placed. The reference must name a module of dir. EFormatError when the
// source (of sourceSize bytes) ends before one of these records or when the
// module's first unit overlaps its unit table.
struct RebuiltDirectory {
  std::vector<uint8_t> Head;   // kRebuiltModuleData bytes
  std::vector<uint8_t> Table;  // split layout only: 4 + 16 x (units - 1) bytes
};
RebuiltDirectory ReadRebuiltDirectory(const TLN_Loading& dir, TStream& source, int64_t sourceSize,
                                      const LoaderModuleRef& module);

// Writes the new loader to outputPath (through a temporary file renamed
// into place) from the source loader at sourcePath, and returns its size.
// An output that names the source is refused before anything is written
// (EFCreateError). A source that does not hold the module or a translated
// unit, or whose units reach past its end, raises EFormatError.
int64_t RebuildLoader(const std::string& sourcePath, const std::string& outputPath, const LoaderModuleRef& module,
                      const std::vector<TranslatedUnit>& translated);

}  // namespace velmora
