// The open command through the window: the open dialog answered by the
// script, the work area checked control by control, the file never touched.
#include "platform/RuntimeError.h"
#include "platform/ScriptFile.h"
#include "support/EditorDriver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray header(char side, int notes, int tasks, int current) {
  QByteArray line = "// QFRT ";
  line += side;
  for (int value : {notes, tasks, current})
    line += ' ' + QByteArray(1, static_cast<char>(value));
  return line + " 100\r\n";
}

QByteArray noteLine(const QByteArray& title, const QByteArray& text) {
  return "player createDiaryRecord [\"Diary\",[\"" + title + "\",\"" + text + "\"]];\r\n";
}

QByteArray taskLines(const QByteArray& title, const QByteArray& text) {
  return "t=player createSimpleTask [\"" + title + "\"];\r\nt setSimpleTaskDescription [\"" + text + "\",\"" +
         title + "\",\"" + title + "\"];\r\n";
}

// Two notes below byte 32767 and a task beyond it.
QByteArray tasksPastTheLimit() {
  QByteArray script = header('E', 2, 1, 1) + noteLine("Second", "b") + noteLine("First", "a<br/>a");
  script += "// " + QByteArray(32767 - script.size(), '/') + "\r\n";
  return script + taskLines("Late", "never read");
}

// Title and text of each entry in list order, from the model's slots.
using Entries = QList<QPair<QString, QString>>;

Entries entries(const EditorDriver& ed, const char* list, const QStringList& texts) {
  Entries out;
  const QStringList titles = ed.titles(list);
  const QList<int> slotOf = ed.slotsOf(list);
  for (int i = 0; i < titles.size(); ++i)
    out.append({titles[i], texts.value(slotOf[i])});
  return out;
}

const QString kOpenErrorStart = QStringLiteral("The following error has occured:\r\nErr # ");

} // namespace

class tst_open : public QObject {
  Q_OBJECT

private slots:
  void init() {
    ed.reset(new EditorDriver);
    dir.reset(new QTemporaryDir);
    QVERIFY(dir->isValid());
  }
  void cleanup() {
    QCOMPARE(ed->dialogs.pending(), 0);
    ed.reset();
    dir.reset();
  }

  void savedBriefingComesBack();
  void cancelChangesNothing();
  void damagedOrForeignScripts_data();
  void damagedOrForeignScripts();

private:
  // Clicks Open, answers the dialog with path and then OK to the error box
  // when one is expected.
  void open(const QString& path, bool failing = false) {
    ed->dialogs.answerOpen(path);
    if (failing)
      ed->dialogs.answerMessage(MsgAnswer::OK);
    ed->click("cmdOpen");
  }
  // Some work to be replaced: a task, a note, side EAST.
  void someWork() {
    ed->create("Old task");
    ed->type("txtTasks", "old text");
    ed->click("cmdCurTask");
    ed->showPage(1);
    ed->create("Old note");
    ed->showPage(0);
    ed->click("cmdSide");
  }

  std::unique_ptr<EditorDriver> ed;
  std::unique_ptr<QTemporaryDir> dir;
};

