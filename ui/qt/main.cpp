// Velmora: the desktop program.
#include <QApplication>
#include <string>
#include <vector>

#include "analysis/PhraseTable.h"
#include "ui/qt/MainForm.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);  // takes Qt's own options out of argv
  QApplication::setApplicationName("Velmora");
  std::vector<std::string> args(argv + 1, argv + argc);

  // The one phrase table of the process, created empty before the window.
  velmora::PhraseTable table;
  velmora::ui::TMainForm form(table, std::move(args));
  form.show();
  return app.exec();
}
