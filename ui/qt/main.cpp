// Velmora: the desktop program.
#include <QApplication>
#include <QIcon>
#include <iostream>
#include <string>
#include <vector>

#include "analysis/PhraseTable.h"
#include "container/io/MappedFileFault.h"
#include "ui/logic/startup/StartupOptions.h"
#include "ui/qt/MainForm.h"

int main(int argc, char** argv) {
  // --help and --version need no display.
  if (const auto text = velmora::ui::StartupInfoText({argv + 1, argv + argc})) {
    std::cout << *text;
    return 0;
  }
  velmora::InstallMappedFileFaultHandler("velmora");
  QApplication app(argc, argv);  // takes Qt's own options out of argv
  QApplication::setApplicationName("Velmora");
  // Ties the window to the installed menu entry (its icon on Wayland), and
  // takes the installed icon, or the logo when run from the build folder.
  QGuiApplication::setDesktopFileName("velmora");
  QApplication::setWindowIcon(QIcon::fromTheme("velmora", QIcon(":/art/logo.png")));
  std::vector<std::string> args(argv + 1, argv + argc);

  // The one phrase table of the process, created empty before the window.
  velmora::PhraseTable table;
  velmora::ui::TMainForm form(table, std::move(args));
  form.show();
  return app.exec();
}
