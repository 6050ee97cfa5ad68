// The directory of a loader file LOADING.KWI: maker entries, their loading
// modules and the modules' units. A malformed loader sets Valid false; it
// never raises. Errors of the stream itself (a file that cannot be opened)
// pass to the caller.
#pragma once

#include <cstdint>
#include <string>
#include <vector>


namespace velmora {

struct TLN_Unit_Info {
  uint32_t Size = 0;    // bytes
  uint32_t Offset = 0;  // byte position in the loader; 0xFFFFFFFF = no offset
  std::string Name;
};

struct TLN_Module_Info {
  uint8_t NameByte = 0;
  std::string Name;       // 52-byte text
  std::string ShortName;  // 8-byte text
  uint16_t RecordWord0 = 0;
  uint16_t RecordWord2 = 0;
  std::string RecordText;  // 64-byte text
  uint16_t UnitCount = 0;
  std::vector<TLN_Unit_Info> Units;
  uint32_t Start = 0;         // byte position of the module's data
  uint32_t Length = 0;        // sector count x 2048
  int64_t RecordOffset = 0;   // byte position of the 256-byte module record
  bool SplitTable = false;    // the record lists only unit 0; the rest are at Start
};

struct TLN_System_Identification_Info {
  int32_t Longitude = 0;
  int32_t Latitude = 0;
  uint8_t IdByte = 0;
  uint16_t IdWord = 0;
  std::string MakerName;  // empty when no maker matches the position
  uint16_t ModuleCount = 0;
  std::vector<TLN_Module_Info> Modules;
};

struct TLN_Loading_Management_Frame {
  uint16_t MakerCount = 0;
  std::vector<TLN_System_Identification_Info> Makers;
};

class TLN_Loading {
 public:
  // Parses the whole directory of the file at path.
  explicit TLN_Loading(const std::string& path);

  bool Valid = false;
  TLN_Loading_Management_Frame Frame;
  std::string FileName;
};

}  // namespace velmora
