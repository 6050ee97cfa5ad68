// Ready-made text sets in the three scripts, the demo unit and the large
// benchmark unit.
#include <algorithm>
#include <string>
#include <vector>

#include "sampledata/SampleData.h"
#include "sampledata/SampleRandom.h"

namespace velmora::sample {

namespace {

const char* const kEnglish[] = {
    "Menu", "Destination", "Route\nGuidance", "Settings", "Map", "Volume", "Home", "Address",
    "Point of Interest", "Cancel", "OK", "Yes", "No", "Back", "<Enter>", "Traffic Info",
    "Recalculating route...", "Turn left", "Turn right", "Please wait", "Memory Point", "Phone Number",
    "Previous Destinations", "Detour", "Delete", "Register", "Display", "Clock", "Brightness",
    "Quiet Mode", "Route Options\nAvoid toll roads", "GPS signal lost", "Arriving at destination",
    "Keep right", "Keep left", "Exit", "Set as Home", "Nearby Search", "Zoom In", "Zoom Out",
    "North Up", "Heading Up", "<Back", "Next>", "Waypoint", "Delete all\nmemory points?",
    "Language", "Estimated time of arrival", "Distance", "Start Guidance", "Stop Guidance",
    "Highway Entrance", "Highway Exit", "Gas Station", "Parking", "Restaurant", "Hotel", "Hospital",
    "Bank", "Select a category", "Enter the name", "No data found", "Insert the map disc",
    "DVD read error\nPlease check the disc", "System Check", "Version Info", "Calibration",
    "Speed Limit", "Voice Guidance", "Day/Night", "Screen Off", "Audio", "Phone", "Info"};

const char* const kEnglishFirst[] = {"Map", "Route", "Voice", "Traffic", "Memory", "Phone", "Audio",
                                     "Display", "System", "Guide", "Search", "Area", "Street", "City",
                                     "Junction", "Lane", "Toll", "Ferry", "Tunnel", "Bridge"};
const char* const kEnglishSecond[] = {"settings", "options", "list", "info", "menu", "point", "mode",
                                      "scale", "volume", "edit", "delete", "check", "history", "view",
                                      "details", "warning", "name", "number", "range", "guide"};

// Windows-1252: A..Z or 0xC0..0xDF first, then 0x20..0x7E, 0xC0..0xFF, '\n'.
const char* const kEuropean[] = {
    "Men\xFC", "Zielf\xFChrung", "\xC4ndern", "\xC9" "cran", "Donn\xE9" "es", "Stra\xDF" "e", "\xDC" "ber",
    "Zur\xFC" "ck", "L\xF6schen", "Pr\xE9" "c\xE9" "dent", "S\xE9lectionner", "Itin\xE9raire", "Arriv\xE9" "e",
    "\xC7" "a continue", "\xD6" "ffnen", "\xD1" "and\xFA", "Entfernung\nberechnen", "Destinaci\xF3n",
    "Configuraci\xF3n", "Ajustes de mapa", "Itin\xE9raire\nrecalcul\xE9", "\xC0 droite", "\xC0 gauche",
    "Stra\xDF" "enname", "Sprachausgabe", "R\xE9glages", "Volume sonore", "G\xE9n\xE9ral",
    "B\xE4" "ckerei", "Fu\xDFg\xE4nger", "Ma\xEEtre", "Ville", "Autoroute", "P\xE9" "age",
    "N\xE4" "chste Ausfahrt", "M\xFCnchen", "K\xF6ln", "Z\xFCrich", "Gen\xE8ve", "Li\xE8ge", "Malm\xF6"};

// Shift JIS (code page 932) byte strings.
const char* const kJapanese[] = {
    "\x83\x81\x83\x6A\x83\x85\x81\x5B",                          // menu
    "\x96\xDA\x93\x49\x92\x6E",                                  // destination
    "\x90\xDD\x92\xE8",                                          // settings
    "\x83\x8B\x81\x5B\x83\x67\x88\xC4\x93\xE0",                  // route guidance
    "\x8E\xA9\x91\xEE",                                          // home
    "\x92\x6E\x90\x7D",                                          // map
    "\x89\xB9\x97\xCA",                                          // volume
    "\x8C\x9F\x8D\xF5",                                          // search
    "\x8C\xBB\x8D\xDD\x92\x6E",                                  // current position
    "\x93\x6F\x98\x5E",                                          // register
    "\x8D\xED\x8F\x9C",                                          // delete
    "\x82\xCD\x82\xA2",                                          // yes
    "\x82\xA2\x82\xA2\x82\xA6",                                  // no
    "\x96\xDF\x82\xE9",                                          // back
    "\x8C\xF0\x8D\xB7\x93\x5F",                                  // intersection
    "\x8D\x82\x91\xAC\x93\xB9\x98\x48",                          // expressway
    "\x8F\x61\x91\xD8\x8F\xEE\x95\xF1",                          // traffic information
    "1km\x90\xE6\x82\xF0\x89\x45\x95\xFB\x8C\xFC\x82\xC5\x82\xB7",  // in 1 km to the right
    "\x88\xC4\x93\xE0\x82\xF0\x8A\x4A\x8E\x6E\x82\xB5\x82\xDC\x82\xB7",  // guidance starts
    "\xD2\xC6\xAD\xB0",                                          // menu, half-width katakana
    "\x8E\xFC\x95\xD3\x8E\x7B\x90\xDD",                          // nearby facilities
    "\x93\x64\x98\x62\x94\xD4\x8D\x86",                          // phone number
    "\x8F\x5A\x8F\x8A",                                          // address
    "\x83\x57\x83\x83\x83\x93\x83\x8B",                          // genre
    "\x91\x53\x83\x8B\x81\x5B\x83\x67\x95\x5C\x8E\xA6",          // whole route
    "\x8D\xC4\x92\x54\x8D\xF5",                                  // search again
    "\x93\x9E\x92\x85\x97\x5C\x91\x7A\x8E\x9E\x8D\x8F",          // estimated arrival
    "500m\x90\xE6",                                              // 500 m ahead
    "\x96\xDA\x93\x49\x92\x6E\x8E\xFC\x95\xD3\x82\xC5\x82\xB7",  // near the destination
    "\x95\x5C\x8E\xA6\x90\xD8\x91\xD6",                          // switch display
    "\x8C\xBB\x8D\xDD\x92\x6E\n\x96\xDA\x93\x49\x92\x6E",        // two lines
    "VICS\x8F\xEE\x95\xF1"};                                     // VICS information

// Texts the unit's program passes to printf, as firmware holds them: the
// translation of each must keep its directives.
const char* const kFirmware[] = {
    "Version %s of %d", "ETA %02d:%02d", "Distance %d km", "Speed %3d km/h", "Remaining\n%d km %d m",
    "Battery %d%%", "Track %1$d of %2$d", "Firmware %s\nBuild %04X", "Lane %c", "Error %ld at 0x%08lX"};

const char* const kEuropeanFirmware[] = {"Entfernung %d km", "Ankunft %02d:%02d", "Geschwindigkeit\n%3d km/h",
                                         "Signal\x7Fverloren", "Piste %1$d sur %2$d"};

template <size_t N>
std::vector<SampleString> FromList(const char* const (&list)[N], size_t n, uint32_t seed,
                                   std::string (*extra)(size_t, Rng&)) {
  Rng rng(seed);
  std::vector<size_t> order(N);
  for (size_t i = 0; i < N; ++i) order[i] = i;
  rng.Shuffle(order);
  std::vector<SampleString> out;
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    SampleString s;
    s.bytes = i < N ? std::string(list[order[i]]) : extra(i, rng);
    // A few strings are shared by several pointers.
    const uint32_t r = rng.Below(24);
    s.pointers = r == 0 ? 3 : (r < 3 ? 2 : 1);
    out.push_back(std::move(s));
  }
  return out;
}

std::string EnglishExtra(size_t i, Rng& rng) {
  std::string s = kEnglishFirst[rng.Below(std::size(kEnglishFirst))];
  s += ' ';
  s += kEnglishSecond[rng.Below(std::size(kEnglishSecond))];
  s += ' ';
  s += std::to_string(i);
  return s;
}

std::string EuropeanExtra(size_t i, Rng& rng) {
  std::string s = kEuropean[rng.Below(std::size(kEuropean))];
  s += ' ';
  s += std::to_string(i);
  return s;
}

std::string JapaneseExtra(size_t i, Rng& rng) {
  std::string s = kJapanese[rng.Below(std::size(kJapanese))];
  s += std::to_string(i);
  return s;
}

}  // namespace

