// The open command through the window: the open dialog answered by the
// script, the work area checked control by control, the file never touched.
#include "QuillfortVersion.h"
#include "script_writer/BriefingScriptWriter.h"
#include "support/EditorDriver.h"

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

class tst_open : public QObject {
  Q_OBJECT
  std::unique_ptr<EditorDriver> ed;
  QTemporaryDir dir;

  // Notes and tasks (title, slot, "*" on the selected), current task, side,
  // enabled controls, caption, then appPath.
  QString workArea() const {
    return ed->state("N | T | cur | side | on | caption") + " | " + ed->window.appPath;
  }

private slots:
  void init() { ed.reset(new EditorDriver); }
  void cleanup() { QCOMPARE(ed->dialogs.pending(), 0); }

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
      return QByteArray::fromStdString(composeBriefingScript(
          {u"WEST", {}, {{u"T0", t0}, {u"T1", u"y"}}, {}, kVersionMajor, kVersionMinor, kVersionPatch}));
    };
    const QString opened = dir.filePath("opened.sqf"), resaved = dir.filePath("resaved.sqf");
    QFile f(opened);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(script(text)) > 0);
    f.close();
    ed->open(opened);
    ed->type("txtTasks", typed);
    ed->run("pick 1; pick 0"); // stores, loads the other, then back
    ed->dialogs.answerSave(resaved);
    ed->click("cmdOK");
    QCOMPARE(readFile(resaved), script(saved));
    ed->type("txtTasks", "?"); // the box as saved, then changed: saved with the change
    ed->dialogs.answerSave(resaved);
    ed->click("cmdOK");
    QCOMPARE(readFile(resaved), script(again));
  }

  void savedBriefingComesBackAndCancelKeepsIt() {
    // Quotes, script text, a typed "<br/>", two tasks of one title and a moved
    // task, so that slots and list positions differ before the save.
    // Picking row 1 stores the typed text: a move would not.
    ed->run(
        "add Take \"the\" hill,Hold,Hold; type \n<br/>createSimpleTask [\"x\"];; cur; pick 1; down; notes");
    ed->addEntries("lstNotes", {"Diary\",[\"Intel", "Weather"});
    const QString path = dir.filePath("briefing.sqf");
    ed->dialogs.answerSave(path);
    ed->click("cmdOK");
    ed->click("cmdSide"); // EAST, to be replaced by the script's WEST

    ed->open(path);
    // Slots are list positions, each list on its first entry, whose text is in its box.
    QCOMPARE(workArea(),
             "N:Diary\",[\"Intel0*,Weather1 | T:Take \"the\" hill0*,Hold1,Hold2 | cur:Hold | side:WEST | "
             "on:cmdEdit cmdDel cmdCurTask txtTasks txtNotes | caption:Quillfort - " +
                 path + " | " + dir.path());
    // The counters are the list lengths; the Tasks page shows; the notes' box holds the first note.
    QCOMPARE(ed->state("taskText | noteText | counts | page | box") + " | " + ed->boxShows("txtNotes"),
             "taskText:take \"the\" hill text,hold text\r\n\r\ncreateSimpleTask [\"x\"];,hold text | "
             "noteText:diary\",[\"intel text,weather text | counts:3,2,0,0 | page:Tasks | "
             "box:take \"the\" hill text | diary\",[\"intel text");

    // The next dialog starts in the file's folder; Cancel there changes nothing.
    const QString before = workArea();
    ed->dialogs.answerOpen({});
    ed->click("cmdOpen");
    QVERIFY((ed->lastAsked().settings ==
             FileDialogSettings{true, dir.path(), 4, "", "SQF Files (*.sqf)|*.sqf|All Files (*.*)|*.*"}));
    QCOMPARE(workArea(), before);
  }

  // The file named on the command line, here relative to the current folder,
  // opens as the same file chosen in the Open dialog does; no file, nothing.
  void fileNamedOnTheCommandLine() {
    const QString path = QDir::toNativeSeparators(QUILLFORT_TEST_DATA "/worked_example.sqf"),
                  fresh = workArea();
    ed->window.openCommandLine({"quillfort"});
    QCOMPARE(workArea(), fresh);
    ed->window.openCommandLine({"quillfort", QDir::current().relativeFilePath(path)});
    const QString named = workArea();
    ed.reset(new EditorDriver);
    ed->open(path);
    QCOMPARE(named, workArea());
  }

  void failingOrForeignScripts_data() {
    // The file under tests/data (read_none is not there), or %1 the folder; notes, tasks,
    // current task, side (EAST before), enabled controls; the message after "Err # ", %1 the path.
    QTest::addColumn<QStringList>("row");
    const QString none = "N: | T: | cur: | side:EAST | on:",
                  tasksOn = "on:cmdEdit cmdDel cmdCurTask txtTasks";
    // clang-format off
    QTest::newRow("missing") << QStringList{"read_none.sqf", none, "53 - File not found: %1"};
    QTest::newRow("too long") << QStringList{"read_tasks_past_32767.sqf", "N:First0*,Second1 | T: | cur: | side:EAST | on:txtNotes", "6 - Overflow: a task record lies past byte 32767 of the script"};
    QTest::newRow("lower-case side") << QStringList{"read_lowercase_side.sqf", "N: | T:T0* | cur:T | side:EAST | " + tasksOn, ""};
    QTest::newRow("current past tasks") << QStringList{"read_current_past_tasks.sqf", "N: | T:T0* | cur: | side:CIVILIAN | " + tasksOn, ""};
    QTest::newRow("notes only") << QStringList{"read_notes_only.sqf", "N:N0* | T: | cur: | side:WEST | on:txtNotes", ""};
    QTest::newRow("4 GiB") << QStringList{"%1/huge.sqf", none, "57 - Device I/O error: the file %1 could not be read (it is larger than 16 MiB, more than any briefing)"};
#ifndef Q_OS_WIN
    // A pipe or device ends in the box before anything is read, and never holds the window.
    const QString special = "75 - Path/File access error: %1 is a %2, not a regular file";
    QTest::newRow("named pipe") << QStringList{"%1/pipe", none, special.arg("%1", "named pipe")};
    QTest::newRow("link to a named pipe") << QStringList{"%1/link.sqf", none, special.arg("%1", "named pipe")};
    QTest::newRow("character device") << QStringList{"/dev/null", none, special.arg("%1", "character device")};
#else
    // Windows keeps named pipes out of folders (\\.\pipe\), where no dialog
    // reaches; its devices are names in every folder, never read.
    QTest::newRow("named pipe") << QStringList{"", none, ""};
    QTest::newRow("device NUL") << QStringList{"%1/NUL", none, "53 - File not found: %1"};
#endif
    // clang-format on
  }

  void failingOrForeignScripts() {
    QFETCH(QStringList, row);
    const QString &file = row[0], &shown = row[1];
    QString error = row[2];
    if (file.isEmpty())
      QSKIP("Windows has no named pipes in folders");
    const QString source = QUILLFORT_TEST_DATA "/" + file;
    const QString path = file.contains('/') ? QString(file).replace("%1", dir.path()) : dir.filePath(file);
    QFile::copy(source, path);
    QFile huge(dir.filePath("huge.sqf")); // refused before it is read; sparse, it takes no room
    QVERIFY(huge.open(QIODevice::ReadWrite) && huge.resize(qint64(4) << 30));
    ed->open(QUILLFORT_TEST_DATA "/read_before.sqf");
#ifndef Q_OS_WIN
    const QString pipe = dir.filePath("pipe");
    QVERIFY(QFile::exists(pipe) || ::mkfifo(QFile::encodeName(pipe).constData(), 0644) == 0);
    QVERIFY(QFile::exists(dir.filePath("link.sqf")) || QFile::link(pipe, dir.filePath("link.sqf")));
    // Held open at both ends, the pipe cannot keep an open command that reads
    // it waiting: that one would find it empty and not say it is a pipe.
    const int reader = ::open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK);
    const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
    QVERIFY(reader >= 0 && writer >= 0);
#endif
    ed->open(path, !error.isEmpty());
#ifndef Q_OS_WIN
    ::close(writer);
    ::close(reader);
#endif
    if (!error.isEmpty()) {
      QCOMPARE(ed->lastBox(), "Open Error|16|The following error has occured:\r\nErr # " +
                                  error.replace("%1", QDir::toNativeSeparators(path)));
    }
    // With no task the Tasks page leaves Edit and Delete off, as the page switch does.
    QCOMPARE(workArea(), shown + " | caption:Quillfort" + (error.isEmpty() ? " - " + path : "") + " | " +
                             QFileInfo(path).absolutePath());
    if (!file.contains('/')) // the script as it was; a pipe is never read
      QCOMPARE(readFile(path), readFile(source));
  }
};

QTEST_MAIN(tst_open)
#include "tst_open.moc"
