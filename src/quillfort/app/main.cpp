#include "app/FirstFrameReport.h"
#include "editor/frmBriefing.h"
#include "platform/QtDialogs.h"

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
