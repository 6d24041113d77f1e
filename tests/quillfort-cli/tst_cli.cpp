// quillfort-cli as a user or a CI job runs it: the real program, its exact
// output lines, exit statuses and the files it leaves.
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
  int status = -1;
  QByteArray out;
  QByteArray err;
};

Run run(const QStringList& arguments, const QString& folder = QStringLiteral(QUILLFORT_TEST_DATA)) {
  QProcess process;
  process.setWorkingDirectory(folder);
  process.start(QStringLiteral(QUILLFORT_CLI), arguments);
  // A generous guard against a hung program, not a speed check.
  if (!process.waitForFinished(120000))
    process.kill();
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
          process.readAllStandardError()};
}

QByteArray contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void save(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray briefing(const QByteArray& side, const QByteArray& current, const QByteArray& notes,
                    const QByteArray& tasks) {
  return "{\"side\": " + side + ", \"currentTask\": " + current + ", \"notes\": [" + notes + "], \"tasks\": [" +
         tasks + "]}";
}

// The scripts the editor writes (lone_breaks holds lone CRs and LFs, as read
// from a hand-edited script and saved again).
const char* const kEditorScripts[] = {"worked_example",  "saved_by_clicks",   "editor_after_edits",
                                      "notes_only_west", "tasks_only_civilian", "duplicate_current_resistance",
                                      "texts_and_quotes", "old_briefing",    "lone_breaks", "check_findings"};

} // namespace

class tst_cli : public QObject {
  Q_OBJECT

private slots:
  void check_data();
  void check();
  void usage_data();
  void usage();
  void exportShowsTheBriefingAsJson();
  void roundTrip_data();
  void roundTrip();
  void buildRefuses_data();
  void buildRefuses();
};

void tst_cli::check_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<QByteArray>("expected");
  QTest::addColumn<int>("status");

  const QByteArray good = "worked_example.sqf: EAST, 1 note, 2 tasks, current task \"Hold the town\"\n";
  const QByteArray damaged = "read_note_title_unclosed.sqf: error: Err # 5 - Invalid procedure call or argument: "
                             "a note record ends before its closing quote or line end\n";
  QTest::newRow("good") << QStringList{"check", "worked_example.sqf"} << good << 0;
  QTest::newRow("no current task")
      << QStringList{"check", "tasks_only_civilian.sqf", "notes_only_west.sqf"}
      << QByteArray("tasks_only_civilian.sqf: CIVILIAN, 0 notes, 1 task, no current task\n"
                    "notes_only_west.sqf: WEST, 2 notes, 0 tasks, no current task\n")
      << 0;
  QTest::newRow("unknown side letter: WEST, as a new window shows")
      << QStringList{"check", "read_lowercase_side.sqf"}
      << QByteArray("read_lowercase_side.sqf: WEST, 0 notes, 1 task, current task \"T\"\n") << 0;
  // Each finding at its place in the script: after a "<br/>" and doubled
  // quotes on the note's line, after a lone LF on the next script line.
  const QByteArray findings =
      "check_findings.sqf: WEST, 1 note, 1 task, no current task\n"
      "check_findings.sqf:10:68: warning: A bare \"&\" cuts the text here in the game: write it as \"&amp;\" "
      "[note 1 \"Supplies\"]\n"
      "check_findings.sqf:11:35: warning: The title is empty [task 1 \"\"]\n"
      "check_findings.sqf:13:6: warning: The marker tag has no closing </marker> [task 1 \"\"]\n"
      "check_findings.sqf:13:35: warning: A bare \"&\" cuts the text here in the game: write it as \"&amp;\" "
      "[task 1 \"\"]\n";
  QTest::newRow("findings") << QStringList{"check", "check_findings.sqf"} << findings << 0;
  QTest::newRow("findings, strict") << QStringList{"check", "--strict", "check_findings.sqf"} << findings << 1;
  QTest::newRow("no findings, strict") << QStringList{"check", "--strict", "worked_example.sqf"} << good << 0;
  QTest::newRow("lone CR in a title shows as a symbol")
      << QStringList{"check", "lone_breaks.sqf"}
      << QByteArray("lone_breaks.sqf: CIVILIAN, 2 notes, 1 task, current task \"Lone\u240DCR title\"\n") << 0;
  QTest::newRow("damaged") << QStringList{"check", "read_note_title_unclosed.sqf"} << damaged << 1;
  QTest::newRow("over-long")
      << QStringList{"check", "read_tasks_past_32767.sqf"}
      << QByteArray("read_tasks_past_32767.sqf: error: Err # 6 - Overflow: a task record lies past byte 32767 of "
                    "the script\n")
      << 1;
  QTest::newRow("missing") << QStringList{"check", "no_such.sqf"}
                           << QByteArray("no_such.sqf: error: Err # 53 - File not found: no_such.sqf\n") << 1;
  QTest::newRow("one bad file fails them all, each still reported")
      << QStringList{"check", "read_note_title_unclosed.sqf", "worked_example.sqf"} << damaged + good << 1;
}

