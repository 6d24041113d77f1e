// The save command through the window: a briefing built by clicks, the save
// dialog answered by the script, the written file checked byte for byte.
#include "QuillfortVersion.h"
#include "support/EditorDriver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

static QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Everything in a folder, a hidden temporary file included.
static QStringList entries(const QString& path) {
  return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// A script of an older, longer briefing, saved over in the tests.
static const QString kOld = QStringLiteral(QUILLFORT_TEST_DATA "/old_briefing.sqf");

class tst_save : public QObject {
  Q_OBJECT

private slots:
  // Saved over a longer file whose name has no extension: the file holds
  // exactly the new script and keeps its name.
  void savesTheBriefingBuiltByClicks() {
    EditorDriver ed;
    QTemporaryDir dir;
    const QString startDir = ed.window.appPath, path = dir.filePath("mission");
    QVERIFY(QFile::copy(kOld, path));
    ed.confirm("cmdOK", MsgAnswer::OK);
    QCOMPARE(ed.lastAsked().prompt + "|" + ed.lastAsked().title + "|" + QString::number(ed.lastAsked().style),
             "Nothing to save!|Save Briefing|0");
    ed.addEntries("lstTasks", {"Take the bridge", "Hold the town"});
    ed.click("cmdCurTask");
    ed.click("cmdSide");
    ed.showPage(1);
    ed.addEntries("lstNotes", {"Intel"});
    ed.type("txtNotes", "\nLine two"); // still only in the box
    ed.dialogs.cancelSave();
    ed.click("cmdOK");
    QCOMPARE(ed.window.noteText, QStringList{QString()}); // Cancel stored nothing
    ed.dialogs.answerSave(path);
    ed.click("cmdOK");

    // appPath stayed through the Cancel, then moved to the chosen folder.
    QCOMPARE(ed.lastAsked().settings,
             (FileDialogSettings{true, startDir, 2050, "", "SQF Files (*.sqf)|*.sqf|All Files (*.*)|*.*"}));
    QCOMPARE(ed.window.appPath, dir.path());
    QCOMPARE(readFile(path), readFile(QUILLFORT_TEST_DATA "/saved_by_clicks.sqf")
                                 .replace(16, 3, QByteArray(kVersionText).replace(".", "")));
    QCOMPARE(entries(dir.path()), QStringList{"mission"});
    QCOMPARE(ed.dialogs.pending(), 0);
  }

  void failureLeavesTheDiskAsItWas_data() {
    QTest::addColumn<QString>("target"); // in the temporary folder, beside old.sqf and the empty locked/
    QTest::addColumn<int>("error");      // 5 comes from a briefing of 256 tasks
    QTest::addColumn<QString>("lock");   // made read-only first
    QTest::newRow("read-only file") << "old.sqf" << 70 << "old.sqf";
    QTest::newRow("read-only folder") << "locked/new.sqf" << 70 << "locked";
    QTest::newRow("missing folder") << "missing/new.sqf" << 76 << "";
    QTest::newRow("folder as file") << "locked" << 75 << "";
    QTest::newRow("256 tasks") << "old.sqf" << 5 << "";
  }

  // One "Open Error" box; the old file unchanged, nothing created, not even a
  // temporary file; appPath moved to the chosen folder all the same.
  void failureLeavesTheDiskAsItWas() {
    QFETCH(QString, target);
    QFETCH(int, error);
    QFETCH(QString, lock);
    EditorDriver ed;
    QTemporaryDir dir;
    QVERIFY(QFile::copy(kOld, dir.filePath("old.sqf")));
    QVERIFY(QDir(dir.path()).mkdir("locked"));
    QVERIFY(lock.isEmpty() || QFile::setPermissions(dir.filePath(lock), QFile::ReadOwner | QFile::ExeOwner));
    for (int i = 0; i < (error == 5 ? 256 : 1); ++i)
      ed.create(QString::number(i));
    ed.dialogs.answerSave(dir.filePath(target));
    ed.confirm("cmdOK", MsgAnswer::OK);

    const auto& box = ed.lastAsked();
    QCOMPARE(box.title + QString::number(box.style) + box.prompt.section(" - ", 0, 0),
             "Open Error16The following error has occured:\r\nErr # " + QString::number(error));
    QCOMPARE(readFile(dir.filePath("old.sqf")), readFile(kOld));
    QCOMPARE(entries(dir.path()) + entries(dir.filePath("locked")), (QStringList{"locked", "old.sqf"}));
    QCOMPARE(ed.window.appPath, QFileInfo(dir.filePath(target)).absolutePath());
    QCOMPARE(ed.dialogs.pending(), 0);
  }
};

QTEST_MAIN(tst_save)
#include "tst_save.moc"
