// quillfort-cli as a user or a CI job runs it: the real program, its exact
// output, exit statuses and the files it leaves.
#include <QtCore>
#include <QtTest>

#include <cstdio>
#include <fstream>

namespace {

struct Run {
  int status = -1;
  QByteArray out, err;
};

QByteArray contents(const QString& path);

// A last argument "<file" pipes that file into standard input, ">file" sends
// standard output into the file. QProcess passes arguments as UTF-8, so
// arguments with \ooo escapes (bytes that are no UTF-8) go through printf.
Run run(QStringList arguments, const QString& folder = QStringLiteral(QUILLFORT_TEST_DATA)) {
  QProcess process;
  process.setWorkingDirectory(folder);
  const QByteArray input = !arguments.isEmpty() && arguments.last().startsWith('<')
                               ? contents(QDir(folder).filePath(arguments.takeLast().mid(1)))
                               : "";
  if (!arguments.isEmpty() && arguments.last().startsWith('>'))
    process.setStandardOutputFile(arguments.takeLast().mid(1));
  if (arguments.join(' ').contains('\\')) {
    for (QString& argument : arguments)
      argument = "\"$(printf '" + argument + "')\"";
    process.start("/bin/sh", {"-c", "exec \"$0\" " + arguments.join(' '), QStringLiteral(QUILLFORT_CLI)});
  } else {
    process.start(QStringLiteral(QUILLFORT_CLI), arguments);
  }
  process.write(input);
  process.closeWriteChannel();
  if (!process.waitForFinished(120000)) // a guard against a hung program, not a speed check
    process.kill();
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          process.readAllStandardOutput(), process.readAllStandardError()};
}

QByteArray contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void save(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// A briefing in JSON, WEST with no current task unless told otherwise.
QByteArray briefing(const QByteArray& notes, const QByteArray& tasks = {},
                    const QByteArray& side = "\"WEST\"", const QByteArray& current = "null") {
  return "{\"side\": " + side + ", \"currentTask\": " + current + ", \"notes\": [" + notes +
         "], \"tasks\": [" + tasks + "]}";
}

} // namespace

