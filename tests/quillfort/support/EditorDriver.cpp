#include "support/EditorDriver.h"

namespace {
template <class T> T* find(const QWidget& window, const char* name) {
  auto* widget = window.findChild<T*>(QLatin1String(name));
  if (!widget)
    QTest::qFail(qPrintable(QStringLiteral("no control named %1").arg(QLatin1String(name))), __FILE__,
                 __LINE__);
  return widget;
}
} // namespace

EditorDriver::EditorDriver() {
  window.show();
  if (!QTest::qWaitForWindowExposed(&window))
    QTest::qFail("the editor window did not show", __FILE__, __LINE__);
}

QPushButton* EditorDriver::button(const char* name) const { return find<QPushButton>(window, name); }
QListWidget* EditorDriver::list(const char* name) const { return find<QListWidget>(window, name); }
QPlainTextEdit* EditorDriver::box(const char* name) const { return find<QPlainTextEdit>(window, name); }

void EditorDriver::click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }

void EditorDriver::create(const QString& title) {
  dialogs.answerInput(title);
  click("cmdAdd");
}

void EditorDriver::rename(const QString& title) {
  dialogs.answerInput(title);
  click("cmdEdit");
}

void EditorDriver::showPage(int row) { selectRow("lstBriefing", row); }

void EditorDriver::selectRow(const char* name, int row) {
  QListWidget* l = list(name);
  QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(row)).center());
}

void EditorDriver::type(const char* name, const QString& text) {
  QTest::keyClick(box(name), Qt::Key_End, Qt::ControlModifier);
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (i)
      QTest::keyClick(box(name), Qt::Key_Return);
    QTest::keyClicks(box(name), lines[i]);
  }
}

void EditorDriver::selectText(const char* name, int start, int length) {
  QPlainTextEdit* b = box(name);
  QTest::keyClick(b, Qt::Key_Home, Qt::ControlModifier);
  for (int i = 0; i < start; ++i)
    QTest::keyClick(b, Qt::Key_Right);
  for (int i = 0; i < length; ++i)
    QTest::keyClick(b, Qt::Key_Right, Qt::ShiftModifier);
}

void EditorDriver::addEntries(const char* listName, const QStringList& titles) {
  const char* boxName = list(listName) == list("lstTasks") ? "txtTasks" : "txtNotes";
  for (const QString& title : titles) {
    create(title);
    selectRow(listName, list(listName)->count() - 1);
    type(boxName, title.toLower() + QStringLiteral(" text"));
  }
}

void EditorDriver::confirm(const char* name, int answer) {
  dialogs.answerMessage(answer);
  click(name);
}

void EditorDriver::open(const QString& path, bool failing) {
  dialogs.answerOpen(path);
  if (failing)
    dialogs.answerMessage(MsgAnswer::OK);
  click("cmdOpen");
}

QString EditorDriver::curTask() const { return find<QLabel>(window, "lblCurTask")->text(); }

QStringList EditorDriver::titles(const char* name) const {
  QStringList out;
  for (int i = 0; i < list(name)->count(); ++i)
    out << list(name)->item(i)->text();
  return out;
}

QList<int> EditorDriver::slotsOf(const char* name) const {
  QList<int> out;
  for (int i = 0; i < list(name)->count(); ++i)
    out << list(name)->item(i)->data(Qt::UserRole).toInt();
  return out;
}

bool EditorDriver::enabledAre(std::initializer_list<const char*> names, bool enabled) const {
  for (const char* name : names) {
    auto* widget = find<QWidget>(window, name);
    if (!widget || widget->isEnabled() != enabled) {
      qWarning("%s is %s", name, enabled ? "disabled" : "enabled");
      return false;
    }
  }
  return true;
}
