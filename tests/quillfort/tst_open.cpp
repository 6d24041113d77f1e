// The open command through the window: the open dialog answered by the
// script, the work area checked control by control, the file never touched.
#include "QuillfortVersion.h"
#include "script_writer/BriefingScriptWriter.h"
#include "support/EditorDriver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <thread>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

static QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no file>");
}

#ifndef Q_OS_WIN
// Guards a step that might wait for ever on a named pipe: if the step has not
// ended after five seconds, this opens the pipe for writing and closes it
// again, which ends any read of it, and notes that it had to.
struct PipeWatchdog {
  explicit PipeWatchdog(const QString& pipe) : name(QFile::encodeName(pipe)) {}
  ~PipeWatchdog() { stop(); }
  bool stop() { // true when the step ended on its own
    done = true;
    if (guard.joinable())
      guard.join();
    return !fired;
  }

  QByteArray name;
  std::atomic<bool> done = false, fired = false;
  std::thread guard{[this] {
    for (int i = 0; i < 500 && !done; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    for (fired = !done; !done; std::this_thread::sleep_for(std::chrono::milliseconds(10)))
      if (const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK); fd >= 0)
        ::close(fd);
  }};
};
#endif

class tst_open : public QObject {
  Q_OBJECT
  std::unique_ptr<EditorDriver> ed;
  QTemporaryDir dir;

  // Clicks Open and chooses path; OK answers the error box when one comes.
  void open(const QString& path, bool failing = false) {
    ed->dialogs.answerOpen(path);
    if (failing)
      ed->dialogs.answerMessage(MsgAnswer::OK);
    ed->click("cmdOpen");
  }
  // Notes, tasks, current task, side, caption and appPath, as the user sees them.
  QStringList workArea() const {
    return {ed->titles("lstNotes").join(","), ed->titles("lstTasks").join(","), ed->curTask(),
            ed->button("cmdSide")->text(),    ed->window.windowTitle(),         ed->window.appPath};
  }

private slots:
  void init() { ed.reset(new EditorDriver); }
  void cleanup() { QCOMPARE(ed->dialogs.pending(), 0); }

