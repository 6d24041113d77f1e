// Reading scripts back: what the writer wrote comes back exactly, and damaged
// or foreign scripts end in error 5 or 6 at the pass where the damage lies.
#include "platform/AnsiCodec.h"
#include "platform/RuntimeError.h"
#include "script_reader/BriefingScriptReader.h"
#include "script_writer/BriefingScriptWriter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <random>

static std::u16string replaceAll(std::u16string s, std::u16string_view from, std::u16string_view to) {
  for (std::size_t i = s.find(from); i != std::u16string::npos; i = s.find(from, i + to.size()))
    s.replace(i, from.size(), to);
  return s;
}

// Entries as "title=text", joined by " | "; a written text as it reads back,
// with CR LF for every "<br/>" the user typed.
template <class Entry> static std::string shown(const std::vector<Entry>& entries) {
  std::u16string out;
  for (const auto& e : entries) {
    out += out.empty() ? u"" : u" | ";
    out += e.title;
    out += u"=";
    out += std::is_same_v<Entry, BriefingEntry> ? replaceAll(std::u16string(e.text), u"<br/>", u"\r\n")
                                                : std::u16string(e.text);
  }
  return AnsiCodec::encode(out, "the entries");
}

// A script read pass by pass as the open command reads it: "notes / tasks",
// or what was read before the failing pass, that pass and the error number.
static std::string outcome(const std::string& script) {
  std::string failing = "header ";
  try {
    const ScriptHeader h = readScriptHeader(script);
    failing = "notes ";
    const std::string notes = shown(scanNoteRecords(script, h.noteCount)) + " / ";
    failing = notes + "tasks ";
    return notes + shown(scanTaskRecords(script, h.taskCount));
  } catch (const RuntimeError& e) {
    return failing + std::to_string(e.number);
  }
}

TEST(ScriptReader, ReadsEachScriptAsItsLayoutSays) {
  // Undoubled quotes end a title or description at the first quote (a note's
  // text then starts three bytes later); a note text runs to its line's end.
  const std::pair<const char*, const char*> cases[] = {
      {"worked_example",
       "Intel=Line one\r\nLine two / Take the bridge=Cross at dawn. | Hold the town=Dig in."},
      {"read_markers_any_case", "N=n / T=t"},
      {"read_br_exact_case", "N=a\r\nb<BR/>c<br>d / T=\r\n\r\nx<Br/>"},
      {"read_empty_fields", "= / ="},
      {"read_undoubled_quotes", "N=say \"hi\" | ab=\",\"text / A=a | x=p"},
      {"read_markers_inside_strings", "Diary\",[\"=\" | createSimpleTask [\"x\"];=Diary\",[\"y\"]]; "
                                      "setSimpleTaskDescription [\" / \"Diary\",[\"=x\"];\"\""},
      // A quote doubled inside a string opens none: no marker follows it.
      {"read_doubled_quote_before_marker", "A=b / "},
      {"read_empty", "header 5"},
      {"read_no_crlf", "header 5"},
      {"read_short_header", "header 5"},
      {"read_more_notes_than_records", "notes 5"},
      {"read_more_tasks_than_records", "a=b / tasks 5"},
      {"read_note_title_unclosed", "notes 5"},
      {"read_task_line_without_crlf", " / tasks 5"},
      {"read_tasks_past_32767", "First=a\r\na | Second=b / tasks 6"},
  };
  for (const auto& [file, expected] : cases) {
    std::ifstream f(std::string(QUILLFORT_TEST_DATA "/") + file + ".sqf", std::ios::binary);
    EXPECT_EQ(outcome({std::istreambuf_iterator<char>(f), {}}), expected) << file;
  }
}

