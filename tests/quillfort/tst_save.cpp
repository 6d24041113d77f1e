// The save command through the window: a briefing built by clicks, the save
// dialog answered by the script, the written file checked byte for byte.
#include "QuillfortVersion.h"
#include "support/EditorDriver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <stdexcept>

#ifndef Q_OS_WIN
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/mount.h>
#endif

// Everything in a folder, a hidden temporary file and a pipe included.
static QStringList entries(const QString& path) {
  return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// A script of an older, longer briefing, saved over in the tests.
static const QString kOld = QStringLiteral(QUILLFORT_TEST_DATA "/old_briefing.sqf");
static const QString kOpenError = QStringLiteral("Open Error|16|The following error has occured:\r\nErr # ");

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
    QCOMPARE(ed.lastBox(), "Save Briefing|0|Nothing to save!");
    // The typed second line of the note is still only in the box.
    ed.run("add Take the bridge,Hold the town; cur; side; notes; add Intel; type \nLine two");
    ed.dialogs.answerSave({});
    ed.click("cmdOK");
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
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("lock"); // made read-only first
    QTest::addColumn<int>("tasks");    // created; 256 is one past the limit (5)
    QTest::addColumn<int>("free");     // on a full file system: bytes left free; -1 not full
    QTest::addColumn<int>("length");   // characters pasted into the last task's text
    QTest::newRow("read-only file") << "old.sqf" << 70 << "old.sqf" << 1 << -1 << 0;
    QTest::newRow("read-only folder") << "locked/new.sqf" << 70 << "locked" << 1 << -1 << 0;
    QTest::newRow("missing folder") << "missing/new.sqf" << 76 << "" << 1 << -1 << 0;
    QTest::newRow("folder as file") << "locked" << 75 << "" << 1 << -1 << 0;
    QTest::newRow("256 tasks") << "old.sqf" << 5 << "" << 256 << -1 << 0;
    // Also when the new script is small enough to sit in a write buffer.
    QTest::newRow("disk full, small briefing") << "old.sqf" << 61 << "" << 1 << 0 << 10;
    QTest::newRow("disk full, 4 KB free") << "old.sqf" << 61 << "" << 1 << 4096 << 10000;
#ifndef Q_OS_WIN
    // A named pipe made beside them is refused and stays a pipe.
    QTest::newRow("named pipe") << "pipe" << 75 << "" << 1 << -1 << 0;
#else
    QTest::newRow("named pipe") << "" << 75 << "" << 1 << -1 << 0;
#endif
  }

  // One "Open Error" box; the old file unchanged, nothing created, not even a
  // temporary file; appPath moved to the chosen folder all the same.
  void failureLeavesTheDiskAsItWas() {
    QFETCH(QString, target);
    QFETCH(int, error);
    QFETCH(QString, lock);
    QFETCH(int, tasks);
    QFETCH(int, free);
    QFETCH(int, length);
#ifdef Q_OS_WIN
    if (target.isEmpty())
      QSKIP("Windows has no named pipes in folders");
    if (lock == "locked") // the attribute does not stop writing into a folder
      QSKIP("on Windows only a folder's access rights refuse new files, and Wine does not enforce them");
#endif
    QTemporaryDir dir;
    QStringList expected{"locked", "old.sqf"};
#ifndef Q_OS_LINUX
    if (free >= 0)
      QSKIP("needs a small tmpfs mounted for the test, which only Linux has");
#else
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    if (free >= 0 && ::geteuid() != 0)
      QSKIP("needs root to mount a small tmpfs that can be filled");
    if (free >= 0 && ::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
      QSKIP(qPrintable(QStringLiteral("cannot mount a tmpfs: ") +
                       QString::fromLocal8Bit(std::strerror(errno))));
    struct Unmount {
      QByteArray at;
      ~Unmount() { at.isEmpty() || ::umount2(at.constData(), MNT_DETACH); }
    } unmount{free >= 0 ? mountPoint : QByteArray()};
#endif
    QVERIFY(QFile::copy(kOld, dir.filePath("old.sqf")));
    QVERIFY(QDir(dir.path()).mkdir("locked"));
    QVERIFY(lock.isEmpty() || QFile::setPermissions(dir.filePath(lock), QFile::ReadOwner | QFile::ExeOwner));
    if (free >= 0) { // fill what is left, then give back the bytes the row leaves free
      QFile filler(dir.filePath("filler"));
      QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
      while (filler.write(QByteArray(4096, 'x')) > 0) {
      }
      QVERIFY(filler.resize(filler.size() - free));
      expected.prepend("filler");
    }
#ifndef Q_OS_WIN
    if (target == "pipe") {
      QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(target)).constData(), 0644), 0);
      expected << target;
    }
#endif
    EditorDriver ed;
    for (int i = 0; i < tasks; ++i)
      ed.create(QString::number(i));
    if (length > 0)
      ed.run(QStringLiteral("fill %1 w").arg(length));
    ed.dialogs.answerSave(dir.filePath(target));
    ed.confirm("cmdOK", MsgAnswer::OK);

    QCOMPARE(ed.lastBox().section(" - ", 0, 0), kOpenError + QString::number(error));
    if (free >= 0)
      QCOMPARE(ed.lastBox(), kOpenError + "61 - Disk full: there is no room left to write the file " +
                                 dir.filePath("old.sqf"));
    QCOMPARE(readFile(dir.filePath("old.sqf")), readFile(kOld));
    QCOMPARE(entries(dir.path()) + entries(dir.filePath("locked")), expected);
    QCOMPARE(ed.window.appPath, QFileInfo(dir.filePath(target)).absolutePath());
    QCOMPARE(ed.dialogs.pending(), 0);
  }

  // Whatever fails after the file was chosen, not only our own errors, ends
  // in the "Open Error" box and the program goes on.
  void failuresOfEveryKindReachTheErrorBox() {
    for (const bool standard : {true, false}) {
      EditorDriver ed;
      ed.dialogs.answerMessage(MsgAnswer::OK);
      ed.window.ReportFailures(
          [standard] { standard ? throw std::length_error("vector too long") : throw 3; });
      QCOMPARE(ed.lastBox(), kOpenError + "51 - Internal error: " +
                                 QString(standard ? "vector too long" : "an unknown failure"));
      QCOMPARE(ed.dialogs.pending(), 0);
    }
  }

  // The Save or Open dialog failing to come up ends the command without a
  // message and without any change.
  void aFailingDialogEndsTheCommandQuietly() {
    for (const bool save : {true, false}) {
      EditorDriver ed;
      ed.run("add Hold");
      const QString before = ed.window.appPath;
      save ? ed.dialogs.answerSave({}, true) : ed.dialogs.answerOpen({}, true);
      ed.click(save ? "cmdOK" : "cmdOpen");
      QCOMPARE(ed.dialogs.requests.size(), 2); // the title asked, then the dialog: no message
      QCOMPARE(ed.state("T | box") + " | " + ed.window.appPath, "T:Hold0* | box:hold text | " + before);
    }
  }
};

QTEST_MAIN(tst_save)
#include "tst_save.moc"
