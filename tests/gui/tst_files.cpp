// The file commands through the window: Save, Open and Import with their
// dialogs answered as each row says, the written file checked byte for byte,
// the script's encoding shown and chosen; and what a failed save leaves on
// disk.
#include "support/EditorDriver.h"

#include <memory>
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

// A script of an older, longer briefing, saved over in the tests.
static const QString kOld = QStringLiteral(QUILLFORT_TEST_DATA "/old_briefing.sqf");
static const QString kOpenError = QStringLiteral("The following error has occured:\r\nErr # ");

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
  // An "Open Error" box with the error's number and description.
  static QString openError(const QString& error) {
    return "Open Error: " + kOpenError + error + " [Critical]";
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
    for (const char* name : {"mission1", "mission2", "old.sqf"}) // older, longer scripts
      QVERIFY(QFile::copy(kOld, scripts.filePath(name)));
#ifndef Q_OS_WIN
    // Held open at both ends, the pipe cannot keep an open command that reads
    // it waiting: that one would find it empty and not say it is a pipe.
    const QByteArray pipe = QFile::encodeName(scripts.filePath("pipe"));
    QVERIFY(::mkfifo(pipe.constData(), 0644) == 0 && QFile::link(pipe, scripts.filePath("link.sqf")));
    m_pipeEnds = {::open(pipe.constData(), O_RDONLY | O_NONBLOCK),
                  ::open(pipe.constData(), O_WRONLY | O_NONBLOCK)};
    QVERIFY(m_pipeEnds.first >= 0 && m_pipeEnds.second >= 0);
#endif
  }
  void cleanupTestCase() {
#ifndef Q_OS_WIN
    for (const int end : {m_pipeEnds.first, m_pipeEnds.second})
      end < 0 || ::close(end);
#endif
  }

  // Saved over a longer script whose name has no extension, each entry with
  // its own text in list order, what is still in a box included; the chosen
  // folder is the next dialog's, a cancelled dialog's is not. A dialog that cannot come up ends the command
  // quietly.
  void save_data() {
    const QString dialog = "Save in " + app + ", OverwritePrompt | PathMustExist";
    addRows({
        {"nothing to save", {{{"ok", "click cmdOK"}, {.asked = "Save Briefing: Nothing to save! [OKOnly]"}}}},
        {"Cancel: the folder stays",
         {{{"create A"}, {}}, {{"file save cancel", "click cmdOK"}, {.path = app, .asked = dialog}}}},
        {"the save dialog fails", {{{"create A", "file save broken", "click cmdOK"}, {.tasks = "[A]"}}}},
        {"the typed line still in the box",
         {{{"add Take the bridge,Hold the town", "click cmdCurTask", "click cmdSide", "page Notes",
            "add Intel", "type \"\nLine two\"", "save %1/mission1"},
           {.path = "%1", .saved = "saved_by_clicks.sqf"}}}},
        {"after edits: a deleted entry's text stays behind, unreachable",
         {{{"add A,B,C", "pick 1", "rename Bravo", "pick 0", "yes", "click cmdDel", "pick 1",
            "click cmdCurTask", "click cmdUp", "page Notes", "add N1,N2", "type \", still in the box\"",
            "save %1/mission2"},
           {.saved = "editor_after_edits.sqf"}}}},
        // Quotes, script text, a typed "<br/>", two tasks of one title and a
        // moved task, so that slots and list positions differ before the
        // save. Opened, slots are list positions, each list on its first
        // entry; the next dialog starts in the file's folder.
        {"saved, opened, Cancel",
         {{{"add Take \"the\" hill,Hold,Hold", "type \"\n<br/>createSimpleTask [\"x\"];\"",
            "click cmdCurTask", "pick 1", "click cmdDown", "page Notes", "create Diary\",[\"Intel", "pick 0",
            "type diary\",[\"intel text", "save %1/briefing.sqf", "click cmdSide", "open %1/briefing.sqf"},
           {.tasks = "[Take \"the\" hill], Hold, Hold",
            .notes = "[Diary\",[\"Intel]",
            .taskSlots = "0 1 2",
            .boxes = "take \"the\" hill text / diary\",[\"intel text",
            .current = "Hold",
            .side = "WEST",
            .taskText = "take \"the\" hill text | hold text\r\n\r\ncreateSimpleTask [\"x\"]; | hold text",
            .caption = "Quillfort - %1/briefing.sqf"}},
          {{"file open cancel", "click cmdOpen"},
           {.tasks = "[Take \"the\" hill], Hold, Hold", .asked = "Open in %1, HideReadOnly"}}}},
        // Several sides whose last block the reader could not reach: refused
        // before anything is written, every side still there.
        {"several sides past the limit",
         {{{"create Hold", "key cmdSide Ctrl+2", "page Notes", "create Intel", "paste 33000 x"}, {}},
          {{"ok", "save %1/old.sqf"},
           {.asked = dialog + " / " +
                     openError(
                         "6 - Overflow: the script would be 33,605 bytes, and the EAST briefing would end at "
                         "byte 33,350, past byte 32,767, where the script could no longer be opened in "
                         "full: shorten its texts or save the sides in scripts of their own"),
            .saved = "old_briefing.sqf",
            .sideButtons = "WEST (1), EAST*, RESISTANCE, CIVILIAN, GAME MASTER"}}}},
    });
  }
  void save() { check(); }

  // A new briefing is UTF-8, what the game reads; Open takes the file's
  // encoding (UTF-8 only where a byte from 0x80 up says so); the choice is
  // the user's too. Typed in German, Polish or Russian, a briefing
  // saves as valid UTF-8 holding the text as typed, and opens and saves
  // again byte for byte.
  void encoding_data() {
    const QString utf8 = "Encoding: UTF-8 (what the game reads)", ansi = "Encoding: ANSI (Windows-1252)";
    const QString asked = "Create Task: Enter the task to create: [input] / Save in " + app +
                          ", OverwritePrompt | PathMustExist / ";
    const auto typed = [&](const char* name, const QStringList& steps, const char* file) {
      return Row{name,
                 {{steps + QStringList{"save %1/typed.sqf"}, {.saved = file, .encoding = utf8}},
                  {{"open %1/typed.sqf", "save %1/again.sqf"}, {.saved = file, .encoding = utf8}}}};
    };
    addRows({
        typed("German",
              {"create Brücke halten", "type \"Die Brücke über den Fluß\nbis zum Morgen halten.\"",
               "click cmdCurTask"},
              "typed_german.sqf"),
        typed("Polish",
              {"click cmdSide", "create Główne zadanie",
               "type \"Zająć most na rzece.\nŁączność co godzinę.\"", "click cmdCurTask"},
              "typed_polish.sqf"),
        typed("Russian",
              {"click cmdSide", "click cmdSide", "create Задача",
               "type \"Удерживать мост до рассвета.\n\"",
               "type Связь каждый час.", "click cmdCurTask"},
              "typed_russian.sqf"),
        {"an ANSI script opens and saves as ANSI; Clear makes UTF-8 again",
         {{{"open " + data + "/texts_and_quotes.sqf", "save %1/ansi.sqf"},
           {.saved = "texts_and_quotes.sqf", .encoding = ansi}},
          {{"yes", "click cmdClear"}, {.encoding = utf8}}}},
        {"an ASCII script opens in ANSI, as it was written",
         {{{"open " + data + "/worked_example.sqf"}, {.encoding = ansi}}}},
        {"ANSI chosen with the keys: a character the code page lacks fails the save",
         {{{"key cboEncoding Down", "create Задача", "ok", "save %1/old.sqf"},
           {.asked =
                asked + openError("5 - The character U+0417 \"З\" in the title of task 1 cannot be written "
                                  "in the code page Windows-1252: UTF-8, the script's other encoding, holds "
                                  "it"),
            .saved = "old_briefing.sqf",
            .encoding = ansi}}}},
    });
  }
  void encoding() { check(); }

  // A failed open leaves the window's briefing empty (EAST was the script's
  // before) and a caption naming no file, the next dialog in the file's
  // folder, and every other side's briefing as it was; a pipe or device ends
  // in the box before anything is read, and never holds the window.
  void open_data() {
    const QString before = "open " + data + "/read_before.sqf";
    const auto failing = [&](const char* name, const QString& file, const QString& error) {
      return Row{name,
                 {{{before}, {}},
                  {{"ok", "open " + file},
                   {.tasks = "",
                    .notes = "",
                    .side = "EAST",
                    .enabled = "",
                    .caption = "Quillfort",
                    .path = "%1",
                    .asked = "Open in " + data + ", HideReadOnly / " + openError(error)}}}};
    };
    addRows({
        failing("missing", "%1/read_none.sqf", "53 - File not found: %Nread_none.sqf"),
#ifndef Q_OS_WIN
        failing("a link to a named pipe", "%1/link.sqf",
                "75 - Path/File access error: %Nlink.sqf is a named pipe, not a regular file"),
#else
        // Windows keeps named pipes out of folders (\\.\pipe\), where no
        // dialog reaches; its devices are names in every folder, never read.
        failing("device NUL", "%1/NUL", "53 - File not found: %NNUL"),
#endif
        {"too long: the notes loaded",
         {{{before, "ok", "open " + data + "/read_tasks_past_32767.sqf"},
           {.tasks = "",
            .notes = "[First], Second",
            .current = "",
            .enabled = "txtNotes",
            .caption = "Quillfort"}}}},
        {"a failed open keeps the other sides",
         {{{"create Hold", "key cmdSide Ctrl+2", "create Intel", "ok", "open %1/read_none.sqf"},
           {.tasks = "", .sideButtons = "WEST (1), EAST*, RESISTANCE, CIVILIAN, GAME MASTER"}}}},
    // The chosen file's folder is the next dialog's; the caption names the
    // file as it is.
#ifdef Q_OS_WIN
        {"a file in the root of C:",
         {
           { {"ok", "open C:\\quillfort-none.sqf"},
             {.path = "C:" } }
         }},
        {"a folder in the name",
         {
           { {"open %1/sub\\x.sqf"},
             {.caption = "Quillfort - %1/sub\\x.sqf",
              .path = "%1/sub" } }
         }},
#else
        {"a file in the root folder", {{{"ok", "open /quillfort-none.sqf"}, {.path = "/"}}}},
        {"a backslash and [*] in the name",
         {{{"open %1/back\\slash.sqf"}, {.caption = "Quillfort - %1/back\\slash.sqf", .path = "%1"}},
          {{"open %1/brief[*]ing.sqf"}, {.caption = "Quillfort - %1/brief[*]ing.sqf"}}}},
#endif
        // A line the writer would not write shows in the preview's check.
        {"a bare quote",
         {{{"open " + data + "/bare_quote.sqf", "preview"},
           {.findings = "warning: the script's line 16, column 40: Line 16 is not as Quillfort "
                        "writes it: a bare double quote ends the string here, and the game "
                        "cannot parse this line"}}}},
        // The file named on the command line, here relative to the current
        // folder, opens as the same file chosen in the Open dialog does.
        {"the command line",
         {{{"argv"}, {.caption = "Quillfort"}},
          {{"argv " + QDir::current().relativeFilePath(data + "/worked_example.sqf")},
           {.tasks = "[Take the bridge], Hold the town",
            .side = "EAST",
            .caption = "Quillfort - " + QDir::toNativeSeparators(data + "/worked_example.sqf"),
            .path = QDir::toNativeSeparators(data)}}}},
    });
  }
  void open() { check(); }

  // A hand-written briefing.sqf comes into the window as a new, unnamed
  // briefing, each side's in the order the game shows it; what was left out
  // shows in the preview's check; the file itself is only read.
  void import_data() {
    addRows({
        {"two sides, the task framework; saved and opened again",
         {{{"import " + data + "/import/task_framework.sqf"},
           {.tasks = "[Survive], Extract, Destroy the radar",
            .notes = "[Mission], Rules",
            .current = "Destroy the radar",
            .caption = "Quillfort [WEST]",
            .path = data + "/import",
            .sideButtons = "WEST*, EAST (4), RESISTANCE, CIVILIAN, GAME MASTER",
            .findings =
                "left out: the script's line 15, column 2: the task's marker (Quillfort's tasks have "
                "none) / left out: the script's line 15, column 2: the task's destination (Quillfort's "
                "tasks have none) / left out: the script's line 17, column 2: the parent task (the task "
                "is imported as one of its own)"}},
          {{"save %1/imported.sqf", "yes", "click cmdClear", "open %1/imported.sqf"},
           {.tasks = "[Survive], Extract, Destroy the radar",
            .notes = "[Mission], Rules",
            .current = "Destroy the radar",
            .sideButtons = "WEST*, EAST (4), RESISTANCE, CIVILIAN, GAME MASTER"}}}},
        {"nothing to import",
         {{{"ok", "import " + data + "/read_empty.sqf"},
           {.tasks = "",
            .asked = "Open in " + app + ", HideReadOnly / " +
                     openError("5 - Invalid procedure call or argument: the file holds no note and "
                               "no task that Quillfort can import")}}}},
    });
  }
  void import() { check(); }

  // A save that fails ends in one "Open Error" box and leaves the folder as
  // it was: the old script unchanged, nothing created, not even a temporary
  // file; the next dialog starts in the chosen folder all the same. Each row
  // starts in a folder of its own holding old.sqf and an empty folder locked.
  void failedSave_data() {
    const QString asked = "Save in " + app + ", OverwritePrompt | PathMustExist / ";
    QStringList tooMany;
    for (int i = 0; i < 256; ++i)
      tooMany << "create T";
    addRows({
        {"a read-only file",
         {{{"create A", "lock %1/old.sqf", "ok", "save %1/old.sqf"},
           {.path = "%1",
            .asked = "Create Task: Enter the task to create: [input] / " + asked +
                     openError("70 - Permission denied: the file %Nold.sqf is read-only"),
            .saved = "old_briefing.sqf",
            .files = "locked, old.sqf"}}}},
#ifndef Q_OS_WIN // there only a folder's access rights refuse new files, and Wine does not enforce them
        {"a read-only folder",
         { {{"create A", "lock %1/locked"}, {}},
           { {"ok", "save %1/locked/new.sqf"},
             {.path = "%1/locked",
              .asked = asked + openError("70 - Permission denied: the folder %Nlocked is read-only"),
              .files = "locked, old.sqf" } } }},
        {"a named pipe, which stays one",
         { {{"create A", "pipe %1/pipe"}, {}},
           { {"ok", "save %1/pipe"},
             {.asked = asked + openError("75 - Path/File access error: %Npipe is a named pipe, not a "
                                         "regular file"),
              .files = "locked, old.sqf, pipe" } } }},
#endif
        {"a missing folder",
         {{{"create A"}, {}},
          {{"ok", "save %1/missing/new.sqf"},
           {.path = "%1/missing",
            .asked = asked + openError("76 - Path not found: the folder %Nmissing does not exist"),
            .files = "locked, old.sqf"}}}},
        {"a folder chosen as the file",
         {{{"create A"}, {}},
          {{"ok", "save %1/locked"},
           {.asked = asked + openError("75 - Path/File access error: %Nlocked is a folder, not a file"),
            .files = "locked, old.sqf"}}}},
        {"256 tasks",
         {{tooMany, {}},
          {{"ok", "save %1/old.sqf"},
           {.asked = asked + openError("5 - The briefing has 256 tasks, but a briefing script holds at "
                                       "most 255 tasks"),
            .saved = "old_briefing.sqf",
            .files = "locked, old.sqf"}}}},
    });
  }
  void failedSave() {
    QFETCH(Row, row);
    QTemporaryDir dir;
    QVERIFY(QFile::copy(kOld, dir.filePath("old.sqf")) && QDir(dir.path()).mkdir("locked"));
    EditorDriver ed;
    ed.check(row, dir.path());
  }

  // A full disk: the old script as it was, also when the new one is small
  // enough to sit in a write buffer.
  void aFullDisk() {
#ifndef Q_OS_LINUX
    QSKIP("needs a small tmpfs mounted for the test, which only Linux has");
#else
    if (::geteuid() != 0)
      QSKIP("needs root to mount a small tmpfs that can be filled");
    for (const auto& [free, length] : {std::pair{0, 10}, {4096, 10000}}) { // bytes left free, pasted
      QTemporaryDir dir;
      const QByteArray at = QFile::encodeName(dir.path());
      if (::mount("tmpfs", at.constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP(qPrintable("cannot mount a tmpfs: " + QString::fromLocal8Bit(std::strerror(errno))));
      const std::unique_ptr<const char, int (*)(const char*)> unmount(
          at.constData(), [](const char* p) { return ::umount2(p, MNT_DETACH); });
      QVERIFY(QFile::copy(kOld, dir.filePath("old.sqf")));
      QFile filler(dir.filePath("filler")); // what is left filled, then the bytes to leave free given back
      QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
      while (filler.write(QByteArray(4096, 'x')) > 0) {
      }
      QVERIFY(filler.resize(filler.size() - free));
      EditorDriver ed;
      ed.check(
          {"",
           {{{"create A", QStringLiteral("paste %1 w").arg(length), "ok", "save %1/old.sqf"},
             {.asked = "Create Task: Enter the task to create: [input] / Save in " + app +
                       ", OverwritePrompt | PathMustExist / " +
                       openError("61 - Disk full: there is no room left to write the file %Nold.sqf"),
              .saved = "old_briefing.sqf",
              .files = "filler, old.sqf"}}}},
          dir.path());
    }
#endif
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
               kOpenError +
                   "51 - Internal error: " + QString(standard ? "vector too long" : "an unknown failure"));
      QCOMPARE(ed.dialogs.pending(), 0);
    }
  }

  // A text the user did not touch is saved back exactly as it was opened,
  // also where the box cannot show it as it is (lone CRs and LFs, a CR
  // before a line break); typing into it stores what the box shows, with CR
  // LF line breaks. A no-break space stays one.
  void untouchedTexts_data() {
    const QString breaks = "open " + data + "/lone_breaks.sqf";
    addRows({
        {"untouched, saved back as opened",
         {{{breaks, "page Notes", "pick 1", "pick 0", "save %1/breaks.sqf"}, {.saved = "lone_breaks.sqf"}}}},
        {"typed into, stored as shown",
         {{{breaks, "page Notes", "type !", "pick 1"},
           {.noteText = "line\r\nbreak, lone CR\r\nhere, lone LF\r\nthere, CR before a break\r\nend! | "
                        "\r\n typed as is"}}}},
        {"a no-break space", {{{"create A", "type \"a\u00a0b\"", "pick 0"}, {.taskText = "a\u00a0b"}}}},
    });
  }
  void untouchedTexts() { check(); }
};

QTEST_MAIN(tst_files)
#include "tst_files.moc"