TEST(ScriptReader, TakesBackWhatTheWriterWrote) {
  const char* fixed = std::getenv("QUILLFORT_SEED");
  const unsigned seed = fixed ? static_cast<unsigned>(std::stoul(fixed)) : std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed) + " (set QUILLFORT_SEED to repeat)");
  std::mt19937 rng(seed);
  const auto below = [&](std::size_t n) { return rng() % n; };
  const auto fragments = std::to_array<std::string_view>(
      {"\"", "createSimpleTask [\"", "setSimpleTaskDescription [\"", "\"Diary\",[\"", "DIARY\",[", "\",\"",
       "\"]];", "<br/>", "<BR/>", "\r\n", "\r", "\n", "// QFRT W "});
  const auto field = [&](std::size_t maxBytes) {
    std::string bytes;
    for (const std::size_t length = below(maxBytes + 1); bytes.size() < length;)
      bytes += below(3) ? std::string(1, static_cast<char>(below(256)))
                        : std::string(fragments[below(fragments.size())]);
    return AnsiCodec::decode(bytes);
  };
  int read = 0;
  for (int round = 0; round < 3000 && !HasFailure(); ++round) {
    std::deque<std::u16string> texts; // what the snapshot's views show
    BriefingSnapshot b;
    b.side = u"EAST";
    const std::size_t notes = below(5) ? below(8) : below(256), tasks = below(5) ? below(8) : below(256);
    const std::size_t size = 24000 / (3 * (notes + 3 * tasks) + 1); // per field
    for (std::size_t i = 0; i < notes + tasks; ++i)                 // a title is one line
      (i < notes ? b.notes : b.tasks)
          .push_back({texts.emplace_back(replaceAll(field(size), u"\r\n", u"\r ")),
                      texts.emplace_back(field(size))});
    const std::string script = composeBriefingScript(b);
    if (script.size() > 32767)
      continue;
    EXPECT_EQ(outcome(script), shown(b.notes) + " / " + shown(b.tasks));
    ++read;
  }
  EXPECT_GT(read, 2000);
}

// A script of side W whose first line counts the given records; its records
// start at the 1-based position `at` (a comment line fills the gap) and `tail`
// follows them, on the same line.
static std::string script(int notes, int tasks, const std::string& records, std::size_t at = 0,
                          const std::string& tail = {}) {
  std::string s = "// QFRT W " + std::string(1, char(notes)) + ' ' + char(tasks) + ' ' + '\0' + " 100\r\n";
  if (at > 0)
    s += "//" + std::string(at - 1 - s.size() - 4, '.') + "\r\n";
  return s + records + tail;
}

TEST(ScriptReader, ReportsOverflowOnlyForWhatLiesPast32767) {
  const std::string note = "player createDiaryRecord [\"Diary\",[\"N\",\"t\"]];"; // its CR LF follows
  const std::string task =
      "x=player createSimpleTask [\"T\"];\r\nx setSimpleTaskDescription [\"D\",\"T\",\"T\"];";
  const std::string noCrLf(40000, 'x'); // no quote, no line end, no marker
  const std::string withCrLf = noCrLf + "\r\n";
  struct Row {
    const char* what;
    std::string script;
    const char* expected;
  };
  const Row rows[] = {
      // What is not in the script at all fails (or loads) as in a short one,
      // whatever follows past byte 32767.
      {"last task line without CR LF", script(0, 1, task), " / T=D"},
      {"last task line without CR LF, long", script(0, 1, task, 0, noCrLf), " / T=D"},
      {"note line without CR LF, long", script(1, 0, note, 0, noCrLf), "notes 5"},
      {"note title left open, long", script(1, 0, "\"Diary\",[\"N", 0, noCrLf), "notes 5"},
      {"task title left open, long", script(0, 1, "createSimpleTask [\"T", 0, noCrLf), " / tasks 5"},
      {"description left open, long", script(0, 1, task.substr(0, task.size() - 11), 0, noCrLf),
       " / tasks 5"},
      {"a note missing, long", script(2, 0, note + "\r\n", 0, noCrLf), "notes 5"},
      {"a task missing, long", script(1, 2, note + "\r\n" + task + "\r\n", 0, noCrLf), "N=t / tasks 5"},
      // What the reader needs and finds past byte 32767 is an overflow.
      {"notes past 32767", script(1, 0, note + "\r\n", 33000), "notes 6"},
      {"tasks past 32767", script(1, 1, note + "\r\n", 0, withCrLf + task + "\r\n"), "N=t / tasks 6"},
      {"note line end past 32767", script(1, 0, note, 0, withCrLf), "notes 6"},
      {"task title end past 32767", script(0, 1, "createSimpleTask [\"T", 0, noCrLf + '"'), " / tasks 6"},
      {"description line end past 32767", script(0, 1, task, 0, withCrLf), " / tasks 6"},
      // The last position: a record whose line ends with its CR at 32767 loads.
      {"note CR at 32767", script(1, 0, note + "\r\n", 32767 - note.size()), "N=t / "},
      {"note CR at 32768", script(1, 0, note + "\r\n", 32768 - note.size()), "notes 6"},
      {"task CR at 32767", script(0, 1, task + "\r\n", 32767 - task.size()), " / T=D"},
      {"task CR at 32768", script(0, 1, task + "\r\n", 32768 - task.size()), " / tasks 6"},
  };
  for (const auto& [what, bytes, expected] : rows)
    EXPECT_EQ(outcome(bytes), expected) << what;
}

