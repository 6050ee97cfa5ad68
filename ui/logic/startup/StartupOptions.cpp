#include "ui/logic/startup/StartupOptions.h"

#include "velmora/Version.h"

namespace velmora::ui {

namespace {

const char* const kHelp =
    "Usage: velmora [FILE]\n"
    "  or:  velmora --help | --version\n"
    "\n"
    "Velmora translates the texts built into the loader of a car-navigation disc:\n"
    "the KIWI file LOADING.KWI, or one loading unit saved on its own as a .BIN\n"
    "file. The window starts with Russian captions; the Language menu switches\n"
    "to English.\n"
    "\n"
    "All arguments are joined with single blanks into one path, so a path with\n"
    "blanks may come in pieces. When that path names an existing file:\n"
    "  NAME.vmprj    the project is opened (the extension in small letters)\n"
    "  LOADING.KWI   a new project is made from one of its units: the Create\n"
    "                New Project dialog offers its modules and units\n"
    "  NAME.BIN      a new project is made from this loading unit: the Create\n"
    "                New Project dialog asks for the analysis options\n"
    "Anything else is ignored and the window opens empty. LOADING.KWI and .BIN\n"
    "may be written in small or capital letters.\n"
    "\n"
    "Options:\n"
    "  -h, --help    show this help and exit\n"
    "  --version     show the version and exit\n"
    "\n"
    "The window system's options (-platform NAME, -style NAME, ...) are those of\n"
    "Qt.\n";

}  // namespace

std::optional<std::string> StartupInfoText(const std::vector<std::string>& args) {
  if (args.size() != 1) return std::nullopt;
  if (args[0] == "-h" || args[0] == "--help") return std::string(kHelp);
  if (args[0] == "--version") return std::string("velmora ") + kVersion + "\n";
  return std::nullopt;
}

}  // namespace velmora::ui
