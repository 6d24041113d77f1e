// Reading scripts back: what the writer wrote comes back exactly, and damaged
// or foreign scripts end in error 5 or 6 at the pass where the damage lies;
// where a field's characters stand in the script, as line and column.
#include "ScriptData.h"
#include "core/reader/BriefingScriptReader.h"
#include "core/reader/ScriptLocation.h"
#include "core/system/RuntimeError.h"
#include "core/text/AnsiCodec.h"
#include "core/writer/BriefingScriptWriter.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

std::u16string replaceAll(std::u16string s, std::u16string_view from, std::u16string_view to) {
  for (std::size_t i = s.find(from); i != std::u16string::npos; i = s.find(from, i + to.size()))
    s.replace(i, from.size(), to);
  return s;
}

// Entries as "title=text", joined by " | "; a written text as it reads back,
// with CR LF for every "<br/>" the user typed.
std::string shown(const std::vector<BriefingEntry>& entries, bool written = false) {
  std::u16string out;
  for (const auto& e : entries) {
    out += (out.empty() ? u"" : u" | ") + e.title + u"=";
    out += written ? replaceAll(e.text, u"<br/>", u"\r\n") : e.text;
  }
  return AnsiCodec::encode(out, "the entries");
}

// A script read as the open command reads it: "notes / tasks", or what was
// read before the failing pass, that pass and the error number.
std::string outcome(const std::string& script) {
  try {
    readScriptHeader(script);
  } catch (const RuntimeError& e) {
    return "header " + std::to_string(e.number);
  }
  try {
    const SideBriefing side = readBriefingScript(script, Side::West).briefing.sides.front();
    return shown(side.notes) + " / " + shown(side.tasks);
  } catch (const ScriptReadFailure& e) {
    const std::string number = std::to_string(e.number);
    return e.loaded.sides.empty() ? "notes " + number
                                  : shown(e.loaded.sides.front().notes) + " / tasks " + number;
  }
}

// A script of side W whose first line counts the given records; its records
// start at the 1-based position `at` (a comment line fills the gap) and `tail`
// follows them, on the same line.
std::string script(int notes, int tasks, const std::string& records, std::size_t at = 0,
                   const std::string& tail = {}) {
  std::string s = "// QFRT W " + std::string(1, char(notes)) + ' ' + char(tasks) + ' ' + '\0' + " 100\r\n";
  if (at > 0)
    s += "//" + std::string(at - 1 - s.size() - 4, '.') + "\r\n";
  return s + records + tail;
}

} // namespace