TEST(ScriptReader, ReadsRecordLinesWrittenOtherwiseAsTheWritersOwn) {
  // The second record's line as the writer writes it, and as hand edits
  // leave it: each reads as the writer's own (the first record: N1 / T1).
  const std::string note1 = "player createDiaryRecord [\"Diary\",[\"N1\",\"a\"]];\r\n";
  const std::string task1 = "tskObj1=player createSimpleTask [\"T1\"];\r\n"
                            "tskObj1 setSimpleTaskDescription [\"D1\",\"T1\",\"T1\"];\r\n";
  const std::string task2 = "tskObj2=player createSimpleTask [\"T2\"];\r\n"
                            "tskObj2 setSimpleTaskDescription [\"D2\",\"T2\",\"T2\"];\r\n";
  const std::string notes[] = {"player createDiaryRecord [\"Diary\",[\"N2\",\"b\"]];",
                               "player createDiaryRecord  [\"Diary\",[\"N2\",\"b\"]];",
                               "PLAYER createDiaryRecord [\"DIARY\",[\"N2\",\"b\"]];",
                               "x=1;player createDiaryRecord [\"Diary\",[\"N2\",\"b\"]];",
                               "\"x\";\r\nplayer createDiaryRecord [\"Diary\",[\"N2\",\"b\"]];"};
  for (const std::string& line : notes)
    EXPECT_EQ(outcome(script(2, 0, note1 + line + "\r\n")), "N2=b | N1=a / ") << line;
  const std::string tasks[] = {
      task2,
      "tskObjX=player createSimpleTask [\"T2\"];\r\ntskObjX setSimpleTaskDescription "
      "[\"D2\",\"T2\",\"T2\"];\r\n",
      "t=player createsimpletask [\"T2\"]; t SETSIMPLETASKDESCRIPTION [\"D2\",\"T2\",\"T2\"];\r\n",
      "tskObj2=player createSimpleTask [\"T2\"];\r\n// \"a\"\r\ntskObj2 setSimpleTaskDescription "
      "[\"D2\",\"T2\",\"T2\"];\r\n",
      "tskObj2=player createSimpleTask [\"T2\"]; tskObj2 setSimpleTaskDescription "
      "[\"D2\",\"T2\",\"T2\"];\r\n"};
  for (const std::string& lines : tasks)
    EXPECT_EQ(outcome(script(0, 2, task1 + lines)), " / T2=D2 | T1=D1") << lines;
  // The writer's lines up to the last position: the second task's CR at
  // 32767 loads, at 32768 overflows; the same for notes.
  const std::string note2 = "player createDiaryRecord [\"Diary\",[\"N2\",\"b\"]];\r\n";
  const std::size_t taskCr = task1.size() + task2.size() - 1, noteCr = note1.size() + note2.size() - 1;
  EXPECT_EQ(outcome(script(0, 2, task1 + task2, 32767 - taskCr + 1)), " / T2=D2 | T1=D1");
  EXPECT_EQ(outcome(script(0, 2, task1 + task2, 32768 - taskCr + 1)), " / tasks 6");
  EXPECT_EQ(outcome(script(2, 0, note1 + note2, 32767 - noteCr + 1)), "N2=b | N1=a / ");
  EXPECT_EQ(outcome(script(2, 0, note1 + note2, 32768 - noteCr + 1)), "notes 6");
}
