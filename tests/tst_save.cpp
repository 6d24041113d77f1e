// The save command through the window: a briefing built by clicks, the save
// dialog answered by the script, the written file checked byte for byte.
#include "QuillfortVersion.h"
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

// The expected script of tests/data, with this build's version in its header.
QByteArray expectedScript(const char* name) {
  QByteArray script = readFile(QStringLiteral(QUILLFORT_TEST_DATA "/") + QLatin1String(name));
  const QByteArray version = QByteArray::number(kVersionMajor) + QByteArray::number(kVersionMinor) +
                             QByteArray::number(kVersionPatch);
  return script.replace(16, 3, version);
}

const QString kFilter = QStringLiteral("SQF Files (*.sqf)|*.sqf|All Files (*.*)|*.*");

constexpr QFileDevice::Permissions kReadOnly =
    QFileDevice::ReadOwner | QFileDevice::ReadUser | QFileDevice::ReadGroup | QFileDevice::ReadOther;
constexpr QFileDevice::Permissions kReadOnlyFolder =
    kReadOnly | QFileDevice::ExeOwner | QFileDevice::ExeUser | QFileDevice::ExeGroup | QFileDevice::ExeOther;

} // namespace

class tst_save : public QObject {
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
    QFile::setPermissions(dir->filePath("locked"), kReadOnlyFolder | QFileDevice::WriteOwner);
    dir.reset();
  }

  void writesTheBriefingBuiltByClicks_data();
  void writesTheBriefingBuiltByClicks();
  void nothingToSave();
  void cancelChangesNothing();
  void failureKeepsTheOldFile_data();
  void failureKeepsTheOldFile();
  void tooManyTasksWritesNothing();
  void readWholeFileOrFail();

private:
  // Saves to path; a failure's box is answered too.
  void saveAs(const QString& path, bool fails = false) {
    ed->dialogs.answerSave(path);
    if (fails)
      ed->dialogs.answerMessage(MsgAnswer::OK);
    ed->click("cmdOK");
  }
  void expectOpenError(int number, const QString& description) {
    const auto& box = ed->dialogs.requests.constLast();
    QCOMPARE(box.kind, ScriptedDialogs::Kind::Message);
    QCOMPARE(box.title, QStringLiteral("Open Error"));
    QCOMPARE(box.style, 16);
    QCOMPARE(box.prompt,
             "The following error has occured:\r\nErr # " + QString::number(number) + " - " + description);
  }

  std::unique_ptr<EditorDriver> ed;
  std::unique_ptr<QTemporaryDir> dir;
};

void tst_save::writesTheBriefingBuiltByClicks_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QByteArray>("before");
  QTest::newRow("new file") << "briefing.sqf" << QByteArray();
  QTest::newRow("typed name keeps no extension") << "mission" << QByteArray();
  QTest::newRow("over a longer script") << "old.sqf" << QByteArray(5000, 'x');
}

void tst_save::writesTheBriefingBuiltByClicks() {
  QFETCH(QString, name);
  QFETCH(QByteArray, before);
  const QString path = dir->filePath(name);
  if (!before.isEmpty())
    writeFile(path, before);
  const QString startDir = ed->window.appPath;

  ed->create("Take the bridge");
  ed->type("txtTasks", "Cross at dawn.");
  ed->create("Hold the town");
  ed->selectRow("lstTasks", 1);
  ed->type("txtTasks", "Dig in."); // never stored by a list click
  ed->click("cmdCurTask");
  ed->click("cmdSide");
  ed->showPage(1);
  ed->create("Intel");
  ed->type("txtNotes", "Line one");
  ed->typeReturn("txtNotes");
  ed->type("txtNotes", "Line two");
  saveAs(path);

  QCOMPARE(readFile(path), expectedScript("worked_example.sqf"));
  QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{name});
  const auto& asked = ed->dialogs.requests.constLast();
  QCOMPARE(asked.kind, ScriptedDialogs::Kind::Save);
  QCOMPARE(asked.settings, (FileDialogSettings{true, startDir, 2050, QString(), kFilter}));
  QCOMPARE(ed->window.appPath, dir->path());
  QCOMPARE(ed->window.taskText, (QStringList{"Cross at dawn.", "Dig in."}));
  QCOMPARE(ed->window.noteText, QStringList{"Line one\r\nLine two"});
  QCOMPARE(ed->window.windowTitle(), QStringLiteral("Quillfort"));
}

