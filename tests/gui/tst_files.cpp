// The file commands through the window: Save, Open and Import with their
// dialogs answered as each row says, the written file checked byte for byte,
// the script's encoding shown and chosen; and what a failed save leaves on
// disk.
#include "core/writer/BriefingScriptWriter.h"
#include "support/EditorDriver.h"

#include <stdexcept>

#ifndef Q_OS_WIN
#include <cerrno>
#include <cstring>
#include <fcntl.h>
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
static const QString kOpenError = QStringLiteral("The following error has occured:\r\nErr # ");

struct Failure {
  QString target; // in the temporary folder, beside old.sqf and the empty locked/
  int error;
  QString lock; // made read-only first
  int tasks;    // created; 256 is one past the limit (5)
  int free;     // on a full file system: bytes left free; -1 not full
  int length;   // characters pasted into the last task's text
};

class tst_files : public QObject {
  Q_OBJECT
  QTemporaryDir scripts;                  // %1 in the rows
  std::pair<int, int> m_pipeEnds{-1, -1}; // a named pipe among the scripts, held open at both ends
  const QString data = QStringLiteral(QUILLFORT_TEST_DATA);
  const QString app = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());

  void check() {
    QFETCH(Row, row);
    EditorDriver ed;
    ed.check(row, scripts.path());
  }
  // An "Open Error" box with the error's number and description, %N the
  // folder of scripts and a separator in the system's own form.
  QString openError(const QString& error) const {
    return "Open Error: " + kOpenError + QString(error).replace("%N", QDir::toNativeSeparators(scripts.path() + '/')) +
           " [16]";
  }

private slots:
  void initTestCase() {
#ifdef Q_OS_WIN
    const char* names[] = {"sub/x.sqf"};
#else
    const char* names[] = {"back\\slash.sqf", "brief[*]ing.sqf"};
#endif
    for (const char* name : names)
      QVERIFY(QDir().mkpath(scripts.filePath("sub")) &&
              QFile::copy(QUILLFORT_TEST_DATA "/worked_example.sqf", scripts.filePath(name)));
    for (const char* name : {"mission1", "mission2", "mission3", "mission4", "old.sqf"}) // older, longer scripts
      QVERIFY(QFile::copy(kOld, scripts.filePath(name)));
    QFile huge(scripts.filePath("huge.sqf")); // refused before it is read; sparse, it takes no room
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(4) << 30));
#ifndef Q_OS_WIN
    // Held open at both ends, the pipe cannot keep an open command that reads
    // it waiting: that one would find it empty and not say it is a pipe.
    const QByteArray pipe = QFile::encodeName(scripts.filePath("pipe"));
    QVERIFY(::mkfifo(pipe.constData(), 0644) == 0 && QFile::link(pipe, scripts.filePath("link.sqf")));
    m_pipeEnds = {::open(pipe.constData(), O_RDONLY | O_NONBLOCK), ::open(pipe.constData(), O_WRONLY | O_NONBLOCK)};
    QVERIFY(m_pipeEnds.first >= 0 && m_pipeEnds.second >= 0);
