// The editing commands on texts of 1 KB to 1 MB, each against the least a
// QPlainTextEdit has to do for the same change.
#include "BenchEditor.h"
#include "support/Bench.h"
#include "support/Texts.h"

#include <QTextCursor>
#include <QTextDocument>

#include <memory>

namespace {

const QString kMarkerName = QStringLiteral("obj1");
const QString kPicture = QStringLiteral("pic.paa");

// A bare text box of the editor's box's size and font, shown.
struct BareBox {
  QPlainTextEdit edit;
  explicit BareBox(const QPlainTextEdit* like) {
    edit.setFont(like->font());
    edit.resize(like->size());
    edit.show();
    QApplication::processEvents();
  }
};

// Selects `length` characters from the middle of the box's text.
int selectMiddle(QPlainTextEdit* box, int length) {
  QTextCursor c(box->document());
  const int s = (box->document()->characterCount() - 1) / 2;
  c.setPosition(s);
  c.setPosition(s + length, QTextCursor::KeepAnchor);
  box->setTextCursor(c);
  return s;
}

// One task holding a text of `size`, and a bare box holding the same, both
// set back to it (untimed) before each sample.
struct InsertFixture {
  bench::BenchEditor editor;
  QString text;
  std::unique_ptr<BareBox> bare;

  explicit InsertFixture(std::size_t size) {
    text = QString::fromStdU16String(bench::briefingText(size, 3))
               .replace(QLatin1String("\r\n"), QLatin1String("\n"));
    editor.addTask(QStringLiteral("Hold the bridge"), text);
    editor.show();
    bare = std::make_unique<BareBox>(editor.taskBox());
  }
  int reset(QPlainTextEdit* box) {
    box->setPlainText(text);
    const int s = selectMiddle(box, 7);
    QApplication::processEvents();
    return s;
  }
};

bench::Samplers marker(std::size_t size) {
  auto f = std::make_shared<InsertFixture>(size);
  return {[f] {
            const int s = f->reset(&f->bare->edit);
            return bench::timeNs([&] {
              QTextCursor c(f->bare->edit.document());
              c.beginEditBlock();
              c.setPosition(s + 7);
              c.insertText(QStringLiteral("</marker>"));
              c.setPosition(s);
              c.insertText(QStringLiteral("<marker name='") + kMarkerName + QStringLiteral("'>"));
              c.endEditBlock();
            });
          },
          [f] {
            f->reset(f->editor.taskBox());
            f->editor.dialogs.answers.push_back(kMarkerName);
            return bench::timeNs([&] { f->editor.button("cmdMarker")->click(); });
          }};
}

bench::Samplers picture(std::size_t size) {
  auto f = std::make_shared<InsertFixture>(size);
  return {[f] {
            const int s = f->reset(&f->bare->edit);
            return bench::timeNs([&] {
              QTextCursor c(f->bare->edit.document());
              c.setPosition(s);
              c.insertText(QStringLiteral("<img image='") + kPicture +
                           QStringLiteral("' width='200' height='200'/>"));
            });
          },
          [f] {
            f->reset(f->editor.taskBox());
            f->editor.dialogs.answers.push_back(kPicture);
            return bench::timeNs([&] { f->editor.button("cmdPic")->click(); });
          }};
}

// Two tasks of `size` each; the editor's selection goes back and forth between
// them, and a bare box swaps the same two texts: it keeps the outgoing text
// and shows the incoming one.
struct SwapFixture {
  bench::BenchEditor editor;
  std::unique_ptr<BareBox> bare;
  QString bareTexts[2];
  int bareCurrent = 0;

  explicit SwapFixture(std::size_t size) {
    for (int i = 0; i < 2; ++i) {
      const QString text = QString::fromStdU16String(bench::briefingText(size, i));
      editor.addTask(QStringLiteral("Task %1").arg(i), text);
      bareTexts[i] = QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    }
    editor.show();
    bare = std::make_unique<BareBox>(editor.taskBox());
    bare->edit.setPlainText(bareTexts[0]);
  }
};

bench::Samplers selectionChange(std::size_t size) {
  auto f = std::make_shared<SwapFixture>(size);
  return {[f] {
            QApplication::processEvents();
            return bench::timeNs([&] {
              f->bareTexts[f->bareCurrent] = f->bare->edit.toPlainText();
              f->bareCurrent = 1 - f->bareCurrent;
              f->bare->edit.setPlainText(f->bareTexts[f->bareCurrent]);
            });
          },
          [f] {
            QApplication::processEvents();
            QListWidget* list = f->editor.tasks();
            const int other = 1 - list->currentRow();
            return bench::timeNs([&] { list->setCurrentRow(other); });
          }};
}

} // namespace

BENCH_ROW("editing", "insert marker, 1 KB text", "the same tags put in by a text cursor", bench::msAtMost(1),
          [] { return marker(bench::KB); });
BENCH_ROW("editing", "insert marker, 32 KB text", "the same tags put in by a text cursor", bench::msAtMost(1),
          [] { return marker(32 * bench::KB); });
BENCH_ROW("editing", "insert marker, 1 MB text", "the same tags put in by a text cursor", bench::msAtMost(1),
          [] { return marker(bench::MB); });
BENCH_ROW("editing", "insert picture, 1 KB text", "the same tag put in by a text cursor", bench::msAtMost(1),
          [] { return picture(bench::KB); });
BENCH_ROW("editing", "insert picture, 32 KB text", "the same tag put in by a text cursor", bench::msAtMost(1),
          [] { return picture(32 * bench::KB); });
BENCH_ROW("editing", "insert picture, 1 MB text", "the same tag put in by a text cursor", bench::msAtMost(1),
          [] { return picture(bench::MB); });
BENCH_ROW("editing", "selection change, two 1 KB texts", "a bare QPlainTextEdit swapping them",
          bench::msAtMost(16), [] { return selectionChange(bench::KB); });
BENCH_ROW("editing", "selection change, two 32 KB texts", "a bare QPlainTextEdit swapping them",
          bench::msAtMost(16), [] { return selectionChange(32 * bench::KB); });
BENCH_ROW("editing", "selection change, two 256 KB texts", "a bare QPlainTextEdit swapping them",
          bench::msAtMost(16), [] { return selectionChange(256 * bench::KB); });
BENCH_ROW(
    "editing", "selection change, two 1 MB texts", "a bare QPlainTextEdit swapping them",
    bench::ratioAtMost(1.0), [] { return selectionChange(bench::MB); }, 21);
