// The second start-up floor: a window of the editor window's size holding one
// captioned button, which pays for the first text laid out in a widget font.
#include "gui/app/FirstFrameReport.h"

#include <QApplication>
#include <QPushButton>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setFixedSize(1101, 621);
  QPushButton button(QStringLiteral("&Create"), &window);
  button.setGeometry(8, 8, 89, 25);
  first_frame::reportWhenPainted(&window);
  window.show();
  return app.exec();
}
