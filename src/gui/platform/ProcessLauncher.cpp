#include "gui/platform/ProcessLauncher.h"

#include <QProcess>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace {
ProcessLauncher* g_instance = nullptr;
} // namespace

ProcessLauncher& ProcessLauncher::instance() {
  static SystemProcessLauncher system;
  return g_instance ? *g_instance : system;
}

void ProcessLauncher::setInstance(ProcessLauncher* launcher) { g_instance = launcher; }

bool SystemProcessLauncher::start(const QString& path) {
  if (path.isEmpty())
    return false;
  QProcess process;
  process.setProgram(path);
#ifdef Q_OS_WIN
  // A normal window, as a user starting it would get.
  process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* args) {
    args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
    args->startupInfo->wShowWindow = SW_SHOWNORMAL;
  });
#endif
  return process.startDetached();
}