#endif
  }
  void cleanupTestCase() {
    for (const int end : {m_pipeEnds.first, m_pipeEnds.second}) // none on Windows
      end < 0 || ::close(end);
  }

  // Saved over a longer script whose name has no extension, each entry with
  // its own text in list order, what is still in a box included, also when
  // the other list is empty; the chosen folder is the next dialog's, a
  // cancelled dialog's is not. A dialog that cannot come up ends the command
  // quietly.
  void save_data() {
    const QString dialog = "Save in " + app + ", flags 2050";
    addRows({
        {"nothing to save", {{{"ok", "click cmdOK"}, {.asked = "Save Briefing: Nothing to save! [0]"}}}},
        {"Cancel", {{{"add A"}, {}}, {{"file save cancel", "click cmdOK"}, {.path = app, .asked = dialog}}}},
        {"the save dialog fails",
         {{{"add Hold"}, {}}, {{"file save broken", "click cmdOK"}, {.tasks = "Hold0*", .box = "hold text", .asked = dialog}}}},
        {"the typed line still in the box",
         {{{"add Take the bridge,Hold the town", "click cmdCurTask", "click cmdSide", "page Notes", "add Intel",
            "type \"\nLine two\"", "save %1/mission1"},
           {.path = "%1", .saved = "saved_by_clicks.sqf"}}}},
        {"after edits: A's text stays behind, unreachable",
         {{{"add A,B,C", "pick 1", "rename Bravo", "pick 0", "yes", "click cmdDel", "pick 1", "click cmdCurTask",
            "click cmdUp", "page Notes", "add N1,N2", "type \", still in the box\"", "save %1/mission2"},
           {.saved = "editor_after_edits.sqf"}}}},
        {"notes only", {{{"page Notes", "create First", "create Second", "pick 1", "type Radio silence.",
                          "save %1/mission3"},
                         {.saved = "notes_only_west.sqf"}}}},
        {"tasks only", {{{"create Evacuate", "type Leave by boat.", "click cmdSide", "click cmdSide", "click cmdSide",
                          "save %1/mission4"},
                         {.saved = "tasks_only_civilian.sqf"}}}},
        // A saved briefing comes back: quotes, script text, a typed "<br/>",
        // two tasks of one title and a moved task, so that slots and list
        // positions differ before the save. Opened, slots are list positions,
        // each list on its first entry; the next dialog starts in the file's
        // folder, and Cancel there changes nothing.
        {"saved, opened, Cancel",
         {{{"add Take \"the\" hill,Hold,Hold", "type \"\n<br/>createSimpleTask [\"x\"];\"", "click cmdCurTask",
            "pick 1", "click cmdDown", "page Notes", "create Diary\",[\"Intel", "pick 0", "type diary\",[\"intel text",
            "add Weather", "save %1/briefing.sqf", "click cmdSide", "open %1/briefing.sqf"},
           {.tasks = "Take \"the\" hill0*, Hold1, Hold2", .notes = "Diary\",[\"Intel0*, Weather1", .boxes = "take \"the\" hill text / diary\",[\"intel text", .current = "Hold", .side = "WEST", .page = "Tasks", .enabled = "cmdEdit cmdDel cmdCurTask txtTasks txtNotes", .taskText = "take \"the\" hill text | hold text\r\n\r\ncreateSimpleTask [\"x\"]; | hold text", .noteText = "diary\",[\"intel text | weather text", .counts = "3 2 0 0", .caption = "Quillfort - %1/briefing.sqf", .path = "%1"}},
          {{"file open cancel", "click cmdOpen"},
           {.tasks = "Take \"the\" hill0*, Hold1, Hold2", .caption = "Quillfort - %1/briefing.sqf", .asked = "Open in %1, flags 4"}}}},
        // Several sides whose last block the reader could not reach: refused
        // before anything is written, every side still there.
        {"several sides past the limit",
         {{{"add Hold", "key cmdSide Ctrl+2", "page Notes", "create Intel", "paste 33000 x"}, {}},
          {{"ok", "save %1/old.sqf"},
           {.side = "EAST", .asked = dialog + " / " + openError("6 - Overflow: the script would be 33,614 "
                                                                             "bytes, and the EAST briefing would end at "
                                                                             "byte 33,359, past byte 32,767, where the "
                                                                             "script could no longer be opened in full: "
                                                                             "shorten its texts or save the sides in "
                                                                             "scripts of their own"), .saved = "old_briefing.sqf", .sideButtons = "WEST (1), EAST*, RESISTANCE, CIVILIAN, GAME MASTER"}}}},
    });
  }
  void save() { check(); }

  // A new briefing is UTF-8, what the game reads; Open takes the file's
  // encoding (ASCII, the same bytes either way, goes on as UTF-8); the choice
  // is the user's too, with the mouse or the keys. Typed in German, Polish or
  // Russian, a briefing saves as valid UTF-8 holding the text as typed, and
  // opens and saves again byte for byte.
  void encoding_data() {
    const QString utf8 = "Encoding: UTF-8 (what the game reads)", ansi = "Encoding: ANSI (Windows-1252)";
    const auto typed = [&](const char* name, const QStringList& steps, const char* file) {
      return Row{name, {{steps + QStringList{"save %1/typed.sqf"}, {.saved = file, .encoding = utf8}},
                        {{"open %1/typed.sqf", "save %1/again.sqf"}, {.saved = file, .encoding = utf8}}}};
    };
    addRows({
        {"a new briefing", {{{"page Tasks"}, {.encoding = utf8}}}},
        typed("German", {"create Brücke halten", "type \"Die Brücke über den Fluß\nbis zum Morgen halten.\"",
                         "click cmdCurTask"}, "typed_german.sqf"),
        typed("Polish", {"click cmdSide", "create Główne zadanie", "type \"Zająć most na rzece.\nŁączność co godzinę.\"",
                         "click cmdCurTask"}, "typed_polish.sqf"),
        typed("Russian", {"click cmdSide", "click cmdSide", "create Задача",
                          "type \"Удерживать мост до рассвета.\nСвязь каждый час.\"", "click cmdCurTask"},
              "typed_russian.sqf"),
        {"an ANSI script opens as ANSI and saves byte for byte",
         {{{"open " + data + "/texts_and_quotes.sqf", "save %1/ansi.sqf"},
           {.saved = "texts_and_quotes.sqf", .encoding = ansi}},
          {{"yes", "click cmdClear"}, {.encoding = utf8}}}},
        {"an ASCII script goes on in UTF-8", {{{"open " + data + "/worked_example.sqf"}, {.encoding = utf8}}}},
        {"ANSI chosen by the keys: a character the code page lacks fails the save",
         {{{"key cboEncoding Down", "create Задача", "ok", "save %1/old.sqf"},
           {.asked = "Create Task: Enter the task to create: [0] / Save in " + app + ", flags 2050 / " +
                     openError("5 - The character U+0417 \"З\" in the title of task 1 cannot be written in the code "
                               "page Windows-1252: UTF-8, the script's other encoding, holds it"), .saved = "old_briefing.sqf", .encoding = ansi}},
          {{"key cboEncoding Up", "save %1/ru.sqf"}, {.encoding = utf8}}}},
        {"UTF-8: half of a surrogate pair fails the save",
         {{{"create A", "paste 1 U+D800", "ok", "save %1/old.sqf"},
           {.asked = "Create Task: Enter the task to create: [0] / Save in " + app + ", flags 2050 / " +
                     openError("5 - The character U+D800 in the text of task 1 cannot be written in UTF-8: it is "
                               "half of a pair of UTF-16 units, the other half of which is missing"), .saved = "old_briefing.sqf"}}}},
    });
  }
  void encoding() { check(); }

  // A failed open leaves the window's briefing empty (EAST was the script's
  // before) and a caption naming no file, the next dialog in the file's
  // folder, and every other side's briefing as it was; a pipe or device ends
  // in the box before anything is read, and never holds the window.
  void open_data() {
    const QString before = "open " + data + "/read_before.sqf";
    const Shown failed = {.tasks = "", .notes = "", .current = "", .side = "EAST", .enabled = "", .caption = "Quillfort", .path = "%1"};
    const auto failing = [&](const char* name, const QString& file, const QString& error) {
      Shown shown = failed;
      shown.asked = "Open in " + data + ", flags 4 / " + openError(error);
      return Row{name, {{{before}, {}}, {{"ok", "open " + file}, shown}}};
    };
    const auto opened = [&](const char* file) { return "Quillfort - " + data + "/" + file; };
    const QString tasksOn = "cmdEdit cmdDel cmdCurTask txtTasks";
    addRows({
        failing("missing", "%1/read_none.sqf", "53 - File not found: %Nread_none.sqf"),
        failing("4 GiB", "%1/huge.sqf",
                "57 - Device I/O error: the file %Nhuge.sqf could not be read (it is larger than 16 MiB, more than "
                "any briefing)"),
#ifndef Q_OS_WIN
        failing("named pipe", "%1/pipe", "75 - Path/File access error: %Npipe is a named pipe, not a regular file"),
        failing("link to a named pipe", "%1/link.sqf",
                "75 - Path/File access error: %Nlink.sqf is a named pipe, not a regular file"),
#else
        // Windows keeps named pipes out of folders (\\.\pipe\), where no
        // dialog reaches; its devices are names in every folder, never read.
        failing("device NUL", "%1/NUL", "53 - File not found: %NNUL"),
#endif
        {"too long: the notes loaded",
         {{{before, "ok", "open " + data + "/read_tasks_past_32767.sqf"},
           {.tasks = "", .notes = "First0*, Second1", .current = "", .side = "EAST", .enabled = "txtNotes", .caption = "Quillfort"}}}},
        {"a lower-case side letter", {{{before, "open " + data + "/read_lowercase_side.sqf"},
                                        {.tasks = "T0*", .notes = "", .current = "T", .side = "EAST", .enabled = tasksOn, .caption = opened("read_lowercase_side.sqf"), .path = data}}}},
        {"a current task past the tasks", {{{before, "open " + data + "/read_current_past_tasks.sqf"},
                                             {.tasks = "T0*", .current = "", .side = "CIVILIAN", .enabled = tasksOn}}}},
        {"notes only", {{{"create T", "open " + data + "/read_notes_only.sqf"},
                         {.tasks = "", .notes = "N0*", .side = "WEST", .enabled = "txtNotes", .caption = opened("read_notes_only.sqf")}}}},
        {"a failed open keeps the other sides",
         {{{"add Hold", "key cmdSide Ctrl+2", "create Intel", "ok", "open %1/read_none.sqf"},
           {.tasks = "", .side = "EAST", .sideButtons = "WEST (1), EAST*, RESISTANCE, CIVILIAN, GAME MASTER"}}}},
        // The chosen file's folder is the next dialog's; the caption names
        // the file as it is.
#ifdef Q_OS_WIN
        {"a file in the root of C:", {{{"ok", "open C:\\quillfort-none.sqf"}, {.caption = "Quillfort", .path = "C:"}}}},
        {"a folder in the name", {{{"open %1/sub\\x.sqf"}, {.caption = "Quillfort - %1/sub\\x.sqf", .path = "%1/sub"}}}},
#else
        {"a file in the root folder", {{{"ok", "open /quillfort-none.sqf"}, {.caption = "Quillfort", .path = "/"}}}},
        {"a backslash in the name", {{{"open %1/back\\slash.sqf"}, {.caption = "Quillfort - %1/back\\slash.sqf", .path = "%1"}}}},
        {"[*] in the name", {{{"open %1/brief[*]ing.sqf"}, {.caption = "Quillfort - %1/brief[*]ing.sqf"}}}},
#endif
        // A line the writer would not write shows in the preview's check.
        {"a bare quote", {{{"open " + data + "/bare_quote.sqf", "preview"},
                           {.findings = "warning: the script's line 16, column 40: Line 16 is not as Quillfort writes "
                                        "it: a bare double quote ends the string here, and the game cannot parse this "
                                        "line"}}}},
        // The file named on the command line, here relative to the current
        // folder, opens as the same file chosen in the Open dialog does.
        {"command line: no file", {{{"argv"}, {.tasks = "", .caption = "Quillfort"}}}},
        {"command line: a file",
         {{{"argv " + QDir::current().relativeFilePath(data + "/worked_example.sqf")},
           {.tasks = "Take the bridge0*, Hold the town1", .notes = "Intel0*", .current = "Hold the town", .side = "EAST", .caption = "Quillfort - " + QDir::toNativeSeparators(data + "/worked_example.sqf"), .path = QDir::toNativeSeparators(data)}}}},
    });
  }
  void open() { check(); }

  // A hand-written briefing.sqf comes into the window as a new, unnamed
  // briefing in the order the game shows it, each side's; what was left out
  // shows in the preview's check; the file itself is only read.
  void import_data() {
    const QString file = data + "/import/task_framework.sqf";
    addRows({
        {"two sides, the task framework",
         {{{"import " + file},
           {.tasks = "Survive0*, Extract1, Destroy the radar2", .notes = "Mission0*, Rules1", .current = "Destroy the radar", .side = "WEST", .caption = "Quillfort [WEST]", .path = data + "/import", .encoding = "Encoding: UTF-8 (what the game reads)", .sideButtons = "WEST*, EAST (4), RESISTANCE, CIVILIAN, GAME MASTER", .findings = "left out: the script's line 15, column 2: the task's marker (Quillfort's tasks have none) / "
                        "left out: the script's line 15, column 2: the task's destination (Quillfort's tasks have "
                        "none) / left out: the script's line 17, column 2: the parent task (the task is imported as "
                        "one of its own)"}},
          {{"save %1/imported.sqf", "yes", "click cmdClear", "open %1/imported.sqf"},
           {.tasks = "Survive0*, Extract1, Destroy the radar2", .notes = "Mission0*, Rules1", .current = "Destroy the radar", .sideButtons = "WEST*, EAST (4), RESISTANCE, CIVILIAN, GAME MASTER"}}}},
        {"nothing to import", {{{"ok", "import " + data + "/read_empty.sqf"},
                                {.tasks = "", .asked = "Open in " + app + ", flags 4 / " +
                                                       openError("5 - Invalid procedure call or argument: the file holds no note and no task that Quillfort can import")}}}},
        {"Cancel", {{{"create T", "file open cancel", "click cmdImport"}, {.tasks = "T0*"}}}},
    });
  }
  void import() { check(); }

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
      ed.run("create " + QString::number(i));
    if (length > 0)
      ed.run(QStringLiteral("paste %1 w").arg(length));
    ed.run("ok");
    ed.run("save " + dir.filePath(target));

    const QString box = ed.dialogs.requests.constLast().prompt;
    QCOMPARE(box.section(" - ", 0, 0), kOpenError + QString::number(error));
    if (free >= 0)
      QCOMPARE(box, kOpenError + "61 - Disk full: there is no room left to write the file " +
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
      QCOMPARE(ed.dialogs.requests.constLast().prompt,
               kOpenError + "51 - Internal error: " + QString(standard ? "vector too long" : "an unknown failure"));
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
    if (!typed.isEmpty())
      ed.run("type " + typed);
    for (const QString step : {QString("pick 1"), QString("pick 0"), "save " + resaved}) // stores, loads, back
      ed.run(step);
    QCOMPARE(readFile(resaved), script(saved));
    ed.run("type ?"); // the box as saved, then changed: saved with the change
    ed.run("save " + resaved);
    QCOMPARE(readFile(resaved), script(again));
  }
};

QTEST_MAIN(tst_files)
#include "tst_files.moc"
