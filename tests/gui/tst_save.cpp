// The save command through the window: a briefing built by clicks or opened,
// the save dialog answered by the script, the written file checked byte for
// byte, and what a failed save leaves on disk.
#include "core/writer/BriefingScriptWriter.h"
#include "support/EditorDriver.h"

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

struct Failure {
  QString target; // in the temporary folder, beside old.sqf and the empty locked/
  int error;
  QString lock; // made read-only first
  int tasks;    // created; 256 is one past the limit (5)
  int free;     // on a full file system: bytes left free; -1 not full
  int length;   // characters pasted into the last task's text
};

class tst_save : public QObject {
  Q_OBJECT

private slots:
  void failureLeavesTheDiskAsItWas_data() {
    QTest::addColumn<Failure>("row");
    // clang-format off
    const std::pair<const char*, Failure> rows[] = {
        {"read-only file", {"old.sqf", 70, "old.sqf", 1, -1, 0}},
        {"read-only folder", {"locked/new.sqf", 70, "locked", 1, -1, 0}},
        {"missing folder", {"missing/new.sqf", 76, "", 1, -1, 0}},
        {"folder as file", {"locked", 75, "", 1, -1, 0}},
        {"256 tasks", {"old.sqf", 5, "", 256, -1, 0}},
        // Also when the new script is small enough to sit in a write buffer.
        {"disk full, small briefing", {"old.sqf", 61, "", 1, 0, 10}},
        {"disk full, 4 KB free", {"old.sqf", 61, "", 1, 4096, 10000}},
        // A named pipe made beside them is refused and stays a pipe.
        {"named pipe", {"pipe", 75, "", 1, -1, 0}},
    };
    // clang-format on
    for (const auto& [name, row] : rows)
      QTest::newRow(name) << row;
  }

  // One "Open Error" box; the old file unchanged, nothing created, not even a
  // temporary file; appPath moved to the chosen folder all the same.
  void failureLeavesTheDiskAsItWas() {
    QFETCH(Failure, row);
    const auto& [target, error, lock, tasks, free, length] = row;
#ifdef Q_OS_WIN
    if (target == "pipe")
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
    ed.run("ok cmdOK");

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
      ed.window.reportFailures(
          [standard] { standard ? throw std::length_error("vector too long") : throw 3; });
      QCOMPARE(ed.lastBox(), kOpenError + "51 - Internal error: " +
                                 QString(standard ? "vector too long" : "an unknown failure"));
      QCOMPARE(ed.dialogs.pending(), 0);
    }
  }

  // A text the user did not touch is saved back exactly as it was opened,
  // also where the box cannot show it as it is; typing into it stores what the
  // box shows, with CR LF line breaks.
  void untouchedTextsSaveBackAsOpened_data() {
    QTest::addColumn<QStringList>("row"); // the first task's text in the script, "!" typed at its
    // end or not, the text in the script saved afterwards, and saved again after typing "?"
    const QString nbsp = QStringLiteral("a\u00a0b");
    // clang-format off
    QTest::newRow("lone LF") << QStringList{"a\nb", "", "a\nb", "a\r\nb?"};
    QTest::newRow("lone CR") << QStringList{"a\rb", "", "a\rb", "a\r\nb?"};
    QTest::newRow("CR CR LF") << QStringList{"a\r\r\nb", "", "a\r\r\nb", "a\r\nb?"};
    QTest::newRow("no-break space") << QStringList{nbsp, "", nbsp, nbsp + "?"};
    QTest::newRow("lone LF, typed") << QStringList{"a\nb", "!", "a\r\nb!", "a\r\nb!?"};
    QTest::newRow("CR CR LF, typed") << QStringList{"a\r\r\nb", "!", "a\r\nb!", "a\r\nb!?"};
    QTest::newRow("no-break space, typed") << QStringList{nbsp, "!", nbsp + "!", nbsp + "!?"};
    // clang-format on
  }
  void untouchedTextsSaveBackAsOpened() {
    QFETCH(QStringList, row);
    const QString &text = row[0], &typed = row[1], &saved = row[2], &again = row[3];
    auto script = [](const QString& first) { // side WEST, tasks T0 (this text) and T1 ("y")
      const std::u16string t0 = first.toStdU16String();
      return QByteArray::fromStdString(
          composeBriefingScript({{{Side::West, {}, {{u"T0", t0}, {u"T1", u"y"}}, {}}}, Encoding::Ansi}));
    };
    EditorDriver ed;
    QTemporaryDir dir;
    const QString opened = dir.filePath("opened.sqf"), resaved = dir.filePath("resaved.sqf");
    QFile f(opened);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(script(text)) > 0);
    f.close();
    ed.run("open " + opened);
    ed.type("txtTasks", typed);
    ed.run("pick 1; pick 0; save " + resaved); // stores, loads the other, then back
    QCOMPARE(readFile(resaved), script(saved));
    ed.type("txtTasks", "?"); // the box as saved, then changed: saved with the change
    ed.run("save " + resaved);
    QCOMPARE(readFile(resaved), script(again));
  }
};

QTEST_MAIN(tst_save)
#include "tst_save.moc"