TEST(ScriptReader, ReadsEachScriptAsItsLayoutSays) {
  const std::string note = "player createDiaryRecord [\"Diary\",[\"N\",\"t\"]];"; // its CR LF follows
  const std::string task =
      "x=player createSimpleTask [\"T\"];\r\nx setSimpleTaskDescription [\"D\",\"T\",\"T\"];";
  const std::string noCrLf(40000, 'x'), withCrLf = noCrLf + "\r\n"; // no quote, no line end, no marker
  // Records as the writer writes them: N2 and T2 are read first, into the last place.
  const std::string note1 = "player createDiaryRecord [\"Diary\",[\"N1\",\"a\"]];\r\n",
                    note2 = "player createDiaryRecord [\"Diary\",[\"N2\",\"b\"]];\r\n",
                    task1 = "tskObj1=player createSimpleTask [\"T1\"];\r\n"
                            "tskObj1 setSimpleTaskDescription [\"D1\",\"T1\",\"T1\"];\r\n",
                    task2 = "tskObj2=player createSimpleTask [\"T2\"];\r\n"
                            "tskObj2 setSimpleTaskDescription [\"D2\",\"T2\",\"T2\"];\r\n";
  const std::size_t taskCr = task1.size() + task2.size() - 1, noteCr = note1.size() + note2.size() - 1;
  const std::string twoNotes = "N2=b | N1=a / ", twoTasks = " / T2=D2 | T1=D1";
  const struct {
    const char* what; // a file under tests/data where no bytes are given
    std::string bytes;
    std::string expected;
  } rows[] = {
      // Undoubled quotes end a title or description at the first quote (a
      // note's text then starts three bytes later); a note text runs to its
      // line's end; a quote doubled inside a string opens none.
      {"worked_example",
       {},
       "Intel=Line one\r\nLine two / Take the bridge=Cross at dawn. | Hold the town=Dig in."},
      {"read_markers_any_case", {}, "N=n / T=t"},
      {"read_br_exact_case", {}, "N=a\r\nb<BR/>c<br>d / T=\r\n\r\nx<Br/>"},
      {"read_empty_fields", {}, "= / ="},
      {"read_notes_only", {}, "N=n\r\nn / "},
      {"tasks_only_civilian", {}, " / Evacuate=Leave by boat."},
      {"<br/> in titles stays",
       script(1, 1,
              "player createDiaryRecord [\"Diary\",[\"n<br/>\",\"t<br/>\"]];\r\n" + task.substr(0, 29) +
                  "<br/>" + task.substr(29)),
       "n<br/>=t\r\n / T<br/>=D"},
      {"read_undoubled_quotes", {}, "N=say \"hi\" | ab=\",\"text / A=a | x=p"},
      {"read_markers_inside_strings",
       {},
       "Diary\",[\"=\" | createSimpleTask [\"x\"];=Diary\",[\"y\"]]; setSimpleTaskDescription [\" / "
       "\"Diary\",[\"=x\"];\"\""},
      {"read_doubled_quote_before_marker", {}, "A=b / "},
      // The header: characters 11, 13 and 15 of the first line, its CR counted.
      {"read_empty", {}, "header 5"},
      {"read_no_crlf", {}, "header 5"},
      {"read_short_header", {}, "header 5"},
      {"first line of 15 characters", "// QFRT W \0 \0 \r\n"s, " / "},
      {"read_more_notes_than_records", {}, "notes 5"},
      {"read_more_tasks_than_records", {}, "a=b / tasks 5"},
      {"read_note_title_unclosed", {}, "notes 5"},
      {"read_task_line_without_crlf", {}, " / tasks 5"},
      {"read_tasks_past_32767", {}, "First=a\r\na | Second=b / tasks 6"},
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
      {"second task's CR at 32767", script(0, 2, task1 + task2, 32767 - taskCr + 1), twoTasks},
      {"second task's CR at 32768", script(0, 2, task1 + task2, 32768 - taskCr + 1), " / tasks 6"},
      {"second note's CR at 32767", script(2, 0, note1 + note2, 32767 - noteCr + 1), twoNotes},
      {"second note's CR at 32768", script(2, 0, note1 + note2, 32768 - noteCr + 1), "notes 6"},
      // Record lines as hand edits leave them read as the writer's own.
      {"note: two blanks", script(2, 0, note1 + "player createDiaryRecord  [\"Diary\",[\"N2\",\"b\"]];\r\n"),
       twoNotes},
      {"note: capitals", script(2, 0, note1 + "PLAYER createDiaryRecord [\"DIARY\",[\"N2\",\"b\"]];\r\n"),
       twoNotes},
      {"note: after a statement",
       script(2, 0, note1 + "x=1;player createDiaryRecord [\"Diary\",[\"N2\",\"b\"]];\r\n"), twoNotes},
      {"note: after a string", script(2, 0, note1 + "\"x\";\r\n" + note2), twoNotes},
      {"task: another variable",
       script(0, 2,
              task1 + "tskObjX=player createSimpleTask [\"T2\"];\r\ntskObjX setSimpleTaskDescription "
                      "[\"D2\",\"T2\",\"T2\"];\r\n"),
       twoTasks},
      {"task: one line, any case",
       script(
           0, 2,
           task1 +
               "t=player createsimpletask [\"T2\"]; t SETSIMPLETASKDESCRIPTION [\"D2\",\"T2\",\"T2\"];\r\n"),
       twoTasks},
      {"task: a comment between",
       script(0, 2,
              task1 + "tskObj2=player createSimpleTask [\"T2\"];\r\n// \"a\"\r\ntskObj2 "
                      "setSimpleTaskDescription [\"D2\",\"T2\",\"T2\"];\r\n"),
       twoTasks},
  };
  // The writer's own script, whose titles and texts hold every piece a record
  // line is made of: it reads back as it was written.
  const std::u16string pieces = u"\" createSimpleTask [\" setSimpleTaskDescription [\" \"Diary\",[\" "
                                u"DIARY\",[ \",\" \"]]; <BR/> \r // QFRT W \n";
  const std::u16string twice = pieces + u"\r\n" + pieces;
  const Briefing written = briefingOf(Side::West, {{pieces, twice}}, {{pieces, pieces}, {u"", twice}});
  const SideBriefing& side = written.sides.front();
  EXPECT_EQ(outcome(composeBriefingScript(written)),
            shown(side.notes, true) + " / " + shown(side.tasks, true));

  for (const auto& [what, bytes, expected] : rows)
    EXPECT_EQ(outcome(bytes.empty() ? scriptFile(what) : bytes), expected) << what;
}