class tst_cli : public QObject {
  Q_OBJECT
  QTemporaryDir scratch; // %1 in commands' rows
  std::string latin1Name() const { return QFile::encodeName(scratch.path()).toStdString() + "/caf\xe9.sqf"; }

private slots:
  void initTestCase() {
    // Files of 16 MiB, the most a script to read may have, and a byte more,
    // that take no room on the disk.
    for (const auto& [name, size] : {std::pair{"16MiB.sqf", qint64(16) << 20},
                                     {"16MiB+1.sqf", (qint64(16) << 20) + 1},
                                     {"64MiB+1.json", (qint64(64) << 20) + 1}}) {
      QFile file(scratch.filePath(name));
      QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(size));
    }
    save(scratch.filePath("cafe.json"), briefing("{\"title\": \"Caf\u00e9\", \"text\": \"\"}"));
    save(scratch.filePath("damaged_sides.sqf"),
         contents(QUILLFORT_TEST_DATA "/sides_west_east_logic.sqf").replace("E:2,1,1", "E:2;1,1"));
    save(scratch.filePath("big.json"),
         briefing("{\"title\": \"N\", \"text\": \"" + QByteArray(40000, 'x') + "\"}"));
    // A name that is not UTF-8 (Latin-1 "café"), which Qt can neither write nor remove.
    std::ofstream(latin1Name(), std::ios::binary)
        << contents(QUILLFORT_TEST_DATA "/worked_example.sqf").toStdString();
    const QByteArray note = "{\"title\": \"N\", \"text\": \"" + QByteArray(20000, 'x') + "\"}";
    save(scratch.filePath("halves.json"),
         "{\"sides\": [" + briefing(note) + ", " + briefing(note, {}, "\"EAST\"") + "]}");
    for (const QByteArray side : {"WEST", "EAST"}) { // each opens again in full, not the two merged
      save(scratch.filePath("half.json"), briefing(note, {}, '"' + side + '"'));
      const QString script = scratch.filePath("half_" + side + ".sqf");
      QCOMPARE(run({"build", scratch.filePath("half.json"), "-o", script}).status, 0);
    }
  }
  void cleanupTestCase() { std::remove(latin1Name().c_str()); }

  void commands_data() {
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QByteArray>("out"); // exact, or the start of it when it ends in "..."
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("err"); // the start of it
    const QByteArray
        good = "worked_example.sqf: EAST, 1 note, 2 tasks, current task \"Hold the town\" (ANSI, "
               "Windows-1252)\n",
        damaged = "read_note_title_unclosed.sqf: error: Err # 5 - Invalid procedure call or argument: a "
                  "note record ends before its closing quote or line end\n",
        overflow = "Err # 6 - Overflow: a task record lies past byte 32767 of the script\n",
        amp = "warning: A bare \"&\" cuts the text here in the game: write it as \"&amp;\" ";
    // Each finding at its place in the script: after a "<br/>" and doubled
    // quotes on the note's line, after a lone LF on the next script line.
    const QByteArray findings =
        "check_findings.sqf: WEST, 1 note, 1 task, no current task (ANSI, "
        "Windows-1252)\ncheck_findings.sqf:10:68: " +
        amp +
        "[note 1 \"Supplies\"]\ncheck_findings.sqf:11:35: warning: The title is empty [task 1 \"\"]\n"
        "check_findings.sqf:13:6: warning: The marker tag has no closing </marker> [task 1 \"\"]\n"
        "check_findings.sqf:13:35: " +
        amp + "[task 1 \"\"]\n";
    // A script of several sides: each side on the one line, each finding
    // naming its side, at its place in that side's block.
    const QByteArray
        sides = "sides_west_east_logic.sqf: WEST, 1 note, 2 tasks, current task \"Hold\"; EAST, 2 notes, "
                "1 task, current task \"Defend\"; LOGIC, 1 note, 1 task, current task \"Watch\" (ANSI, "
                "Windows-1252)\n",
        sideFindings = "sides_findings.sqf: WEST, 1 note, 0 tasks, no current task; EAST, 0 notes, 1 task, "
                       "no current task (ANSI, Windows-1252)\nsides_findings.sqf:11:47: " +
                       amp +
                       "[WEST note 1 \"Plan\"]\nsides_findings.sqf:15:35: warning: The title is empty "
                       "[EAST task 1 \"\"]\nsides_findings.sqf:16:45: warning: The marker tag has no "
                       "closing </marker> [EAST task 1 \"\"]\n",
        bareQuote = "bare_quote.sqf:16:40: warning: Line 16 is not as Quillfort writes it: a bare double "
                    "quote ends the string here, and the game cannot parse this line\n";
    const auto twice = [](const char* first, const char* second, const char* side) {
      return QByteArray(second) + ": error: " + first + " and " + second + " both hold a briefing for " +
             side + "; merge takes each side from one file\n";
    };
    const auto data = [](const char* name) {
      return contents(QStringLiteral(QUILLFORT_TEST_DATA "/") + name);
    };
    // Exports: lists in editor order, "\n" for a line break, a lone CR as
    // U+240D and a lone LF as U+240A, null for no current task. A usage error
    // (status 2) says so on stderr and nothing on stdout.
    const struct {
      const char* arguments;
      QByteArray out;
      int status;
      QByteArray err = {};
    } rows[] = {
        {"check worked_example.sqf", good, 0},
        // An unknown side letter: a new window's WEST.
        {"check tasks_only_civilian.sqf read_lowercase_side.sqf",
         "tasks_only_civilian.sqf: CIVILIAN, 0 notes, 1 task, no current task "
         "(ANSI, Windows-1252)\nread_lowercase_side.sqf: WEST, "
         "0 notes, 1 task, current task \"T\" (ANSI, Windows-1252)\nread_lowercase_side.sqf:1:9: warning: "
         "Line 1 is not "
         "as Quillfort writes it: a hand edit or another tool changed it, and the next save writes it as "
         "Quillfort does\n",
         0},
        {"check typed_german.sqf",
         "typed_german.sqf: WEST, 0 notes, 1 task, current task \"Br\u00fccke halten\" (UTF-8)\n", 0},
        {"check lone_breaks.sqf",
         "lone_breaks.sqf: CIVILIAN, 2 notes, 1 task, current task \"Lone\u240DCR title\" (ANSI, "
         "Windows-1252)\n",
         0},
        {"check texts_and_quotes.sqf",
         "texts_and_quotes.sqf: WEST, 1 note, 1 task, current task \"Say \"hi\"\" (ANSI, "
         "Windows-1252)\ntexts_and_quotes.sqf:...",
         0},
        {"check check_findings.sqf", findings, 0},
        {"check --strict check_findings.sqf", findings, 1},
        {"check --strict bare_quote.sqf",
         "bare_quote.sqf: EAST, 1 note, 2 tasks, current task \"Hold the town\" (ANSI, Windows-1252)\n" +
             bareQuote,
         1},
        {"check read_note_title_unclosed.sqf", "", 1, damaged},
        {"export %1/damaged_sides.sqf", "", 1,
         "%1/damaged_sides.sqf: error: Err # 5 - Invalid procedure call or argument: the sides line (line "
         "3) is damaged at column 26: \",\" should follow the number of notes\n"},
        {"check read_tasks_past_32767.sqf", "", 1, "read_tasks_past_32767.sqf: error: " + overflow},
        {"check no_such.sqf", "", 1, "no_such.sqf: error: Err # 53 - File not found: no_such.sqf\n"},
        {"check read_note_title_unclosed.sqf worked_example.sqf", good, 1, damaged}, // each still reported
        // The limits of what is read at all, at the exact byte.
        {"check %1/16MiB.sqf", "", 1,
         "%1/16MiB.sqf: error: Err # 5 - Invalid procedure call or argument: the first line is too short"},
        {"check %1/16MiB+1.sqf", "", 1,
         "%1/16MiB+1.sqf: error: Err # 57 - Device I/O error: the file %2 could not be "
         "read (it is larger than 16 MiB, more than any briefing)\n"},
        {"check - <%1/16MiB+1.sqf", "", 1,
         "standard input: error: Err # 57 - Device I/O error: standard input could not "
         "be read (it is larger than 16 MiB, more than any briefing)\n"},
        {"build %1/64MiB+1.json -o -", "", 1,
         "%1/64MiB+1.json: error: Err # 57 - Device I/O error: the file %3 "
         "could not be read (it is larger than 64 MiB, more than any briefing)\n"},
        {"build - -o - <worked_example.json", data("worked_example.sqf"), 0},
        {"build - <worked_example.json", data("worked_example.sqf"), 0},
        {"build %1/big.json -o -", "...", 0, "%1/big.json: warning: The script would be 40,"},
        {"build --strict %1/big.json -o -", "", 1, "%1/big.json: error: The script would be 40,"},
        {"build --encoding ansi %1/cafe.json -o -", "...", 0},
#ifndef Q_OS_WIN
        {"build /dev/stdin -o - <worked_example.json", data("worked_example.sqf"), 0},
        {"check worked_example.sqf >/dev/full", "", 1,
         "standard output: error: the report could not be written\n"},
        {"build - -o - >/dev/full <worked_example.json", "", 1,
         "standard output: error: the output could not be written\n"},
        {"check %1/caf\\351.sqf",
         "%1/caf\xe9.sqf: EAST, 1 note, 2 tasks, current task \"Hold the town\" (ANSI, Windows-1252)\n", 0},
#endif
        {"export worked_example.sqf", data("worked_example.json"), 0},
        {"export lone_breaks.sqf -o -", data("lone_breaks.json"), 0},
        {"export escapes.sqf", data("escapes.json"), 0},
        {"export texts_and_quotes.sqf", "{\n  \"encoding\": \"ansi\",\n  \"side\": \"WEST\",...", 0},
        {"export read_tasks_past_32767.sqf", "", 1, "read_tasks_past_32767.sqf: error: " + overflow},
        {"check sides_west_east_logic.sqf", sides, 0},
        {"check sides_findings.sqf", sideFindings, 0},
        {"export sides_west_east_logic.sqf", data("sides_west_east_logic.json"), 0},
        // merge: the script the writer gives for the sides together, whatever
        // their order; of two encodings, UTF-8, every character kept.
        {"merge sides_logic.sqf sides_east.sqf sides_west.sqf -o -", data("sides_west_east_logic.sqf"), 0},
        // An ANSI script (WEST's "Café €5") and a UTF-8 one (RESISTANCE's Russian): only UTF-8 holds both.
        {"merge texts_and_quotes.sqf typed_russian.sqf -o -", "...", 0},
        {"merge sides_west.sqf notes_only_west.sqf -o -", "", 1,
         twice("sides_west.sqf", "notes_only_west.sqf", "WEST")},
        {"merge sides_west_east_logic.sqf worked_example.sqf -o -", "", 1,
         twice("sides_west_east_logic.sqf", "worked_example.sqf", "EAST")},
        {"merge read_note_title_unclosed.sqf sides_west.sqf -o -", "", 1, damaged},
        {"build %1/halves.json -o -", "", 1,
         "%1/halves.json: error: Err # 6 - Overflow: the script would be 40,550 bytes, and the EAST briefing "
         "would end at byte 40,295, past byte 32,767"},
        {"merge %1/half_WEST.sqf %1/half_EAST.sqf -o -", "", 1,
         "standard output: error: Err # 6 - Overflow: the script would be 40,550 bytes, and the EAST "
         "briefing would end at byte 40,295, past byte 32,767"},
        {"--version", "quillfort-cli " QUILLFORT_VERSION "\n", 0},
        {"--help", "Usage: ...", 0},
    };
    for (const auto& row : rows)
      QTest::newRow(row.arguments) << row.arguments << row.out << row.status << row.err;
    for (const char* args :
         {"", "check", "frobnicate x", "--bogus check x", "export", "export a b", "build a b",
          "export --strict a", "check -o x y", "build a -o x -o y", "merge a -o x", "merge a b",
          "merge --strict a b -o x", "build --encoding latin1 a", "export --encoding ansi a",
          "check --json a", "import a -o b --json"})
      QTest::newRow(*args ? args : "nothing") << args << QByteArray() << 2 << QByteArray("quillfort-cli: ");
  }

  void commands() {
    QFETCH(QString, arguments);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QFETCH(int, status);
    out.replace("%1", QFile::encodeName(scratch.path()));
    // The path as given, then in the system's own form, as the error describes it.
    err.replace("%1", QFile::encodeName(scratch.path()));
    err.replace("%2", QFile::encodeName(QDir::toNativeSeparators(scratch.filePath("16MiB+1.sqf"))));
    err.replace("%3", QFile::encodeName(QDir::toNativeSeparators(scratch.filePath("64MiB+1.json"))));
    const Run r = run(arguments.replace("%1", scratch.path()).split(' ', Qt::SkipEmptyParts));
    QCOMPARE(out.endsWith("...") ? r.out.left(out.size() - 3) + "..." : r.out, out);
    QVERIFY2(err.isEmpty() ? r.err.isEmpty() : r.err.startsWith(err), r.err);
    QCOMPARE(r.status, status);
    if (arguments == "--help")
      for (const char* command :
           {"check [--strict] FILE...", "export FILE.sqf [-o OUT.json]",
            "build [--strict] [--encoding utf-8|ansi] FILE.json [-o OUT.sqf]",
            "merge FILE.sqf FILE.sqf... -o OUT.sqf", "import [--strict] FILE.sqf [-o OUT.sqf | --json]"})
        QVERIFY2(r.out.contains(command), command);
  }

  // The scripts the editor writes (lone_breaks holds lone CRs and LFs, as read
  // from a hand-edited script and saved again) come back from their export.
  void roundTrip() {
    for (const QString name :
         {"worked_example", "saved_by_clicks", "editor_after_edits", "notes_only_west", "tasks_only_civilian",
          "duplicate_current_resistance", "texts_and_quotes", "old_briefing", "lone_breaks", "check_findings",
          "sides_west_east_logic", "sides_logic", "sides_findings", "escapes", "typed_russian"}) {
      QTemporaryDir dir;
      QCOMPARE(run({"export", name + ".sqf", "-o", dir.filePath(name + ".json")}).status, 0);
      // By default build writes beside the JSON, under the same name.
      const Run r = run({"build", name + ".json"}, dir.path());
      QCOMPARE(name + ": " + r.out + r.err + QString::number(r.status), name + ": 0");
      QCOMPARE(contents(dir.filePath(name + ".sqf")),
               contents(QStringLiteral(QUILLFORT_TEST_DATA "/") + name + ".sqf"));
    }
  }

  // Hand-written briefings, each in one of the community's styles: their
  // briefing as JSON exactly, what was left out on standard error exactly
  // (with --strict an error, and nothing written); imported into a script,
  // the bytes build makes of that JSON.
  void importCorpus() {
    const QString folder = QStringLiteral(QUILLFORT_TEST_DATA "/import");
    const QStringList names = QDir(folder).entryList({"*.sqf"}, QDir::Files);
    QCOMPARE(names.size(), 4);
    for (const QString& file : names) {
      const QString name = file.chopped(4);
      const QByteArray json = contents(folder + '/' + name + ".json"),
                       report = contents(folder + '/' + name + ".report");
      const Run imported = run({"import", file, "--json"}, folder),
                strict = run({"import", "--strict", file}, folder);
      QCOMPARE(imported.out + imported.err + QByteArray::number(imported.status), json + report + "0");
      QCOMPARE(strict.err + QByteArray::number(strict.status), report + (report.isEmpty() ? "0" : "1"));
      QCOMPARE(strict.out.isEmpty(), !report.isEmpty()); // nothing written when anything was left out
      QCOMPARE(run({"import", folder + '/' + file, "-o", scratch.filePath(name + ".sqf")}).status, 0);
      QCOMPARE(
          run({"build", folder + '/' + name + ".json", "-o", scratch.filePath(name + ".json.sqf")}).status,
          0);
      QCOMPARE(contents(scratch.filePath(name + ".sqf")), contents(scratch.filePath(name + ".json.sqf")));
    }
  }

  void buildRefuses_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QByteArray>("error");
    QTest::addColumn<bool>("readOnly");

    const QByteArray note = R"({"title": "N", "text": "n"})";
    QByteArray many = note;
    for (int i = 1; i < 256; ++i)
      many += ",\n" + note;
    // Each error after "in.json: error: ", or after "in.json" when it starts with ":".
    const std::pair<QByteArray, QByteArray> cases[] = {
        {"{\"side\": \"WEST\",\n  \"notes\": [\"a\" \"b\"]}", ":2:17: error: "},
        {"{\"side\": \"WEST\",\n" + briefing("").mid(1),
         ":2:1: error: the field \"side\" is given twice, first on line 1\n"},
        {briefing("{\"title\": \"N\", \"text\": \"a" + QByteArray(1, '\0') + "b\"}"),
         ":1:74: error: the control character U+0000 stands unescaped in a string (JSON writes it as \\n, "
         "\\t or \\u0000)\n"},
        {"[]", "the briefing: must be a JSON object\n"},
        {briefing(R"({"title": "N", "txt": "n"})"), "notes[0].text: missing\n"},
        {R"({"side": "WEST", "currentTask": null, "notes": [], "tasks": [], "x": 1})",
         "the briefing: unknown field \"x\"\n"},
        {briefing("", R"({"title": 7, "text": ""})"), "tasks[0].title: must be a string\n"},
        {briefing("", R"({"title": "Hold fast", "text": ""})", R"("WEST")", R"("Hold")"),
         "currentTask: \"Hold\" is the title of no task\n"},
        {briefing(R"({"title": "two\nlines", "text": ""})"),
         "notes[0].title: a title is one line, but this one holds a line break\n"},
        {briefing(many), ":256:1: error: notes[255]: a briefing script holds at most 255 notes\n"},
        // The stand-ins turned back: CR LF.
        {briefing("{\"title\": \"A\u240D\u240AB\", \"text\": \"\"}"),
         "notes[0].title: a title is one line, but this one holds a line break\n"},
        // Several sides: the one-side form is a playable side's; the list names each side once.
        {briefing("", "", R"("LOGIC")"),
         "side: \"LOGIC\" is not one of WEST, EAST, RESISTANCE and CIVILIAN\n"},
        {R"({"sides": []})", "sides: must be a list of one or more sides' briefings\n"},
        {R"({"sides": [7]})", "sides[0]: must be an object with a side, a current task, notes and tasks\n"},
        {"{\"sides\": [" + briefing("", "", R"("NORTH")") + "]}",
         "sides[0].side: \"NORTH\" is not one of WEST, EAST, RESISTANCE, CIVILIAN and LOGIC\n"},
        {"{\"sides\": [" + briefing(note, "", R"("EAST")") + ", " + briefing(note, "", R"("EAST")") + "]}",
         "sides[1].side: \"EAST\" is given twice, first as sides[0]\n"},
        {"{\"sides\": [" + briefing(R"({"title": "N", "txt": "n"})") + "]}",
         "sides[0].notes[0].text: missing\n"},
        {"{\"encoding\": \"ansi\", " + briefing(note, "{\"title\": \"T\", \"text\": \"\u03a9\"}").mid(1),
         "Err # 5 - The character U+03A9 \"\u03a9\" in the text of task 1 cannot be written in the code page "
         "Windows-1252: UTF-8, the script's other encoding, holds it\n"},
    };
    for (const auto& [json, error] : cases)
      QTest::newRow(error.trimmed().constData())
          << json << (error.startsWith(':') ? "in.json" + error : "in.json: error: " + error) << false;
    QTest::newRow("read-only target")
        << briefing(note)
        << QByteArray("out.sqf: error: Err # 70 - Permission denied: the file out.sqf is read-only\n")
        << true;
  }

  void buildRefuses() {
    QFETCH(QByteArray, json);
    QFETCH(QByteArray, error);
    QFETCH(bool, readOnly);
    QTemporaryDir dir;
    save(dir.filePath("in.json"), json);
    save(dir.filePath("out.sqf"), "old");
    if (readOnly)
      QFile::setPermissions(dir.filePath("out.sqf"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    for (const QString& output : readOnly ? QStringList{"out.sqf"} : QStringList{"out.sqf", "-"}) {
      const Run r = run({"build", "in.json", "-o", output}, dir.path());
      QVERIFY2(error.endsWith('\n') ? r.err == error : r.err.startsWith(error), r.err);
      QCOMPARE(r.out, QByteArray());
      QCOMPARE(r.status, 1);
    }
    // Nothing written: the old file as it was, and no other file beside it.
    QCOMPARE(contents(dir.filePath("out.sqf")), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"in.json", "out.sqf"}));
  }
};

QTEST_GUILESS_MAIN(tst_cli)
#include "tst_cli.moc"
