// The start-up floor: a bare QWidget of the editor window's size, built and
// started like the editor.
#include "gui/app/FirstFrameReport.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setFixedSize(1101, 621);
  first_frame::reportWhenPainted(&window);
  window.show();
  return app.exec();
}
