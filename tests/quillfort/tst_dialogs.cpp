// The program's dialogs as the user meets them: Qt's real message box, input
// box and file dialogs, answered by keys and clicks while they are open.
#include "platform/QtDialogs.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs one step on each modal window as it becomes the active one, in order,
// and writes down what each step saw. Typing into a dialog before it is the
// active window is lost, so each step waits for that. A window left over when
// the steps have run out is closed and noted, so a wrong turn fails the test
// instead of hanging it.
class ModalSteps : public QObject {
public:
  using Step = std::function<void(QWidget*)>;

  ModalSteps() {
    connect(&m_poll, &QTimer::timeout, this, &ModalSteps::poll);
    m_poll.start(10);
    m_stuck.start();
  }
  ModalSteps& then(Step step) {
    m_steps << std::move(step);
    return *this;
  }

  QStringList seen; // what the steps wrote down, unexpected windows too

private:
  void poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
      return;
    if (m_stuck.hasExpired(10000)) { // a guard against hanging, not a measure
      seen << QStringLiteral("stuck: ") + modal->windowTitle();
      m_stuck.restart();
      modal->close();
      return;
    }
    // A dialog that comes back after a box it showed is closed is not made
    // active again on every platform; the user would click on it.
    if (modal != QApplication::activeWindow()) {
      modal->activateWindow();
      return;
    }
    if (modal == m_last)
      return;
    m_last = modal;
    m_stuck.restart();
    if (m_steps.isEmpty()) {
      seen << QStringLiteral("unexpected: ") + modal->windowTitle();
      QMetaObject::invokeMethod(modal, &QWidget::close, Qt::QueuedConnection);
      return;
    }
    // Queued, so that a step which opens a further dialog does not hold
    // this timer while it is open.
    QMetaObject::invokeMethod(
        this, [step = m_steps.takeFirst(), modal = QPointer<QWidget>(modal)] {
          if (modal)
            step(modal);
        },
        Qt::QueuedConnection);
  }

  QList<Step> m_steps;
  QTimer m_poll;
  QWidget* m_last = nullptr;
  QElapsedTimer m_stuck;
};

// What a file dialog shows as it opens: title, filters, the filter in force,
// folder, proposed name, and whether it is Qt's own.
QString describe(QFileDialog* dialog) {
  auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  return QStringList{dialog->windowTitle(), dialog->nameFilters().join(";;"), dialog->selectedNameFilter(),
                     dialog->directory().path(), name ? name->text() : QStringLiteral("<no name field>"),
                     dialog->testOption(QFileDialog::DontUseNativeDialog) ? "Qt's own" : "native"}
      .join('|');
}

} // namespace

class tst_dialogs : public QObject {
  Q_OBJECT
  QTemporaryDir dir;

  // A step that answers a message box with one of its buttons (Escape for
  // none) and writes down its title, icon, text, buttons and default.
  std::function<void(QWidget*)> press(ModalSteps& steps, QMessageBox::StandardButton button) {
    return [&steps, button](QWidget* window) {
      auto* box = qobject_cast<QMessageBox*>(window);
      if (!box) {
        steps.seen << "not a message box: " + window->windowTitle();
        window->close();
        return;
      }
      QStringList buttons;
      for (auto* b : box->buttons())
        buttons << QString::number(box->standardButton(b), 16);
      buttons.sort();
      steps.seen << QStringLiteral("%1|%2|%3|%4|default %5")
                        .arg(box->windowTitle())
                        .arg(box->icon())
                        .arg(box->text(), buttons.join(','))
                        .arg(box->defaultButton() ? box->standardButton(box->defaultButton()) : 0, 0, 16);
      if (button == QMessageBox::NoButton)
        QTest::keyClick(box, Qt::Key_Escape);
      else
        QTest::mouseClick(box->button(button), Qt::LeftButton);
    };
  }