void tst_cli::check() {
  QFETCH(QStringList, arguments);
  QFETCH(QByteArray, expected);
  QFETCH(int, status);
  const Run r = run(arguments);
  QCOMPARE(r.out, expected);
  QCOMPARE(r.status, status);
}

void tst_cli::usage_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<QByteArray>("out");
  QTest::addColumn<int>("status");
  QTest::newRow("version") << QStringList{"--version"} << QByteArray("quillfort-cli " QUILLFORT_VERSION "\n") << 0;
  QTest::newRow("help") << QStringList{"--help"} << QByteArray("Usage: ") << 0;
  for (const char* args : {"", "check", "frobnicate x", "--bogus check x", "export", "export a b", "build a b",
                           "export --strict a", "check -o x y", "build a -o x -o y"})
    QTest::newRow(*args ? args : "nothing") << QString::fromLatin1(args).split(' ', Qt::SkipEmptyParts)
                                            << QByteArray() << 2;
}

void tst_cli::usage() {
  QFETCH(QStringList, arguments);
  QFETCH(QByteArray, out);
  QFETCH(int, status);
  const Run r = run(arguments);
  QCOMPARE(r.out.left(out.size()), out);
  QCOMPARE(r.status, status);
  if (status == 2)
    QVERIFY2(r.err.startsWith("quillfort-cli: ") && r.err.endsWith("Try 'quillfort-cli --help'.\n"), r.err);

  if (arguments == QStringList{"--help"})
    for (const char* command : {"check [--strict] FILE...", "export FILE.sqf [-o OUT.json]", "build FILE.json [-o OUT.sqf]"})
      QVERIFY2(r.err.isEmpty() && r.out.contains(command), command);
}

void tst_cli::exportShowsTheBriefingAsJson() {
  // Lists in editor order, "\n" for a line break, a quote as JSON writes it,
  // null for no current task.
  Run r = run({"export", "worked_example.sqf"});
  QCOMPARE(r.out, QByteArray("{\n"
                             "  \"side\": \"EAST\",\n"
                             "  \"currentTask\": \"Hold the town\",\n"
                             "  \"notes\": [\n"
                             "    {\"title\": \"Intel\", \"text\": \"Line one\\nLine two\"}\n"
                             "  ],\n"
                             "  \"tasks\": [\n"
                             "    {\"title\": \"Take the bridge\", \"text\": \"Cross at dawn.\"},\n"
                             "    {\"title\": \"Hold the town\", \"text\": \"Dig in.\"}\n"
                             "  ]\n"
                             "}\n"));
  QCOMPARE(r.status, 0);
  r = run({"export", "notes_only_west.sqf"});
  QCOMPARE(QJsonDocument::fromJson(r.out).object().value("currentTask").type(), QJsonValue::Null);
  QVERIFY(r.out.contains("\"tasks\": []"));

  // A lone CR travels as U+240D, a lone LF as U+240A; CR LF is "\n".
  r = run({"export", "lone_breaks.sqf", "-o", "-"});
  const QJsonObject lone = QJsonDocument::fromJson(r.out).object();
  QCOMPARE(lone.value("notes")[0]["text"].toString(),
           QString::fromUtf8("line\nbreak, lone CR\u240Dhere, lone LF\u240Athere, CR before a break\u240D\nend"));
  QCOMPARE(lone.value("tasks")[0]["title"].toString(), QString::fromUtf8("Lone\u240DCR title"));
  QCOMPARE(lone.value("currentTask").toString(), QString::fromUtf8("Lone\u240DCR title"));

  QTemporaryDir dir;
  save(dir.filePath("old.json"), "old");
  r = run({"export", "read_tasks_past_32767.sqf", "-o", dir.filePath("old.json")});
  QCOMPARE(r.status, 1);
  QVERIFY2(r.err.startsWith("read_tasks_past_32767.sqf: error: Err # 6 - "), r.err);
  QCOMPARE(contents(dir.filePath("old.json")), QByteArray("old"));
}

void tst_cli::roundTrip_data() {
  QTest::addColumn<QString>("name");
  for (const char* name : kEditorScripts)
    QTest::newRow(name) << QString::fromLatin1(name);
}

