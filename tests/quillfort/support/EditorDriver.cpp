#include "support/EditorDriver.h"

#include <QHash>

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

void EditorDriver::open(const QString& path, bool failing) {
  dialogs.answerOpen(path);
  if (failing)
    dialogs.answerMessage(MsgAnswer::OK);
  click("cmdOpen");
}

void EditorDriver::run(const QString& steps) {
  static const QHash<QString, const char*> buttons = {
      {"cur", "cmdCurTask"}, {"side", "cmdSide"}, {"up", "cmdUp"}, {"down", "cmdDown"}};
  for (const QString& step : steps.split(QStringLiteral("; "))) {
    const qsizetype blank = step.indexOf(QLatin1Char(' '));
    const QString verb = step.left(blank), arg = blank < 0 ? QString() : step.mid(blank + 1);
    const bool notes = !list("lstTasks")->isVisible();
    const char *listName = notes ? "lstNotes" : "lstTasks", *boxName = notes ? "txtNotes" : "txtTasks";
    if (verb == "tasks" || verb == "notes")
      showPage(verb == "notes");
    else if (verb == "new")
      create(arg);
    else if (verb == "add")
      addEntries(listName, arg.split(QLatin1Char(',')));
    else if (verb == "pick")
      selectRow(listName, arg.toInt());
    else if (verb == "type")
      type(boxName, arg);
    else if (verb == "sel")
      selectText(boxName, arg.section(' ', 0, 0).toInt(), arg.section(' ', 1, 1).toInt());
    else if (verb == "del" || verb == "clear")
      confirm(verb == "del" ? "cmdDel" : "cmdClear", MsgAnswer::Yes);
    else if (verb == "marker" && arg.isEmpty())
      confirm("cmdMarker", MsgAnswer::OK);
    else if (verb == "marker" || verb == "pic" || verb == "rename") {
      dialogs.answerInput(arg);
      click(verb == "pic" ? "cmdPic" : verb == "rename" ? "cmdEdit" : "cmdMarker");
    } else if (verb == "no") {
      const bool input = arg == "cmdAdd" || arg == "cmdEdit" || arg == "cmdPic";
      input ? dialogs.answerInput({}) : dialogs.answerMessage(MsgAnswer::No);
      click(qPrintable(arg));
    } else if (verb == "open")
      open(arg);
    else if (buttons.contains(verb))
      click(buttons.value(verb));
    else
      QTest::qFail(qPrintable("no such step: " + step), __FILE__, __LINE__);
  }
}

QString EditorDriver::state(const QString& want) const {
  const bool tasksShown = list("lstTasks")->isVisible();
  QStringList fields;
  for (const QString& field : want.split(QStringLiteral(" | "))) {
    const QString key = field.section(QLatin1Char(':'), 0, 0);
    QStringList value;
    if (key == "T" || key == "N") {
      const QListWidget* l = list(key == "T" ? "lstTasks" : "lstNotes");
      for (int i = 0; i < l->count(); ++i)
        value << l->item(i)->text() + l->item(i)->data(Qt::UserRole).toString() +
                     (i == l->currentRow() ? "*" : "");
    } else if (key == "on") {
      for (const char* name : {"cmdEdit", "cmdDel", "cmdCurTask", "txtTasks", "txtNotes"})
        if (window.findChild<QWidget*>(QLatin1String(name))->isEnabled())
          value << QLatin1String(name);
    } else if (key == "counts") {
      for (int n : {window.taskSlotCount, window.noteSlotCount, window.lastTaskIndex, window.lastNoteIndex})
        value << QString::number(n);
    } else if (key == "asked") {
      if (!dialogs.requests.isEmpty())
        value << lastAsked().prompt << lastAsked().title << QString::number(lastAsked().style)
              << lastAsked().defaultText;
    } else {
      value << (key == "box"        ? boxShows(tasksShown ? "txtTasks" : "txtNotes")
                : key == "cur"      ? find<QLabel>(window, "lblCurTask")->text()
                : key == "side"     ? button("cmdSide")->text()
                : key == "page"     ? (tasksShown ? "Tasks" : "Notes")
                : key == "taskText" ? window.taskText.join(',')
                : key == "noteText" ? window.noteText.join(',')
                : key == "caption"  ? window.windowTitle()
                                    : "no such field");
    }
    fields << key + ":" + value.join(key == "on" ? ' ' : key == "asked" ? '|' : ',');
  }
  return fields.join(QStringLiteral(" | "));
}

QStringList EditorDriver::titles(const char* name) const {
  QStringList out;
  for (int i = 0; i < list(name)->count(); ++i)
    out << list(name)->item(i)->text();
  return out;
}