  // A step of a file dialog run: "type NAME" types into the name field and
  // clicks Open or Save, "cancel" clicks Cancel, "yes", "no" and "ok" answer
  // the message box the dialog shows, writing down its text.
  std::function<void(QWidget*)> fileStep(ModalSteps& steps, const QString& action) {
    return [&steps, action](QWidget* window) {
      auto* box = qobject_cast<QMessageBox*>(window);
      auto* dialog = qobject_cast<QFileDialog*>(window);
      const auto fail = [&](const QString& why) {
        steps.seen << why + ": " + window->windowTitle();
        window->close();
      };
      if (action == "yes" || action == "no" || action == "ok") {
        if (!box)
          return fail("not a message box");
        steps.seen << box->text();
        const auto button = action == "yes" ? QMessageBox::Yes : action == "no" ? QMessageBox::No : QMessageBox::Ok;
        if (!box->button(button))
          return fail("no " + action + " button");
        QTest::mouseClick(box->button(button), Qt::LeftButton);
        return;
      }
      auto* name = window->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      auto* buttons = window->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
      if (!dialog || !name || !buttons)
        return fail("not Qt's own file dialog");
      if (action == "cancel") {
        QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
        return;
      }
      // Into the name field, over whatever it holds, as a user types.
      QTest::mouseClick(name, Qt::LeftButton);
      QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(name, action.section(' ', 1));
      if (name->completer() && name->completer()->popup()->isVisible())
        QTest::keyClick(name->completer()->popup(), Qt::Key_Escape);
      auto* accept = buttons->button(dialog->acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save
                                                                                      : QDialogButtonBox::Open);
      if (!accept || !accept->isEnabled())
        return fail("the accept button is off");
      QTest::mouseClick(accept, Qt::LeftButton);
    };
  }

private slots:
  void initTestCase() {
    QFile file(dir.filePath("old.sqf"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(QFile::copy(dir.filePath("old.sqf"), dir.filePath("locked.sqf")));
    QVERIFY(QFile::setPermissions(dir.filePath("locked.sqf"), QFile::ReadOwner));
  }

  void fileDialogs_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QStringList>("steps");  // after the first look at the dialog
    QTest::addColumn<QStringList>("asked");  // texts of the message boxes it showed; %1 the folder
    QTest::addColumn<QString>("result");     // in the folder; empty for Cancel
    const QString replace = QStringLiteral("%1 already exists.\nDo you want to replace it?");
    const QString missing = QStringLiteral("%1/missing/new.sqf\nPath does not exist.\nCheck the path and try again.");
    QTest::newRow("open: a file") << false << 4 << QStringList{"type old.sqf"} << QStringList{} << "old.sqf";
    QTest::newRow("open: a missing file is taken")
        << false << 4 << QStringList{"type nothere.sqf"} << QStringList{} << "nothere.sqf";
    QTest::newRow("open: a missing folder is taken")
        << false << 4 << QStringList{"type missing/new.sqf"} << QStringList{} << "missing/new.sqf";
    QTest::newRow("open: Cancel") << false << 4 << QStringList{"cancel"} << QStringList{} << "";
    QTest::newRow("save: no extension added")
        << true << 2050 << QStringList{"type mission"} << QStringList{} << "mission";
    QTest::newRow("save: replace, Yes")
        << true << 2050 << QStringList{"type old.sqf", "yes"} << QStringList{replace.arg("old.sqf")} << "old.sqf";
    QTest::newRow("save: replace, No stays open")
        << true << 2050 << QStringList{"type old.sqf", "no", "cancel"} << QStringList{replace.arg("old.sqf")}
        << "";
    QTest::newRow("save: no prompt without the flag")
        << true << 2048 << QStringList{"type old.sqf"} << QStringList{} << "old.sqf";
    QTest::newRow("save: read-only file is not refused")
        << true << 2050 << QStringList{"type locked.sqf", "yes"} << QStringList{replace.arg("locked.sqf")}
        << "locked.sqf";
    QTest::newRow("save: missing folder refused, stays open")
        << true << 2050 << QStringList{"type missing/new.sqf", "ok", "type new.sqf"} << QStringList{missing}
        << "new.sqf";
    QTest::newRow("save: missing folder taken without the flag")
        << true << 2 << QStringList{"type missing/new.sqf"} << QStringList{} << "missing/new.sqf";
  }

  // Qt's own dialog on every platform: its title, both filters with the
  // first in force, the folder given, no name proposed; what it asks on the
  // way and the full path it gives back.
  void fileDialogs() {
    QFETCH(bool, save);
    QFETCH(int, flags);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, asked);
    QFETCH(QString, result);
    ModalSteps run;
    run.then([&](QWidget* window) {
      if (auto* dialog = qobject_cast<QFileDialog*>(window))
        run.seen << describe(dialog);
      fileStep(run, steps.constFirst())(window);
    });
    for (qsizetype i = 1; i < steps.size(); ++i)
      run.then(fileStep(run, steps[i]));

    QtDialogs dialogs;
    const FileDialogSettings settings{true, QDir::toNativeSeparators(dir.path()), flags, "",
                                      "SQF Files (*.sqf)|*.sqf|All Files (*.*)|*.*"};
    const std::optional<QString> chosen = save ? dialogs.showSave(settings) : dialogs.showOpen(settings);
#ifdef Q_OS_WIN
    const QString all = "All Files (*.*)";
#else
    const QString all = "All Files (*)";
#endif
    QStringList expected{QStringList{save ? "Save As" : "Open", "SQF Files (*.sqf);;" + all, "SQF Files (*.sqf)",
                                     dir.path(), "", "Qt's own"}
                             .join('|')};
    for (const QString& text : asked)
      expected << (text.contains("%1") ? text.arg(QDir::toNativeSeparators(dir.path())) : text);
    QCOMPARE(run.seen.join("\n#"), expected.join("\n#"));
    QCOMPARE(chosen.value_or("<cancel>"),
             result.isEmpty() ? "<cancel>" : QDir::toNativeSeparators(dir.filePath(result)));
  }

