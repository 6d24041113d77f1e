// The briefing script writer against expected scripts typed out by hand, and
// the script size the briefing check works out without composing.
#include "check/BriefingCheck.h"
#include "platform/RuntimeError.h"
#include "script_reader/BriefingScriptReader.h"
#include "script_writer/BriefingScriptWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string_view>
#include <tuple>

namespace {

using Entries = std::vector<BriefingEntry>;

BriefingSnapshot snap(std::u16string_view side, Entries notes, Entries tasks, std::u16string_view current) {
  return {side, std::move(notes), std::move(tasks), current, 1, 0, 0};
}

using ScriptCase = std::pair<const char*, BriefingSnapshot>; // a file under tests/data, its input

class ScriptFiles : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(ScriptFiles, MatchExpectedBytes) {
  const auto& [file, input] = GetParam();
  std::ifstream in(std::string(QUILLFORT_TEST_DATA "/") + file, std::ios::binary);
  const std::string expected(std::istreambuf_iterator<char>(in), {});
  EXPECT_EQ(composeBriefingScript(input), expected) << file;
  EXPECT_EQ(briefingScriptSize(input), expected.size()) << file;
}

INSTANTIATE_TEST_SUITE_P(
    Writer, ScriptFiles,
    ::testing::ValuesIn(std::vector<ScriptCase>{
        {"worked_example.sqf",
         snap(u"EAST", {{u"Intel", u"Line one\r\nLine two"}},
              {{u"Take the bridge", u"Cross at dawn."}, {u"Hold the town", u"Dig in."}}, u"Hold the town")},
        {"notes_only_west.sqf", snap(u"WEST", {{u"First", u""}, {u"Second", u"Radio silence."}}, {}, u"")},
        // The label matches no title exactly, so no task is current.
        {"tasks_only_civilian.sqf", snap(u"CIVILIAN", {}, {{u"Evacuate", u"Leave by boat."}}, u"evacuate")},
        // Two current titles: the header names the later, setCurrentTask the earlier.
        {"duplicate_current_resistance.sqf",
         snap(u"RESISTANCE", {}, {{u"Ambush", u"a"}, {u"Rest", u"b"}, {u"Ambush", u"c"}}, u"Ambush")},
        // Quotes are doubled as SQF writes them; only CR LF pairs become "<br/>";
        // the rest is the code page's bytes.
        {"texts_and_quotes.sqf",
         snap(u"WEST",
              {{u"The \"Old\" Mill",
                u"Go <marker name='m'>here</marker>\r\ntyped <br/> stays\rlone CR\nlone LF\r\r\n"}},
              {{u"Say \"hi\"", u"He said \"go\"\r\nCaf\u00e9 \u20ac5"}}, u"Say \"hi\"")}}));

// Every count from 0 to 255 in each header byte: the header stays a comment
// that ends where its line ends ("//" normally, "/* */" when a byte is CR or
// LF, which would end a line comment early), and the reader takes the counts
// and the records back from either form. The check's size follows the
// header, the two- and three-digit task numbers and the version's digits.
TEST(Writer, HeaderStaysACommentForEveryCount) {
  const BriefingSnapshot version{u"CIVILIAN", {}, {{u"a", u"b"}}, u"a", 12, 3, 45};
  EXPECT_EQ(briefingScriptSize(version), composeBriefingScript(version).size());
  for (std::size_t n = 0; n <= 255 && !HasFailure(); ++n) {
    const std::size_t rows[][3] = {{n, 1, 0}, {0, n, 0}, {1, 255, n}}; // notes, tasks, current task
    for (const auto& [notes, tasks, current] : rows) {
      Entries list(tasks, BriefingEntry{u"t", u"x"});
      if (current > 0)
        list[current - 1].title = u"Now";
      const BriefingSnapshot input = snap(u"WEST", Entries(notes), list, u"Now");
      const std::string script = composeBriefingScript(input);
      const bool block =
          notes == 10 || notes == 13 || tasks == 10 || tasks == 13 || current == 10 || current == 13;
      const std::string header = std::string(block ? "/*" : "//") + " QFRT W " + char(notes) + ' ' +
                                 char(tasks) + ' ' + char(current) + " 100" + (block ? " */" : "") + "\r\n";
      SCOPED_TRACE(std::to_string(notes) + " notes, " + std::to_string(tasks) + " tasks, current " +
                   std::to_string(current));
      EXPECT_EQ(script.substr(0, header.size()), header);
      EXPECT_EQ(briefingScriptSize(input), script.size());
      const ScriptHeader read = readScriptHeader(script);
      EXPECT_EQ(std::tuple(read.sideLetter, read.noteCount, read.taskCount, read.currentTask),
                std::tuple('W', int(notes), int(tasks), int(current)));
      if (script.size() <= 32767) {
        EXPECT_EQ(scanNoteRecords(script, read.noteCount).size(), notes);
        const auto back = scanTaskRecords(script, read.taskCount);
        EXPECT_TRUE(back.size() == tasks && (current == 0 || back[current - 1].title == u"Now"));
      }
    }
  }
}

// Refused with error 5 before anything is written; the description names the
// first entry, in list order, that the code page cannot hold.
TEST(Writer, RefusesWithErrorFive) {
  const std::pair<BriefingSnapshot, const char*> cases[] = {
      {snap(u"WEST", {}, Entries(256), u""), "256 tasks"},
      {snap(u"EAST", Entries(256), {}, u""), "256 notes"},
      {snap(u"WEST", {{u"a", u""}, {u"b", u"x\u4e2d"}, {u"c", u"\u0394"}}, {}, u""), "the text of note 2"},
      {snap(u"WEST", {}, {{u"a", u""}, {u"b", u""}, {u"\u0394", u""}}, u""), "the title of task 3"}};
  for (const auto& [input, mentions] : cases) {
    try {
      ADD_FAILURE() << composeBriefingScript(input).size() << " bytes written for " << mentions;
    } catch (const RuntimeError& e) {
      EXPECT_TRUE(e.number == 5 && e.description.find(mentions) != std::string::npos)
          << e.number << ' ' << e.description;
    }
  }
}

// Whatever a field's length (short ones, whole blocks of sixteen and their
// edges) and wherever a character stands in it, amid ASCII, letters outside
// ASCII or quotes: one the code page cannot hold fails the save with error 5
// naming it, one it can hold reads back as it was written.
TEST(Writer, EveryCharacterAtEveryPlaceOfAField) {
  const std::pair<std::u16string_view, const char*> characters[] = {
      {u"\u0100", "U+0100"}, {u"\u7FFF", "U+7FFF"}, {u"\u8000", "U+8000"},        {u"\uAC00", "U+AC00"},
      {u"\uFFFD", "U+FFFD"}, {u"\U0001F600", "U+1F600"}, {u"\u20AC", nullptr}, {u"\u0178", nullptr},
      {u"\u00FF", nullptr},  {u"\"", nullptr}};
  for (const char16_t filler : {u'x', u'\u00E9', u'"'})
    for (std::size_t length = 1; length <= 70 && !HasFailure(); ++length)
      for (const auto& [c, refused] : characters)
        for (std::size_t at = 0; at + c.size() <= length; ++at) {
          std::u16string field(length, filler);
          field.replace(at, c.size(), c);
          for (const bool inText : {true, false}) {
            const BriefingSnapshot input = inText ? snap(u"WEST", {{u"n", field}}, {}, u"")
                                                  : snap(u"WEST", {}, {{field, u"t"}}, u"");
            SCOPED_TRACE((refused ? refused : "a writable character") + std::string(" at ") + std::to_string(at) +
                         " of " + std::to_string(length) + (inText ? " in a text" : " in a title"));
            try {
              const std::string script = composeBriefingScript(input);
              EXPECT_FALSE(refused) << "written as " << script.size() << " bytes";
              const auto back = inText ? scanNoteRecords(script, 1)[0].text : scanTaskRecords(script, 1)[0].title;
              EXPECT_TRUE(back == field);
            } catch (const RuntimeError& e) {
              const std::string named = std::string("The character ") + (refused ? refused : "?");
              EXPECT_TRUE(e.number == 5 && e.description.find(named) == 0 &&
                          e.description.find(inText ? " in the text of note 1 " : " in the title of task 1 ") !=
                              std::string::npos)
                  << e.number << ' ' << e.description;
            }
          }
        }
}

} // namespace