void tst_open::savedBriefingComesBack() {
  // Built by clicks, with quotes, script fragments, line breaks, a typed
  // "<br/>", two tasks of one title and a moved task, so that slots and list
  // positions differ before the save.
  ed->create("Take \"the\" hill");
  ed->type("txtTasks", "Line one");
  ed->typeReturn("txtTasks");
  ed->type("txtTasks", "createSimpleTask [\"x\"]; <br/> end");
  ed->create("Hold");
  ed->create("Hold");
  ed->selectRow("lstTasks", 2);
  ed->type("txtTasks", "the second Hold");
  ed->click("cmdCurTask");
  ed->click("cmdUp");
  ed->showPage(1);
  ed->create("Diary\",[\"Intel");
  ed->type("txtNotes", "He said \"go\".");
  ed->create("Weather");
  ed->click("cmdSide");
  ed->click("cmdSide"); // RESISTANCE
  const QString path = dir->filePath("briefing.sqf");
  ed->dialogs.answerSave(path);
  ed->click("cmdOK");
  const QByteArray saved = readFile(path);

  Entries tasks = entries(*ed, "lstTasks", ed->window.taskText);
  tasks[0].second.replace(QStringLiteral("<br/>"), QStringLiteral("\r\n")); // the format's line break
  const Entries notes = entries(*ed, "lstNotes", ed->window.noteText);
  const QString current = ed->curTask();
  QCOMPARE(current, QStringLiteral("Hold"));
  ed->click("cmdSide"); // CIVILIAN, to be replaced by the script's side

  open(path);
  QCOMPARE(entries(*ed, "lstTasks", ed->window.taskText), tasks);
  QCOMPARE(entries(*ed, "lstNotes", ed->window.noteText), notes);
  QCOMPARE(ed->slotsOf("lstTasks"), (QList<int>{0, 1, 2}));
  QCOMPARE(ed->slotsOf("lstNotes"), (QList<int>{0, 1}));
  QCOMPARE(ed->window.taskSlotCount, 3);
  QCOMPARE(ed->window.noteSlotCount, 2);
  QCOMPARE(ed->curTask(), current);
  QCOMPARE(ed->button("cmdSide")->text(), QStringLiteral("RESISTANCE"));
  QCOMPARE(ed->list("lstBriefing")->currentRow(), 0);
  QCOMPARE(ed->list("lstTasks")->currentRow(), 0);
  QCOMPARE(ed->list("lstNotes")->currentRow(), 0);
  QCOMPARE(ed->boxShows("txtTasks"), QString(tasks[0].second).replace("\r\n", "\n"));
  QCOMPARE(ed->boxShows("txtNotes"), notes[0].second);
  QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "cmdCurTask", "txtTasks", "txtNotes"}, true));
  QCOMPARE(ed->window.windowTitle(), QStringLiteral("Quillfort - ") + path);
  QCOMPARE(ed->window.appPath, dir->path());
  QCOMPARE(readFile(path), saved);

  // The next dialog starts in the opened file's folder.
  ed->dialogs.cancelOpen();
  ed->click("cmdOpen");
  QCOMPARE(ed->dialogs.requests.constLast().settings.initDir, dir->path());
}

void tst_open::cancelChangesNothing() {
  someWork();
  const QString appPath = ed->window.appPath;
  ed->dialogs.cancelOpen();
  ed->click("cmdOpen");

  FileDialogSettings expected;
  expected.cancelError = true;
  expected.initDir = appPath;
  expected.flags = 4;
  expected.filter = QStringLiteral("SQF Files (*.sqf)|*.sqf|All Files (*.*)|*.*");
  QVERIFY(ed->dialogs.requests.constLast().kind == ScriptedDialogs::Kind::Open);
  QVERIFY(ed->dialogs.requests.constLast().settings == expected);
  QCOMPARE(ed->window.appPath, appPath);
  QCOMPARE(ed->titles("lstTasks"), QStringList{"Old task"});
  QCOMPARE(ed->titles("lstNotes"), QStringList{"Old note"});
  QCOMPARE(ed->boxShows("txtTasks"), QStringLiteral("old text"));
  QCOMPARE(ed->curTask(), QStringLiteral("Old task"));
  QCOMPARE(ed->button("cmdSide")->text(), QStringLiteral("EAST"));
  QCOMPARE(ed->window.windowTitle(), QStringLiteral("Quillfort"));
}