void tst_cli::roundTrip() {
  QFETCH(QString, name);
  const QByteArray script = contents(QStringLiteral(QUILLFORT_TEST_DATA "/") + name + ".sqf");
  QTemporaryDir dir;
  const QString json = dir.filePath(name + ".json");
  QCOMPARE(run({"export", name + ".sqf", "-o", json}).status, 0);

  // By default build writes beside the JSON, under the same name.
  Run r = run({"build", name + ".json"}, dir.path());
  QCOMPARE(r.status, 0);
  QCOMPARE(r.out + r.err, QByteArray());
  QCOMPARE(contents(dir.filePath(name + ".sqf")), script);

  r = run({"build", json, "-o", "-"});
  QCOMPARE(r.out, script);
  QCOMPARE(r.status, 0);
}

void tst_cli::buildRefuses_data() {
  QTest::addColumn<QByteArray>("json");
  QTest::addColumn<QByteArray>("error");
  QTest::addColumn<bool>("readOnly");

  const QByteArray note = "{\"title\": \"N\", \"text\": \"n\"}";
  QByteArray many = note;
  for (int i = 1; i < 256; ++i)
    many += ", " + note;

  QTest::newRow("malformed") << QByteArray("{\"side\": \"WEST\",\n  \"notes\": [\"a\" \"b\"]}")
                             << QByteArray("in.json:2:18: error: ") << false;
  QTest::newRow("not an object") << QByteArray("[]") << QByteArray("in.json: error: the briefing: must be a JSON object\n") << false;
  QTest::newRow("missing field") << QByteArray("{\"side\": \"WEST\", \"currentTask\": null, \"notes\": []}")
                                 << QByteArray("in.json: error: tasks: missing\n") << false;
  QTest::newRow("misspelt field") << briefing("\"WEST\"", "null", "{\"title\": \"N\", \"txt\": \"n\"}", "")
                                  << QByteArray("in.json: error: notes[0].text: missing\n") << false;
  QTest::newRow("unknown field")
      << QByteArray("{\"side\": \"WEST\", \"currentTask\": null, \"notes\": [], \"tasks\": [], \"x\": 1}")
      << QByteArray("in.json: error: the briefing: unknown field \"x\"\n") << false;
  QTest::newRow("wrong type") << briefing("\"WEST\"", "null", "", "{\"title\": 7, \"text\": \"\"}")
                              << QByteArray("in.json: error: tasks[0].title: must be a string\n") << false;
  QTest::newRow("list not a list") << QByteArray(briefing("\"WEST\"", "null", "", "").replace("\"notes\": []", "\"notes\": {}"))
                                   << QByteArray("in.json: error: notes: must be a list of entries\n") << false;
  QTest::newRow("unknown side") << briefing("\"NORTH\"", "null", "", "")
                                << QByteArray("in.json: error: side: \"NORTH\" is not one of WEST, EAST, RESISTANCE "
                                              "and CIVILIAN\n") << false;
  QTest::newRow("current task names no task")
      << briefing("\"WEST\"", "\"Hold\"", "", "{\"title\": \"Hold fast\", \"text\": \"\"}")
      << QByteArray("in.json: error: currentTask: \"Hold\" is the title of no task\n") << false;
  QTest::newRow("line break in a title")
      << briefing("\"WEST\"", "null", "{\"title\": \"two\\nlines\", \"text\": \"\"}", "")
      << QByteArray("in.json: error: notes[0].title: a title is one line, but this one holds a line break\n") << false;
  QTest::newRow("256 notes") << briefing("\"WEST\"", "null", many, "")
                             << QByteArray("in.json: error: Err # 5 - The briefing has 256 notes, but a briefing "
                                           "script holds at most 255 notes\n") << false;
  QTest::newRow("outside the code page")
      << briefing("\"WEST\"", "null", note, "{\"title\": \"T\", \"text\": \"\u03a9\"}")
      << QByteArray("in.json: error: Err # 5 - The character U+03A9 \"\u03a9\" in the text of task 1 cannot be written "
                    "in the code page Windows-1252\n") << false;
  QTest::newRow("read-only target") << briefing("\"WEST\"", "null", note, "")
                                    << QByteArray("out.sqf: error: Err # 70 - Permission denied: the file out.sqf is "
                                                  "read-only\n")
                                    << true;
}

void tst_cli::buildRefuses() {
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
    QVERIFY2(r.err.startsWith(error) && (error.endsWith(' ') || r.err == error), r.err);
    QCOMPARE(r.status, 1);
    QCOMPARE(r.out, QByteArray());
  }
  // Nothing written: the old file as it was, no new file beside it.
  QCOMPARE(contents(dir.filePath("out.sqf")), QByteArray("old"));
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"in.json", "out.sqf"}));
}

QTEST_GUILESS_MAIN(tst_cli)
#include "tst_cli.moc"
