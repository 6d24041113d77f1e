#include "gui/app/FirstFrameReport.h"
#include "gui/editor/frmBriefing.h"
#include "gui/platform/QtDialogs.h"

#include <QApplication>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QtDialogs dialogs;
  frmBriefing window(dialogs);
  dialogs.setParent(&window);
  first_frame::reportWhenPainted(&window);
  window.show();
  window.openCommandLine(QCoreApplication::arguments());
  return app.exec();
}