void tst_save::nothingToSave() {
  ed->dialogs.answerMessage(MsgAnswer::OK);
  ed->click("cmdOK");
  QCOMPARE(ed->dialogs.requests.size(), 1);
  const auto& box = ed->dialogs.requests.constFirst();
  QCOMPARE(box.kind, ScriptedDialogs::Kind::Message);
  QCOMPARE(box.prompt, QStringLiteral("Nothing to save!"));
  QCOMPARE(box.title, QStringLiteral("Save Briefing"));
  QCOMPARE(box.style, 0);
}

void tst_save::cancelChangesNothing() {
  ed->showPage(1);
  ed->create("Intel");
  ed->type("txtNotes", "typed");
  const QString startDir = ed->window.appPath;
  ed->dialogs.cancelSave();
  ed->click("cmdOK");
  QCOMPARE(ed->dialogs.requests.constLast().kind, ScriptedDialogs::Kind::Save);
  QCOMPARE(ed->window.appPath, startDir);
  QCOMPARE(ed->window.noteText, QStringList{QString()}); // the box was not stored either
  QVERIFY(QDir(dir->path()).isEmpty());
}

void tst_save::failureKeepsTheOldFile_data() {
  QTest::addColumn<QString>("target"); // relative to the temporary folder
  QTest::addColumn<QString>("lock");   // the file or folder made read-only
  QTest::addColumn<int>("number");
  QTest::addColumn<QString>("description"); // %1 is the target, %2 its folder
  const auto row = [](const char* name, const char* target, const char* lock, int number, const char* text) {
    QTest::newRow(name) << QString(target) << QString(lock) << number << QString(text);
  };
  row("read-only file", "old.sqf", "old.sqf", 70, "Permission denied: the file %1 is read-only");
  row("read-only folder", "locked/old.sqf", "locked", 70, "Permission denied: the folder %2 is read-only");
  row("missing folder", "missing/new.sqf", "", 76, "Path not found: the folder %2 does not exist");
  row("folder chosen as file", "locked", "", 75, "Path/File access error: %1 is a folder, not a file");
}

void tst_save::failureKeepsTheOldFile() {
  QFETCH(QString, target);
  QFETCH(QString, lock);
  QFETCH(int, number);
  QFETCH(QString, description);
  const QByteArray old = "// QFRT W \x01 \x00 \x00 100\r\nthe old briefing";
  QVERIFY(QDir(dir->path()).mkdir("locked"));
  writeFile(dir->filePath("old.sqf"), old);
  writeFile(dir->filePath("locked/old.sqf"), old);
  if (!lock.isEmpty())
    QVERIFY(QFile::setPermissions(dir->filePath(lock), lock == "locked" ? kReadOnlyFolder : kReadOnly));

  ed->create("Hold");
  const QString path = dir->filePath(target);
  saveAs(path, true);

  const QString folder = QFileInfo(path).absolutePath();
  description.replace("%1", QDir::toNativeSeparators(path)).replace("%2", QDir::toNativeSeparators(folder));
  expectOpenError(number, description);
  QCOMPARE(readFile(dir->filePath("old.sqf")), old);
  QCOMPARE(readFile(dir->filePath("locked/old.sqf")), old);
  QCOMPARE(QDir(dir->filePath("locked")).entryList(QDir::Files | QDir::Hidden), QStringList{"old.sqf"});
  QCOMPARE(ed->window.appPath, folder);
}

void tst_save::tooManyTasksWritesNothing() {
  for (int i = 0; i < 256; ++i)
    ed->create(QStringLiteral("Task %1").arg(i));
  QVERIFY(QDir(dir->path()).mkdir("sub"));
  saveAs(dir->filePath("sub/briefing.sqf"), true);
  expectOpenError(5, "The briefing has 256 tasks, but a briefing script holds at most 255 tasks");
  QVERIFY(QDir(dir->filePath("sub")).isEmpty());
  QCOMPARE(ed->window.appPath, dir->filePath("sub"));
}

// Reading, which the open command relies on: every byte value comes back as
// it is; a missing file is 53 and is not created, a folder is 75.
void tst_save::readWholeFileOrFail() {
  QByteArray every;
  for (int b = 255; b >= 0; --b)
    every += char(b);
  writeFile(dir->filePath("all.sqf"), every);
  QCOMPARE(QByteArray::fromStdString(ScriptFile::read(dir->filePath("all.sqf"))), every);
  for (const auto& [name, number] : {std::pair{"missing.sqf", 53}, std::pair{"", 75}}) {
    try {
      ScriptFile::read(dir->filePath(QLatin1String(name)));
      QFAIL("no error");
    } catch (const RuntimeError& e) {
      QCOMPARE(e.number, number);
    }
  }
  QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{"all.sqf"});
}

QTEST_MAIN(tst_save)
#include "tst_save.moc"
