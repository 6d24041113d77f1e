// The program's dialogs as the user meets them: Qt's real message box, input
// box and file dialogs, answered by keys and clicks while they are open.
#include "gui/platform/QtDialogs.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// Answers each modal window, once it is the active one (typing into a dialog
// before that is lost), with the next action, and writes down what the
// window shows. A window with no action left, or one stuck for long, is
// closed and noted, so that a wrong turn fails the test instead of hanging it.
//   message box:  a button's caption ("Yes", "OK") or "Escape";
//   input box:    "TYPED|PASTED|Return" (or Escape), typed and pasted at the end;
//   file dialog:  "NAME" typed into the name field, then Open or Save
//                 clicked, or "Cancel".
class ModalAnswers : public QObject {
public:
  explicit ModalAnswers(QStringList actions) : m_actions(std::move(actions)) {
    connect(&m_poll, &QTimer::timeout, this, &ModalAnswers::poll);
    m_poll.start(10);
    m_stuck.start();
  }
  QStringList seen;

private:
  void poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
      return;
    if (m_stuck.hasExpired(10000) || (modal != m_last && m_actions.isEmpty())) {
      seen << "left open: " + modal->windowTitle();
      m_stuck.restart();
      return void(modal->close());
    }
    // A dialog that a box it showed hands back to is not made active again
    // on every platform; the user would click on it.
    if (modal != QApplication::activeWindow())
      return modal->activateWindow();
    if (modal == m_last)
      return;
    m_last = modal;
    m_stuck.restart();
    // Queued, so that an action that opens a further dialog does not hold
    // this timer while that one is open.
    QMetaObject::invokeMethod(
        this,
        [this, action = m_actions.takeFirst(), modal = QPointer<QWidget>(modal)] {
          modal ? act(modal, action) : void();
        },
        Qt::QueuedConnection);
  }

  void act(QWidget* window, const QString& action) {
    if (auto* box = qobject_cast<QMessageBox*>(window)) {
      static const char* const icons[] = {"no icon", "information", "warning", "critical", "question"};
      QStringList buttons;
      for (auto* button : box->buttons())
        buttons << button->text().remove('&');
      buttons.sort();
      seen << QStringList{box->windowTitle(), box->text(), icons[box->icon()], buttons.join(','),
                          box->defaultButton() ? box->defaultButton()->text().remove('&') : "no default"}
                  .join('|');
      for (auto* button : box->buttons())
        if (button->text().remove('&') == action)
          return QTest::mouseClick(button, Qt::LeftButton);
      return QTest::keyClick(box, Qt::Key_Escape);
    }
    if (auto* input = qobject_cast<QInputDialog*>(window)) {
      auto* edit = input->findChild<QLineEdit*>();
      seen << input->labelText() + '|' + input->windowTitle() + '|' + edit->text();
      QTest::keyClick(edit, Qt::Key_End);
      QTest::keyClicks(edit, action.section('|', 0, 0));
      QGuiApplication::clipboard()->setText(action.section('|', 1, 1));
      QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
      return QTest::keyClick(edit, action.endsWith("Escape") ? Qt::Key_Escape : Qt::Key_Return);
    }
    if (auto* list = window->findChild<QListWidget*>(QStringLiteral("lstChoices"))) {
      QStringList items;
      for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
      seen << window->windowTitle() + '|' + window->findChild<QLabel*>()->text() + '|' + items.join(',');
      for (const QString& key : action.split(' '))
        QTest::keyClick(list, key == "Down"     ? Qt::Key_Down
                              : key == "Escape" ? Qt::Key_Escape
                                                : Qt::Key_Return);
      return;
    }
    auto* dialog = qobject_cast<QFileDialog*>(window);
    auto* name = window->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    auto* buttons = window->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QVERIFY2(dialog && name && buttons, qPrintable("an unknown window: " + window->windowTitle()));
    seen << QStringList{dialog->windowTitle(),
                        dialog->nameFilters().join(";;"),
                        dialog->selectedNameFilter(),
                        dialog->directory().path(),
                        name->text(),
                        dialog->testOption(QFileDialog::DontUseNativeDialog) ? "Qt's own" : "native"}
                .join('|');
    if (action == "Cancel")
      return QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    // Into the name field, over whatever it holds, as a user types.
    QTest::mouseClick(name, Qt::LeftButton);
    QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(name, action);
    if (name->completer() && name->completer()->popup()->isVisible())
      QTest::keyClick(name->completer()->popup(), Qt::Key_Escape);
    QTest::mouseClick(buttons->button(dialog->acceptMode() == QFileDialog::AcceptSave
                                          ? QDialogButtonBox::Save
                                          : QDialogButtonBox::Open),
                      Qt::LeftButton);
  }

  QStringList m_actions;
  QTimer m_poll;
  QWidget* m_last = nullptr;
  QElapsedTimer m_stuck;
};

} // namespace