std::vector<SampleString> EnglishMenuTexts(size_t n, uint32_t seed) { return FromList(kEnglish, n, seed, EnglishExtra); }
std::vector<SampleString> EuropeanTexts(size_t n, uint32_t seed) { return FromList(kEuropean, n, seed, EuropeanExtra); }
std::vector<SampleString> JapaneseTexts(size_t n, uint32_t seed) { return FromList(kJapanese, n, seed, JapaneseExtra); }

std::vector<SampleString> EuropeanFirmwareTexts() {
  std::vector<SampleString> out;
  for (const char* text : kEuropeanFirmware) out.push_back({text, 1});
  return out;
}

SampleUnit MakeDemoUnit() {
  UnitRecipe desc;
  desc.tag = "APM";
  desc.strings = EnglishMenuTexts(48, 7);
  desc.order = Order::Packed;
  desc.moreTables.push_back({EnglishMenuTexts(12, 11), Order::Reversed});
  std::vector<SampleString> firmware;
  for (const char* text : kFirmware) firmware.push_back({text, 1});
  desc.moreTables.push_back({firmware, Order::Packed});
  desc.codeWordsBefore = 512;
  desc.minSize = 16 * 1024;
  desc.seed = 7;
  return MakeUnit(desc);
}

std::vector<uint8_t> MakeDemoApmUnit() { return MakeDemoUnit().bytes; }

SampleUnit MakeBenchUnit(size_t bytes, size_t phrases, uint32_t seed) {
  return MakeUnit(BenchUnitRecipe(bytes, phrases, seed));
}

UnitRecipe BenchUnitRecipe(size_t bytes, size_t phrases, uint32_t seed) {
  Rng rng(seed);
  UnitRecipe desc;
  desc.tag = "APM";
  desc.seed = seed;
  // Code fills the unit up to its string tables, which come last (about 40
  // bytes a phrase with its pointers), so a scan crosses the whole unit
  // before it meets the texts.
  const size_t tables = phrases * 40 + 8192;
  desc.codeWordsBefore = std::max<size_t>(4096, bytes > tables ? (bytes - tables) / 4 : 0);
  desc.minSize = bytes;
  desc.strings.reserve(phrases);
  std::string text;
  for (size_t i = 0; i < phrases; ++i) {
    text = kEnglishFirst[rng.Below(std::size(kEnglishFirst))];
    text += ' ';
    text += kEnglishSecond[rng.Below(std::size(kEnglishSecond))];
    text += ' ';
    text += std::to_string(i);
    desc.strings.push_back({text, rng.Below(10) == 0 ? 2 : 1});
  }
  return desc;
}

}  // namespace velmora::sample