void tst_open::damagedOrForeignScripts_data() {
  QTest::addColumn<QByteArray>("script");
  QTest::addColumn<int>("error"); // 0: read to the end
  QTest::addColumn<QStringList>("notes");
  QTest::addColumn<QStringList>("tasks");
  QTest::addColumn<QString>("current");
  QTest::addColumn<QString>("side"); // the side was EAST before

  const QByteArray oneTask = taskLines("T", "t");
  // A file that is not there (no bytes at all) empties the work area.
  QTest::newRow("missing file") << QByteArray() << 53 << QStringList() << QStringList() << ""
                                << "EAST";
  QTest::newRow("more notes than records")
      << header('W', 2, 1, 1) + noteLine("N", "n") + oneTask << 5 << QStringList() << QStringList() << ""
      << "EAST";
  QTest::newRow("more tasks than records")
      << header('W', 1, 2, 1) + noteLine("N", "n") + oneTask << 5 << QStringList{"N"} << QStringList() << ""
      << "EAST";
  QTest::newRow("tasks past byte 32767")
      << tasksPastTheLimit() << 6 << QStringList{"First", "Second"} << QStringList() << ""
      << "EAST";
  QTest::newRow("lower-case side letter")
      << header('c', 0, 1, 1) + oneTask << 0 << QStringList() << QStringList{"T"} << "T"
      << "EAST";
  QTest::newRow("current task past the list")
      << header('C', 0, 1, 2) + oneTask << 0 << QStringList() << QStringList{"T"} << ""
      << "CIVILIAN";
  QTest::newRow("current task without tasks")
      << header('W', 1, 0, 3) + noteLine("N", "n") << 0 << QStringList{"N"} << QStringList() << ""
      << "WEST";
}

void tst_open::damagedOrForeignScripts() {
  QFETCH(QByteArray, script);
  QFETCH(int, error);
  QFETCH(QStringList, notes);
  QFETCH(QStringList, tasks);
  QFETCH(QString, current);
  QFETCH(QString, side);
  someWork();
  const QString path = dir->filePath("script.sqf");
  QString description; // the platform's, for a missing file
  if (script.isNull()) {
    try {
      ScriptFile::read(path);
    } catch (const RuntimeError& e) {
      description = QString::fromStdString(e.description);
    }
  } else {
    writeFile(path, script);
  }
  open(path, error != 0);

  QCOMPARE(ed->window.appPath, dir->path());
  if (error) {
    const auto& shown = ed->dialogs.requests.constLast();
    QCOMPARE(shown.title, QStringLiteral("Open Error"));
    QCOMPARE(shown.style, 16);
    const QString start = kOpenErrorStart + QString::number(error) + " - ";
    QVERIFY2(shown.prompt.startsWith(start), qPrintable(shown.prompt));
    if (script.isNull())
      QCOMPARE(shown.prompt, start + description);
    QCOMPARE(ed->window.windowTitle(), QStringLiteral("Quillfort"));
  } else {
    QCOMPARE(ed->window.windowTitle(), QStringLiteral("Quillfort - ") + path);
  }
  QCOMPARE(ed->titles("lstNotes"), notes);
  QCOMPARE(ed->titles("lstTasks"), tasks);
  QCOMPARE(ed->curTask(), current);
  QCOMPARE(ed->button("cmdSide")->text(), side);
  QCOMPARE(readFile(path), script.isNull() ? QByteArray("<unreadable>") : script);
  QCOMPARE(ed->window.noteSlotCount, notes.size());
  QCOMPARE(ed->box("txtNotes")->isEnabled(), !notes.isEmpty());
  if (!notes.isEmpty())
    QCOMPARE(ed->boxShows("txtNotes"), QString(ed->window.noteText[0]).replace("\r\n", "\n"));

  if (tasks.isEmpty()) {
    // The Tasks page is empty: Edit and Delete are off, as the page switch
    // leaves them, and clicking them asks nothing.
    QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "cmdCurTask", "txtTasks"}, false));
    QCOMPARE(ed->boxShows("txtTasks"), QString());
    ed->click("cmdEdit");
    ed->click("cmdDel");
    QCOMPARE(ed->titles("lstNotes"), notes);
    if (!notes.isEmpty()) {
      ed->showPage(1);
      QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel"}, true));
    }
  } else {
    QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "cmdCurTask", "txtTasks"}, true));
  }
}

QTEST_MAIN(tst_open)
#include "tst_open.moc"