class tst_dialogs : public QObject {
  Q_OBJECT
  QTemporaryDir dir;

private slots:
  // Buttons, icon, default button and title as the style asks; CR LF shows
  // as a line break; the button pressed comes back as its number.
  void messageBox() {
    using namespace MsgStyle;
    const struct {
      int style;
      const char* press;
      const char* shown; // icon|buttons|default
      const char* answer;
    } rows[] = {
        {OKOnly, "OK", "no icon|OK|OK", "OK"},
        {OKOnly | Critical, "OK", "critical|OK|OK", "OK"}, // Open Error
        {YesNo | Question, "Yes", "question|No,Yes|Yes", "Yes"},
        {YesNo | Question, "No", "question|No,Yes|Yes", "No"}, // Delete
        {YesNo | Question, "Escape", "question|No,Yes|Yes", "No"},
        {OKOnly | Information, "OK", "information|OK|OK", "OK"},
        {OKCancel | Exclamation, "Escape", "warning|Cancel,OK|OK", "Cancel"},
        {YesNoCancel | DefaultButton2, "Cancel", "no icon|Cancel,No,Yes|No", "Cancel"},
    };
    for (const auto& [style, press, shown, answer] : rows) {
      ModalAnswers answers({press});
      const int got = QtDialogs().messageBox("First line\r\nsecond line", style, "Title");
      const QString name = got == MsgAnswer::OK       ? "OK"
                           : got == MsgAnswer::Yes    ? "Yes"
                           : got == MsgAnswer::No     ? "No"
                           : got == MsgAnswer::Cancel ? "Cancel"
                                                      : QString::number(got);
      QCOMPARE(answers.seen.join('#') + " -> " + name,
               "Title|First line\nsecond line|" + QString(shown) + " -> " + answer);
    }
  }

  // The prompt, title and default text shown; a pasted text keeps only its
  // first line, as a single-line box does; Cancel gives no value.
  void inputBox() {
    const char* const rows[][3] = {
        // default text, typed|pasted|key, result ("-" for none)
        {"", "Take the bridge||Return", "Take the bridge"},
        {"Old title", "||Return", "Old title"},
        {"", "|first\r\nsecond|Return", "first"},
        {"Hold ", "|fast\nand\nlong|Return", "Hold fast"},
        {"", "A|b\rc|Return", "Ab"},
        {"Keep", "|\r\nlost|Return", "Keep"},
        {"Old title", "x||Escape", "-"},
    };
    for (const auto& [defaultText, action, result] : rows) {
      ModalAnswers answers({action});
      const auto answer = QtDialogs().inputBox("Enter the task\r\nto create:", "New Task", defaultText);
      QCOMPARE(answers.seen.join('#') + " -> " + answer.value_or("-"),
               "Enter the task\nto create:|New Task|" + QString(defaultText) + " -> " + result);
    }
  }

  // A list to choose one line from, by keys: the first is chosen to begin
  // with, Return takes the chosen line, Escape none.
  void chooseOne() {
    const struct {
      const char* keys;
      const char* chosen;
    } rows[] = {{"Return", "0"}, {"Down Return", "1"}, {"Down Down Return", "1"}, {"Down Escape", "none"}};
    for (const auto& [keys, chosen] : rows) {
      ModalAnswers answers({keys});
      const auto got = QtDialogs().chooseOne("Which one?\r\nThe newest first.", "Recover", {"new", "old"});
      QCOMPARE(answers.seen.join('#') + " -> " + (got ? QString::number(*got) : "none"),
               "Recover|Which one?\nThe newest first.|new,old -> " + QString(chosen));
    }
  }

