// Start-up: the editor window's construction and first paint against an empty
// QWidget of the same size, each from a cold picture cache.
#include "BenchUtil.h"

#include "editor/frmBriefing.h"
#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <QPixmapCache>

namespace {

// Start-up asks nothing.
struct NoDialogs final : Dialogs {
  int messageBox(const QString&, int, const QString&) override { return MsgAnswer::OK; }
  std::optional<QString> inputBox(const QString&, const QString&, const QString&) override { return {}; }
  std::optional<QString> showOpen(const FileDialogSettings&) override { return {}; }
  std::optional<QString> showSave(const FileDialogSettings&) override { return {}; }
};

template <class MakeWindow> double showAndPaint(MakeWindow make) {
  return bench::bestNs(
      [&] {
        QPixmapCache::clear();
        auto window = make();
        window->show();
        window->repaint();
        QCoreApplication::processEvents();
        bench::keep(window);
      },
      20, 0.5);
}

} // namespace

void benchStartup() {
  NoDialogs dialogs;
  const double empty = showAndPaint([] {
    auto w = std::make_unique<QWidget>();
    w->setFixedSize(1101, 621);
    return w;
  });
  const double editor = showAndPaint([&] { return std::make_unique<frmBriefing>(dialogs); });
  bench::report("editor window: construct, show, first paint", editor, "empty QWidget", empty);
}
