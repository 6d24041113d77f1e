// The briefing script writer against expected scripts typed out by hand.
#include "platform/RuntimeError.h"
#include "script_writer/BriefingScriptWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

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
  EXPECT_EQ(composeBriefingScript(input), std::string(std::istreambuf_iterator<char>(in), {})) << file;
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

// The counts are raw bytes between blanks, whatever character they make; an
// empty label names no task, not even one with an empty title.
TEST(Writer, HeaderCountsAreRawBytes) {
  const std::size_t rows[][3] = {{10, 13, 13}, {34, 34, 34}, {128, 159, 140}, {255, 255, 255}, {0, 1, 0}};
  for (const auto& [notes, tasks, current] : rows) {
    Entries list(tasks);
    if (current > 0)
      list[current - 1].title = u"Now";
    const std::string script =
        composeBriefingScript(snap(u"WEST", Entries(notes), list, current ? u"Now" : u""));
    EXPECT_EQ(script.substr(8, 13), std::string({'W', ' ', char(notes), ' ', char(tasks), ' ', char(current),
                                                 ' ', '1', '0', '0', '\r', '\n'}));
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

} // namespace