  // A text the user did not touch is saved back exactly as it was opened,
  // also where the box cannot show it as it is; typing into it stores what the
  // box shows, with CR LF line breaks.
  void untouchedTextsSaveBackAsOpened_data() {
    QTest::addColumn<QString>("text");   // the first task's text in the script
    QTest::addColumn<QString>("action"); // what the user does in its box
    QTest::addColumn<QString>("saved");  // the text in the script saved afterwards
    const QString nbsp = QStringLiteral("a\u00a0b");
    QTest::newRow("lone LF") << "a\nb"
                             << ""
                             << "a\nb";
    QTest::newRow("lone CR") << "a\rb"
                             << ""
                             << "a\rb";
    QTest::newRow("CR CR LF") << "a\r\r\nb"
                              << ""
                              << "a\r\r\nb";
    QTest::newRow("no-break space") << nbsp << "" << nbsp;
    QTest::newRow("lone LF, typed") << "a\nb"
                                    << "type"
                                    << "a\r\nb!";
    QTest::newRow("CR CR LF, typed") << "a\r\r\nb"
                                     << "type"
                                     << "a\r\nb!";
    QTest::newRow("no-break space, typed") << nbsp << "type" << nbsp + "!";
  }
  void untouchedTextsSaveBackAsOpened() {
    QFETCH(QString, text);
    QFETCH(QString, action);
    QFETCH(QString, saved);
    auto script = [](const QString& first) {
      const std::u16string t0 = first.toStdU16String(), t1 = u"y";
      BriefingSnapshot s;
      s.side = u"WEST";
      s.tasks = {{u"T0", t0}, {u"T1", t1}};
      s.versionMajor = kVersionMajor;
      s.versionMinor = kVersionMinor;
      s.versionPatch = kVersionPatch;
      const std::string bytes = composeBriefingScript(s);
      return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    };
    const QString opened = dir.filePath("opened.sqf"), resaved = dir.filePath("resaved.sqf");
    QFile f(opened);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(script(text)) > 0);
    f.close();
    open(opened);
    if (!action.isEmpty())
      ed->type("txtTasks", "!");
    ed->selectRow("lstTasks", 1); // stores, loads the other, then back
    ed->selectRow("lstTasks", 0);
    ed->dialogs.answerSave(resaved);
    ed->click("cmdOK");
    QCOMPARE(readFile(resaved), script(saved));
  }

  void savedBriefingComesBackAndCancelKeepsIt() {
    // Quotes, script text, a typed "<br/>", two tasks of one title and a moved
    // task, so that slots and list positions differ before the save.
    ed->addEntries("lstTasks", {"Take \"the\" hill", "Hold", "Hold"});
    ed->type("txtTasks", "\n<br/>createSimpleTask [\"x\"];");
    ed->click("cmdCurTask");
    ed->selectRow("lstTasks", 1); // stores the text: a move would not
    ed->click("cmdDown");
    ed->showPage(1);
    ed->addEntries("lstNotes", {"Diary\",[\"Intel", "Weather"});
    const QString path = dir.filePath("briefing.sqf");
    ed->dialogs.answerSave(path);
    ed->click("cmdOK");
    ed->click("cmdSide"); // EAST, to be replaced by the script's WEST

    open(path);
    QCOMPARE(workArea(), (QStringList{"Diary\",[\"Intel,Weather", "Take \"the\" hill,Hold,Hold", "Hold",
                                      "WEST", "Quillfort - " + path, dir.path()}));
    QCOMPARE(ed->window.taskText, (QStringList{"take \"the\" hill text",
                                               "hold text\r\n\r\ncreateSimpleTask [\"x\"];", "hold text"}));
    QCOMPARE(ed->window.noteText, (QStringList{"diary\",[\"intel text", "weather text"}));
    // Slots are list positions, the counters list lengths; the Tasks page
    // shows, each list on its first entry, whose text is in its box.
    QCOMPARE(ed->slotsOf("lstTasks") + ed->slotsOf("lstNotes"), (QList<int>{0, 1, 2, 0, 1}));
    QCOMPARE(
        (QList<int>{ed->window.taskSlotCount, ed->window.noteSlotCount, ed->list("lstBriefing")->currentRow(),
                    ed->list("lstTasks")->currentRow(), ed->list("lstNotes")->currentRow()}),
        (QList<int>{3, 2, 0, 0, 0}));
    QCOMPARE(ed->boxShows("txtTasks") + "|" + ed->boxShows("txtNotes"),
             "take \"the\" hill text|diary\",[\"intel text");
    QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "cmdCurTask", "txtTasks", "txtNotes"}, true));

    // The next dialog starts in the file's folder; Cancel there changes nothing.
    const QStringList before = workArea();
    ed->dialogs.cancelOpen();
    ed->click("cmdOpen");
    QVERIFY((ed->lastAsked().settings ==
             FileDialogSettings{true, dir.path(), 4, "", "SQF Files (*.sqf)|*.sqf|All Files (*.*)|*.*"}));
    QCOMPARE(workArea(), before);
  }

  void failingOrForeignScripts_data() {
    // Each row names a file under tests/data; read_none is not there.
    QTest::addColumn<QStringList>("shown"); // notes, tasks, current task, side (EAST before)
    QTest::addColumn<QString>("error");     // the message after "Err # "; %1 the path
    QTest::newRow("read_none") << QStringList{"", "", "", "EAST"} << "53 - File not found: %1";
    QTest::newRow("read_tasks_past_32767")
        << QStringList{"First,Second", "", "", "EAST"}
        << "6 - Overflow: a task record lies past byte 32767 of the script";
    QTest::newRow("read_lowercase_side") << QStringList{"", "T", "T", "EAST"} << "";
    QTest::newRow("read_current_past_tasks") << QStringList{"", "T", "", "CIVILIAN"} << "";
    QTest::newRow("read_notes_only") << QStringList{"N", "", "", "WEST"} << "";
  }

  void failingOrForeignScripts() {
    QFETCH(QStringList, shown);
    QFETCH(QString, error);
    const QString file = QTest::currentDataTag() + QString(".sqf"), source = QUILLFORT_TEST_DATA "/" + file;
    const QString path = dir.filePath(file);
    QFile::copy(source, path);
    open(QUILLFORT_TEST_DATA "/read_before.sqf");
    open(path, !error.isEmpty());
    if (!error.isEmpty()) {
      QCOMPARE(ed->lastAsked().title + " " + QString::number(ed->lastAsked().style), "Open Error 16");
      QCOMPARE(ed->lastAsked().prompt, "The following error has occured:\r\nErr # " +
                                           error.replace("%1", QDir::toNativeSeparators(path)));
    }
    QCOMPARE(workArea(), shown << (error.isEmpty() ? "Quillfort - " + path : "Quillfort") << dir.path());
    // With no task the Tasks page leaves Edit and Delete off, as the page switch does.
    QVERIFY(ed->enabledAre({"cmdEdit", "cmdDel", "cmdCurTask", "txtTasks"}, !shown[1].isEmpty()));
    QCOMPARE(ed->box("txtNotes")->isEnabled(), !shown[0].isEmpty());
    QCOMPARE(readFile(path), readFile(source));
  }

  void specialFilesAreNotRead_data() {
    QTest::addColumn<QString>("path"); // %1 the temporary folder, which holds the pipe "pipe"
    QTest::addColumn<QString>("kind");
    QTest::newRow("named pipe") << "%1/pipe"
                                << "a named pipe";
    QTest::newRow("link to a named pipe") << "%1/link.sqf"
                                          << "a named pipe";
    QTest::newRow("character device") << "/dev/null"
                                      << "a character device";
  }

  // A pipe or device ends in the "Open Error" box before anything is read,
  // with the work area emptied as for any failure, and never holds the window.
  void specialFilesAreNotRead() {
#ifdef Q_OS_WIN
    QSKIP("Windows has no named pipes or devices in its folders");
#else
    QFETCH(QString, path);
    QFETCH(QString, kind);
    path = path.arg(dir.path());
    const QByteArray pipe = QFile::encodeName(dir.filePath("pipe"));
    QVERIFY(QFile::exists(dir.filePath("pipe")) || ::mkfifo(pipe.constData(), 0644) == 0);
    QVERIFY(QFile::exists(dir.filePath("link.sqf")) ||
            QFile::link(dir.filePath("pipe"), dir.filePath("link.sqf")));
    open(QUILLFORT_TEST_DATA "/read_before.sqf");
    const QString side = ed->button("cmdSide")->text();

    PipeWatchdog watchdog(dir.filePath("pipe"));
    open(path, true);
    QVERIFY2(watchdog.stop(), "the open command waited on the pipe");
    QCOMPARE(ed->lastAsked().title + " " + QString::number(ed->lastAsked().style), "Open Error 16");
    QCOMPARE(ed->lastAsked().prompt,
             "The following error has occured:\r\nErr # 75 - Path/File access error: " + path + " is " +
                 kind + ", not a regular file");
    QCOMPARE(workArea(), (QStringList{"", "", "", side, "Quillfort", QFileInfo(path).absolutePath()}));
    struct stat info {};
    QVERIFY(::stat(pipe.constData(), &info) == 0 && S_ISFIFO(info.st_mode));
#endif
  }
};

QTEST_MAIN(tst_open)
#include "tst_open.moc"