TEST(ScriptLocation, MapsAFieldIndexToTheScriptsLineAndColumn) {
  // The field starts at line 2: "cd", a doubled quote (one character), "e",
  // a line-break tag (CR LF in a text, five characters in a title), "f", a
  // lone LF that starts line 3, "g".
  const std::string script = "ab\r\ncd\"\"e<br/>f\ng";
  const std::tuple<std::size_t, bool, int, int> cases[] = {
      {0, true, 2, 1},  {2, true, 2, 3},  {3, true, 2, 5}, {4, true, 2, 6},  {5, true, 2, 6},
      {6, true, 2, 11}, {7, true, 2, 12}, {8, true, 3, 1}, {99, true, 3, 2}, {5, false, 2, 7},
  };
  for (const auto& [index, isText, line, column] : cases) {
    const ScriptLocation at = locationOf(script, offsetInField(script, 4, index, isText));
    EXPECT_EQ(std::pair(at.line, at.column), std::pair(line, column))
        << "index " << index << " text " << isText;
  }
}

// Which encoding a script is read in: UTF-8 where all after the first line is
// valid UTF-8 with a byte from 0x80 up, the code page otherwise (ASCII, the
// same bytes in both, included), whatever the first line's count bytes are;
// and the text read.
TEST(ScriptReader, DetectsTheEncoding) {
  // A first line counting one note (and a current task past the tasks), and
  // the note's record.
  const auto withNote = [](char current, const std::string& text) {
    return "// QFRT W \1 \0 "s + current + " 100\r\n" +
           "player createDiaryRecord [\"Diary\",[\"N\",\"" + text + "\"]];\r\n";
  };
  const struct {
    const char* what;
    std::string script;
    Encoding encoding;
    std::u16string text;
  } rows[] = {
      {"ASCII", withNote('\0', "plain"), Encoding::Ansi, u"plain"},
      {"UTF-8", withNote('\0', "Br\xC3\xBC" "cke \xD0\x96 \xF0\x9F\x98\x80"), Encoding::Utf8,
       u"Br\u00FCcke \u0416 \U0001F600"},
      {"the code page", withNote('\0', "Br\xFC" "cke \x80"), Encoding::Ansi, u"Br\u00FCcke \u20AC"},
      {"UTF-8, then a byte that is none", withNote('\0', "\xC3\xBC \xFC"), Encoding::Ansi,
       u"\u00C3\u00BC \u00FC"},
      // Written by an older tool in the code page, "Ã©" is valid UTF-8: it
      // reads as the "é" the game shows, and saves as the same bytes.
      {"the code page's \"\xC3\x83\xC2\xA9\"", withNote('\0', "\xC3\xA9"), Encoding::Utf8, u"\u00E9"},
      {"a count byte from 0x80 up, ASCII after it", withNote('\xC3', "plain"), Encoding::Ansi, u"plain"},
      {"a count byte from 0x80 up, UTF-8 after it", withNote('\xC3', "\xC3\xA9"), Encoding::Utf8, u"\u00E9"},
  };
  for (const auto& [what, script, encoding, text] : rows) {
    EXPECT_EQ(detectEncoding(script), encoding) << what;
    try {
      const Briefing read = readBriefingScript(script, Side::West).briefing;
      EXPECT_TRUE(read.sides.front().notes.front().text == text) << what;
      const std::string record = script.substr(script.find("\r\n") + 2);
      EXPECT_NE(composeBriefingScript(read).find(record), std::string::npos) << what << ": saved again";
    } catch (const RuntimeError& e) {
      ADD_FAILURE() << what << ": " << e.description;
    }
  }
}
