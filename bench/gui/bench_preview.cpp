// The preview window's live update: after a keystroke in the editor, the
// preview brings its lists, text and findings up to date. Against a bare
// QTextDocument::setHtml of the same entry's HTML, and the keystroke as a
// whole against the same keystroke with no preview open.
#include "BenchEditor.h"
#include "support/Bench.h"
#include "support/Scripts.h"
#include "support/Texts.h"

#include "gui/preview/StructuredTextHtml.h"
#include "gui/preview/frmPreview.h"

#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <memory>

namespace {

// An editor holding either the largest script the reader takes (opened from
// a file) or one task of a large text; its last task selected, the preview
// open or not.
struct PreviewFixture {
  QTemporaryDir dir;
  bench::BenchEditor editor;
  frmPreview* preview = nullptr;
  QTextDocument bare;
  bool grow = true;

  PreviewFixture(std::size_t textSize, bool withPreview) {
    if (textSize == 0) {
      editor.dialogs.path = dir.filePath(QStringLiteral("briefing.sqf"));
      const std::string script = bench::largestReadableScript();
      QFile f(editor.dialogs.path);
      if (!f.open(QIODevice::WriteOnly) || f.write(script.data(), qint64(script.size())) < 0)
        std::fprintf(stderr, "bench: cannot write %s\n", qPrintable(editor.dialogs.path));
      f.close();
      editor.button("cmdOpen")->click();
    } else {
      editor.addTask(QStringLiteral("Hold the bridge"),
                     QString::fromStdU16String(bench::briefingText(textSize, 1)));
    }
    editor.tasks()->setCurrentRow(editor.tasks()->count() - 1);
    editor.show();
    if (withPreview) {
      editor.window.showPreview();
      preview = editor.window.findChild<frmPreview*>();
    }
    QApplication::processEvents();
  }

  // One character typed at the end of the box, or taken away again, so that
  // the text keeps its size from sample to sample.
  void keystroke() {
    QPlainTextEdit* box = editor.taskBox();
    box->moveCursor(QTextCursor::End);
    QKeyEvent press(QEvent::KeyPress, grow ? Qt::Key_X : Qt::Key_Backspace, Qt::NoModifier,
                    grow ? QStringLiteral("x") : QString());
    QApplication::sendEvent(box, &press);
    grow = !grow;
  }
  QString selectedHtml() {
    const BriefingView view = editor.window.previewView();
    const auto& tasks = view.briefing.sides.front().tasks;
    return structuredTextToHtml(QString::fromStdU16String(tasks.at(std::size_t(view.selectedTask)).text), {}, 10);
  }
};

// The refresh alone, right after a keystroke, against setHtml of the text.
bench::Samplers refresh(std::size_t textSize) {
  auto f = std::make_shared<PreviewFixture>(textSize, true);
  return {[f] {
            f->keystroke();
            QApplication::processEvents();
            const QString html = f->selectedHtml();
            return bench::timeNs([&] { f->bare.setHtml(html); });
          },
          [f] {
            f->keystroke();
            const double ns = bench::timeNs([&] { f->preview->refresh(); });
            QApplication::processEvents();
            return ns;
          }};
}

// The keystroke with everything it sets off until the event loop is idle.
bench::Samplers keystroke(std::size_t textSize) {
  auto without = std::make_shared<PreviewFixture>(textSize, false);
  auto with = std::make_shared<PreviewFixture>(textSize, true);
  auto sample = [](const std::shared_ptr<PreviewFixture>& f) {
    return [f] {
      QApplication::processEvents();
      return bench::timeNs([&] {
        f->keystroke();
        QApplication::processEvents();
      });
    };
  };
  return {sample(without), sample(with)};
}

} // namespace

BENCH_ROW(
    "preview", "refresh after a keystroke, largest readable script",
    "QTextDocument::setHtml of the entry's text", bench::msAtMost(16), [] { return refresh(0); }, 31);
BENCH_ROW(
    "preview", "keystroke with the preview open, largest readable script", "the same keystroke, no preview",
    bench::msAtMost(16), [] { return keystroke(0); }, 31);
BENCH_ROW("preview", "refresh after a keystroke, one 1 MB text", "QTextDocument::setHtml of the text",
          bench::ratioAtMost(1.5), [] { return refresh(bench::MB); });
BENCH_ROW("preview", "keystroke with the preview open, one 1 MB text", "the same keystroke, no preview",
          bench::noGoal(), [] { return keystroke(bench::MB); });
BENCH_ROW(
    "preview", "refresh after a keystroke, one 32 KB text", "QTextDocument::setHtml of the text",
    bench::msAtMost(16), [] { return refresh(32 * bench::KB); }, 21);
