// Reading scripts back: what the writer wrote comes back exactly, and damaged
// or foreign scripts end in error 5 or 6 at the pass where the damage lies.
#include "platform/AnsiCodec.h"
#include "platform/RuntimeError.h"
#include "script_reader/BriefingScriptReader.h"
#include "script_writer/BriefingScriptWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>

namespace {

// A header line as the writer lays it out, the counts as raw bytes.
std::string header(char side, int notes, int tasks, int current) {
  std::string line = "// QFRT ";
  line += side;
  for (int value : {notes, tasks, current}) {
    line += ' ';
    line += static_cast<char>(value);
  }
  return line + " 100\r\n";
}

std::string noteLine(const std::string& title, const std::string& text) {
  return "player createDiaryRecord [\"Diary\",[\"" + title + "\",\"" + text + "\"]];\r\n";
}

std::string taskLines(int index, const std::string& title, const std::string& text) {
  const std::string v = "tskObj" + std::to_string(index);
  return v + "=player createSimpleTask [\"" + title + "\"];\r\n" + v + " setSimpleTaskDescription [\"" +
         text + "\",\"" + title + "\",\"" + title + "\"];\r\n";
}

// Records as one line to compare: "title=text" joined by " | ".
std::u16string shown(const std::vector<ScriptRecord>& records) {
  std::u16string out;
  for (const auto& r : records)
    out += (out.empty() ? u"" : u" | ") + r.title + u"=" + r.text;
  return out;
}

std::string dataFile(const char* name) {
  std::ifstream f(std::string(QUILLFORT_TEST_DATA "/") + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

} // namespace

TEST(ScriptReader, ReadsTheFormatsWorkedExample) {
  const std::string script = dataFile("worked_example.sqf");
  const ScriptHeader h = readScriptHeader(script);
  EXPECT_EQ(h.sideLetter, 'E');
  EXPECT_EQ(h.noteCount, 1);
  EXPECT_EQ(h.taskCount, 2);
  EXPECT_EQ(h.currentTask, 2);
  EXPECT_EQ(shown(scanNoteRecords(script, 1)), u"Intel=Line one\r\nLine two");
  EXPECT_EQ(shown(scanTaskRecords(script, 2)), u"Take the bridge=Cross at dawn. | Hold the town=Dig in.");
}

TEST(ScriptReader, CountsAreRawBytes) {
  // 13 puts a CR at its position, 10 an LF; 34 is a double quote; 128 is a
  // byte, not the euro sign of the code page.
  for (int value : {0, 10, 13, 34, 128, 255}) {
    const ScriptHeader h = readScriptHeader(header('w', value, value, value));
    EXPECT_EQ(h.sideLetter, 'w');
    EXPECT_EQ(h.noteCount, value);
    EXPECT_EQ(h.taskCount, value);
    EXPECT_EQ(h.currentTask, value);
  }
}

// Scripts the reader takes in though the writer would not write them so.
struct Foreign {
  const char* name;
  std::string script;
  std::u16string notes, tasks;
};

class ForeignScript : public testing::TestWithParam<Foreign> {};

TEST_P(ForeignScript, ReadsAsTheLayoutSays) {
  const Foreign& f = GetParam();
  const ScriptHeader h = readScriptHeader(f.script);
  EXPECT_EQ(shown(scanNoteRecords(f.script, h.noteCount)), f.notes);
  EXPECT_EQ(shown(scanTaskRecords(f.script, h.taskCount)), f.tasks);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Reader, ForeignScript, testing::Values(
    Foreign{"MarkersInAnyLetterCase", header('W', 1, 1, 0) + "x [\"DIARY\",[\"N\",\"n\"]];\r\n" +
            "t=x CREATESIMPLETASK [\"T\"];\r\nt SetSimpleTaskDescription [\"t\",\"T\",\"T\"];\r\n", u"N=n", u"T=t"},
    Foreign{"OnlyExactBrIsALineBreak", header('W', 1, 1, 0) + noteLine("N", "a<br/>b<BR/>c<br>d") +
            taskLines(0, "T", "<br/><br/>x<Br/>"), u"N=a\r\nb<BR/>c<br>d", u"T=\r\n\r\nx<Br/>"},
    Foreign{"EmptyTitlesAndTexts", header('W', 1, 1, 0) + noteLine("", "") + taskLines(0, "", ""), u"=", u"="},
    // Undoubled quotes: a title or description ends at its first quote (a
    // note's text then starts three bytes later); a note text runs to the end
    // of its line, quotes and all.
    Foreign{"UndoubledQuoteInNoteText", header('W', 1, 0, 0) + noteLine("N", "say \"hi\""), u"N=say \"hi\"", u""},
    Foreign{"UndoubledQuoteCutsNoteTitle", header('W', 1, 0, 0) + noteLine("ab\"cd", "text"), u"ab=\",\"text", u""},
    Foreign{"UndoubledQuoteCutsTaskFields", header('W', 0, 2, 0) + taskLines(1, "x\"y", "p\"q") +
            taskLines(0, "A", "a"), u"", u"A=a | x=p"},
    // Doubled quotes are one quote; a marker inside a title or text is text.
    Foreign{"MarkersInsideStrings", header('W', 2, 1, 0) +
            noteLine("createSimpleTask [\"\"x\"\"];", "Diary\"\",[\"\"y\"\"]]; setSimpleTaskDescription [\"\"") +
            noteLine("Diary\"\",[\"\"", "\"\"") + taskLines(0, "\"\"Diary\"\",[\"\"", "x\"\"];\"\"\"\""),
            u"Diary\",[\"=\" | createSimpleTask [\"x\"];=Diary\",[\"y\"]]; setSimpleTaskDescription [\"",
            u"\"Diary\",[\"=x\"];\"\""}),
    [](const testing::TestParamInfo<Foreign>& info) { return std::string(info.param.name); });
// clang-format on

// Damaged scripts: the pass that finds the damage throws, the passes before
// it still load.
enum class Pass { Header, Notes, Tasks };

struct Damaged {
  const char* name;
  std::string script;
  Pass failing;
  int error;
};

class DamagedScript : public testing::TestWithParam<Damaged> {};

TEST_P(DamagedScript, EndsInTheRuntimesError) {
  const Damaged& d = GetParam();
  Pass reached = Pass::Header;
  try {
    const ScriptHeader h = readScriptHeader(d.script);
    reached = Pass::Notes;
    EXPECT_EQ(static_cast<int>(scanNoteRecords(d.script, h.noteCount).size()), h.noteCount);
    reached = Pass::Tasks;
    scanTaskRecords(d.script, h.taskCount);
    FAIL() << "the whole script was read";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(reached, d.failing);
    EXPECT_EQ(e.number, d.error) << e.description;
  }
}

// Notes within the first 32767 bytes, a task record beyond them.
static std::string tasksPastTheLimit() {
  std::string script = header('C', 80, 1, 1);
  for (int i = 0; i < 80; ++i)
    script += noteLine("Note " + std::to_string(i), std::string(330, 'n'));
  return script + "// " + std::string(32767 - script.size(), '/') + "\r\n" + taskLines(0, "T", "t");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Reader, DamagedScript, testing::Values(
    Damaged{"EmptyFile", "", Pass::Header, 5},
    Damaged{"NoCrLf", "// QFRT W \x01 \x01 \x01 100", Pass::Header, 5},
    Damaged{"FirstLineWithoutTaskCount", "// QFRT W \x01 \r\n", Pass::Header, 5},
    Damaged{"FirstLineWithoutCurrentTask", "// QFRT W \x01 \x01\r\n", Pass::Header, 5},
    Damaged{"MoreNotesThanRecords", header('W', 3, 0, 0) + noteLine("a", "b") + noteLine("c", "d"), Pass::Notes, 5},
    Damaged{"MoreTasksThanRecords", header('W', 1, 2, 0) + noteLine("a", "b") + taskLines(0, "t", "d"), Pass::Tasks, 5},
    Damaged{"NoteTitleWithoutClosingQuote", header('W', 1, 0, 0) + "x [\"Diary\",[\"title", Pass::Notes, 5},
    Damaged{"NoteLineTooShortForItsText", header('W', 1, 0, 0) + "x [\"Diary\",[\"t\",\"\r\n", Pass::Notes, 5},
    Damaged{"TaskLineWithoutCrLfBeforeTheNext", header('W', 0, 2, 0) + "a createSimpleTask [\"t\"]; "
            "setSimpleTaskDescription [\"d\"]; createSimpleTask [\"u\"]; setSimpleTaskDescription [\"e\"];", Pass::Tasks, 5},
    Damaged{"TasksPastTheLimit", tasksPastTheLimit(), Pass::Tasks, 6},
    // Past byte 32767 nothing can be found: a missing record there is past the limit too.
    Damaged{"MissingNoteInALongScript", header('W', 2, 0, 0) + noteLine("a", "b") + std::string(40000, '/'), Pass::Notes, 6}),
    [](const testing::TestParamInfo<Damaged>& info) { return std::string(info.param.name); });
// clang-format on

// Writer and reader together: random briefings come back exactly, texts with
// CR LF for every "<br/>" the user typed (that is the format's line break).
namespace {

// clang-format off
const std::vector<std::string> kFragments = {
    "\"", "\"\"", "createSimpleTask [\"", "setSimpleTaskDescription [\"", "Diary\",[\"", "\"Diary\",[\"",
    "DIARY\",[", "\"]];", "\",\"", "]];", "<br/>", "<BR/>", "\r\n", "\r", "\n", " ", "// QFRT W ",
    "<marker name='m1'>here</marker>", "<img image='pic.jpg' width='200' height='200'/>",
    "tskObj0=player createSimpleTask [\"x\"];", "player createDiaryRecord [\"Diary\",[\"x\",\"y\"]];"};
// clang-format on

std::u16string replaceAll(std::u16string s, std::u16string_view from, std::u16string_view to) {
  for (std::size_t i = s.find(from); i != std::u16string::npos; i = s.find(from, i + to.size()))
    s.replace(i, from.size(), to);
  return s;
}

struct Generator {
  std::mt19937 rng;

  int below(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }

  std::u16string field(int maxBytes, bool title) {
    std::string bytes;
    const int target = below(maxBytes + 1);
    while (static_cast<int>(bytes.size()) < target) {
      if (below(3) == 0)
        bytes += kFragments[static_cast<std::size_t>(below(static_cast<int>(kFragments.size())))];
      else
        bytes += static_cast<char>(below(256));
    }
    std::u16string text = AnsiCodec::decode(bytes);
    if (title) // a title is one line, though it may hold a lone CR or LF
      text = replaceAll(text, u"\r\n", u"\r ");
    return text;
  }

  BriefingSnapshot briefing() {
    static const char16_t* sides[] = {u"WEST", u"EAST", u"RESISTANCE", u"CIVILIAN"};
    BriefingSnapshot s;
    s.side = sides[below(4)];
    const int notes = below(5) == 0 ? below(256) : below(8);
    const int tasks = below(5) == 0 ? below(256) : below(8);
    const int perField = 24000 / (3 * (notes + 3 * tasks) + 1);
    for (int i = 0; i < notes; ++i)
      s.notes.push_back({field(perField, true), field(perField, false)});
    for (int i = 0; i < tasks; ++i)
      s.tasks.push_back({field(perField, true), field(perField, false)});
    if (!s.tasks.empty() && below(2) == 0)
      s.currentTask = s.tasks[static_cast<std::size_t>(below(tasks))].title;
    else if (below(2) == 0)
      s.currentTask = field(8, true);
    s.versionMajor = 1;
    return s;
  }
};

void expectSame(const std::vector<BriefingEntry>& written, const std::vector<ScriptRecord>& read,
                const char* what) {
  ASSERT_EQ(read.size(), written.size()) << what;
  for (std::size_t i = 0; i < read.size(); ++i) {
    EXPECT_EQ(read[i].title, written[i].title) << what << " " << i;
    const std::u16string text = replaceAll(replaceAll(written[i].text, u"\r\n", u"<br/>"), u"<br/>", u"\r\n");
    EXPECT_EQ(read[i].text, text) << what << " " << i;
  }
}

} // namespace

TEST(ScriptReader, TakesBackWhatTheWriterWrote) {
  const char* fixed = std::getenv("QUILLFORT_SEED");
  const unsigned seed =
      fixed ? static_cast<unsigned>(std::strtoul(fixed, nullptr, 10)) : std::random_device{}();
  Generator gen{std::mt19937(seed)};
  int read = 0;
  for (int round = 0; round < 3000 && !testing::Test::HasFailure(); ++round) {
    const BriefingSnapshot b = gen.briefing();
    if (b.notes.empty() && b.tasks.empty())
      continue;
    const std::string script = composeBriefingScript(b);
    if (script.size() > 32767)
      continue;
    SCOPED_TRACE("seed " + std::to_string(seed) + " (QUILLFORT_SEED), round " + std::to_string(round));
    const ScriptHeader h = readScriptHeader(script);
    EXPECT_EQ(h.sideLetter, static_cast<char>(b.side[0]));
    expectSame(b.notes, scanNoteRecords(script, h.noteCount), "note");
    expectSame(b.tasks, scanTaskRecords(script, h.taskCount), "task");
    if (h.currentTask > 0) {
      EXPECT_EQ(b.tasks.at(static_cast<std::size_t>(h.currentTask - 1)).title, b.currentTask);
    } else if (!b.currentTask.empty()) {
      for (const auto& t : b.tasks)
        EXPECT_NE(t.title, b.currentTask);
    }
    ++read;
  }
  EXPECT_GT(read, 2000);
}