  // Qt's own dialog on every platform, each time it shows: its title, both
  // filters with the first in force, the folder given, no name proposed.
  // Then what it asks on the way and the full path it gives back.
  void fileDialogs_data() {
    QVERIFY(QFile(dir.filePath("old.sqf")).open(QIODevice::WriteOnly));
    QVERIFY(QFile::copy(dir.filePath("old.sqf"), dir.filePath("locked.sqf")));
    QVERIFY(QFile::setPermissions(dir.filePath("locked.sqf"), QFile::ReadOwner));
    using namespace FileDialogFlag;
    QTest::addColumn<QString>("dialog");      // "Open" or "Save"
    QTest::addColumn<int>("flags");           // what the command asks of it
    QTest::addColumn<QStringList>("actions"); // names typed and buttons pressed, in turn
    QTest::addColumn<QString>("chosen");      // what it gives back, in the folder; none: Cancel
    QTest::addColumn<QStringList>("boxes");   // what it asks on the way: title|text|icon|buttons|default
    const QString replace = "Save As|%1 already exists.\nDo you want to replace it?|warning|No,Yes|No",
                  missing = "Save As|%1/missing/new.sqf\nPath does not exist.\nCheck the path and try again."
                            "|warning|OK|OK";
    const int saveFlags = OverwritePrompt | PathMustExist; // the Save command's
    const struct {
      const char* name;
      const char* dialog;
      int flags;
      QStringList actions;
      QString chosen;
      QStringList boxes;
    } rows[] = {
        {"open: a file", "Open", HideReadOnly, {"old.sqf"}, "old.sqf", {}},
        {"open: a missing folder is taken", "Open", HideReadOnly, {"missing/new.sqf"}, "missing/new.sqf", {}},
        {"open: Cancel", "Open", HideReadOnly, {"Cancel"}, "", {}},
        {"save: no extension added", "Save", saveFlags, {"mission"}, "mission", {}},
        {"save: replace, Yes", "Save", saveFlags, {"old.sqf", "Yes"}, "old.sqf", {replace.arg("old.sqf")}},
        {"save: replace, No", "Save", saveFlags, {"old.sqf", "No", "Cancel"}, "", {replace.arg("old.sqf")}},
        {"save: no prompt without the flag", "Save", PathMustExist, {"old.sqf"}, "old.sqf", {}},
        {"save: read-only file", "Save", saveFlags, {"locked.sqf", "Yes"}, "locked.sqf",
         {replace.arg("locked.sqf")}},
        {"save: missing folder refused", "Save", saveFlags, {"missing/new.sqf", "OK", "new.sqf"}, "new.sqf",
         {missing}},
        {"save: missing folder, no flag", "Save", OverwritePrompt, {"missing/new.sqf"}, "missing/new.sqf",
         {}},
    };
    for (const auto& [name, dialog, flags, actions, chosen, boxes] : rows)
      QTest::newRow(name) << QString(dialog) << flags << actions << chosen << boxes;
  }
  void fileDialogs() {
    QFETCH(QString, dialog);
    const bool save = dialog == "Save";
    QFETCH(int, flags);
    QFETCH(QStringList, actions);
    QFETCH(QString, chosen);
    QFETCH(QStringList, boxes);
#ifdef Q_OS_WIN
    // Seen under Wine: the first replace question of a run now and then takes
    // the Yes click for No, leaving the dialog open.
    if (!boxes.isEmpty() && boxes[0].contains("already exists") && actions.value(1) == "Yes")
      QSKIP("under Wine the replace question now and then takes a click on Yes for No");
    const QString all = "All Files (*.*)";
#else
    const QString all = "All Files (*)";
#endif
    ModalAnswers answers(actions);
    const FileDialogSettings settings{true, QDir::toNativeSeparators(dir.path()), flags, "",
                                      "SQF Files (*.sqf)|*.sqf|All Files (*.*)|*.*"};
    const auto got = save ? QtDialogs().showSave(settings) : QtDialogs().showOpen(settings);
    const auto shown = [&](const QString& name) {
      return QString(save ? "Save As" : "Open") + "|SQF Files (*.sqf);;" + all + "|SQF Files (*.sqf)|" +
             dir.path() + '|' + name + "|Qt's own";
    };
    // The dialog shows again after each box, with the name typed before it,
    // unless the box's answer closed it.
    QStringList expected{shown("")};
    for (qsizetype i = 0; i < boxes.size(); ++i) {
      expected << QDir::toNativeSeparators(QString(boxes[i]).replace("%1", dir.path()));
      if (2 * i + 2 < actions.size())
        expected << shown(actions[2 * i]);
    }
    QCOMPARE(answers.seen.join("\n#"), expected.join("\n#"));
    QCOMPARE(got.value_or("<Cancel>"),
             chosen.isEmpty() ? "<Cancel>" : QDir::toNativeSeparators(dir.filePath(chosen)));
  }
};

QTEST_MAIN(tst_dialogs)
#include "tst_dialogs.moc"