  void messageBoxShowsWhatItIsAsked_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("press"); // a QMessageBox button, NoButton for Escape
    QTest::addColumn<QString>("shown"); // title|icon|text|buttons (hex)|default (hex)
    QTest::addColumn<int>("answer");
    const QString text = QStringLiteral("First line\nsecond line");
    QTest::newRow("OK, no icon") << 0 << int(QMessageBox::Ok) << "T|0|" + text + "|400|default 400" << 1;
    QTest::newRow("Open Error: critical") << 16 << int(QMessageBox::Ok) << "T|3|" + text + "|400|default 400"
                                          << 1;
    QTest::newRow("Delete: question, Yes") << 36 << int(QMessageBox::Yes)
                                           << "T|4|" + text + "|10000,4000|default 4000" << 6;
    QTest::newRow("Delete: question, No") << 36 << int(QMessageBox::No)
                                          << "T|4|" + text + "|10000,4000|default 4000" << 7;
    QTest::newRow("Escape on Yes/No is No") << 36 << int(QMessageBox::NoButton)
                                            << "T|4|" + text + "|10000,4000|default 4000" << 7;
    QTest::newRow("information") << 64 << int(QMessageBox::Ok) << "T|1|" + text + "|400|default 400" << 1;
    QTest::newRow("warning, OK/Cancel, Escape") << 49 << int(QMessageBox::NoButton)
                                                << "T|2|" + text + "|400,400000|default 400" << 2;
    QTest::newRow("Yes/No/Cancel, second default") << 3 + 256 << int(QMessageBox::Cancel)
                                                   << "T|0|" + text + "|10000,4000,400000|default 10000" << 2;
  }

  // Buttons, icon, default button and title as the style asks; CR LF shows
  // as a line break; the button pressed comes back as its number.
  void messageBoxShowsWhatItIsAsked() {
    QFETCH(int, style);
    QFETCH(int, press);
    QFETCH(QString, shown);
    QFETCH(int, answer);
    ModalSteps steps;
    steps.then(this->press(steps, QMessageBox::StandardButton(press)));
    QtDialogs dialogs;
    QCOMPARE(dialogs.messageBox("First line\r\nsecond line", style, "T"), answer);
    QCOMPARE(steps.seen, QStringList{shown});
  }

  void inputBoxTakesOneLine_data() {
    QTest::addColumn<QString>("defaultText");
    QTest::addColumn<QString>("typed"); // typed at the end of the box
    QTest::addColumn<QString>("pasted"); // then pasted with Ctrl+V
    QTest::addColumn<QStringList>("result"); // none for Cancel
    QTest::newRow("typed") << "" << "Take the bridge" << "" << QStringList{"Take the bridge"};
    QTest::newRow("default kept") << "Old title" << "" << "" << QStringList{"Old title"};
    QTest::newRow("pasted lines: the first") << "" << "" << "first\r\nsecond" << QStringList{"first"};
    QTest::newRow("pasted after the default") << "Hold " << "" << "fast\nand\nlong" << QStringList{"Hold fast"};
    QTest::newRow("lone CR") << "" << "A" << "b\rc" << QStringList{"Ab"};
    QTest::newRow("pasted break first") << "Keep" << "" << "\r\nlost" << QStringList{"Keep"};
    QTest::newRow("Cancel") << "Old title" << "x" << "" << QStringList{};
  }

  // The prompt, title and default text shown; a pasted text keeps only its
  // first line, as a single-line box does; Cancel gives no value.
  void inputBoxTakesOneLine() {
    QFETCH(QString, defaultText);
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QStringList, result);
    ModalSteps steps;
    steps.then([&](QWidget* window) {
      auto* dialog = qobject_cast<QInputDialog*>(window);
      auto* edit = window->findChild<QLineEdit*>();
      if (!dialog || !edit) {
        window->close();
        return;
      }
      steps.seen << dialog->labelText() + "|" + dialog->windowTitle() + "|" + edit->text();
      QTest::keyClick(edit, Qt::Key_End);
      QTest::keyClicks(edit, typed);
      if (!pasted.isEmpty()) {
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
      }
      QTest::keyClick(edit, result.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
    });
    QtDialogs dialogs;
    const std::optional<QString> answer = dialogs.inputBox("Enter the task\r\nto create:", "New Task", defaultText);
    QCOMPARE(steps.seen, QStringList{"Enter the task\nto create:|New Task|" + defaultText});
    QCOMPARE(answer ? QStringList{*answer} : QStringList{}, result);
  }
};

QTEST_MAIN(tst_dialogs)
#include "tst_dialogs.moc"
