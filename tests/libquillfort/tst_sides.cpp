// Scripts of several sides: every combination of filled sides saves, reads
// back side by side, and a briefing of one side keeps its script byte for
// byte; what cannot be written is refused naming the side.
#include "check/BriefingCheck.h"
#include "platform/RuntimeError.h"
#include "script_reader/BriefingScriptReader.h"
#include "script_writer/BriefingScriptWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

using Entries = std::vector<BriefingEntry>;

// What a side reads back as: "notes / tasks / current", titles=texts.
std::u16string shown(const std::vector<ScriptRecord>& notes, const std::vector<ScriptRecord>& tasks,
                     int current) {
  std::u16string out;
  for (const auto* list : {&notes, &tasks}) {
    for (const auto& r : *list)
      out += r.title + u"=" + r.text + u";";
    out += u" / ";
  }
  return out + (current > 0 ? tasks[current - 1].title : u"");
}
std::u16string shown(const Entries& notes, const Entries& tasks, std::u16string_view current) {
  std::vector<ScriptRecord> n, t;
  int number = 0;
  for (const auto& e : notes)
    n.push_back({std::u16string(e.title), std::u16string(e.text)});
  for (const auto& e : tasks) {
    t.push_back({std::u16string(e.title), std::u16string(e.text)});
    if (e.title == current)
      number = int(t.size());
  }
  return shown(n, t, number);
}

// Each side's own entries: a side's briefing differs from every other's.
struct Side {
  std::u16string word;
  Entries notes, tasks;
  std::u16string_view current;
};
const Side kBriefings[] = {
    {u"WEST", {{u"Situation", u"Blue\r\nforces"}}, {{u"Take \"Hill\"", u"Go"}, {u"Hold", u"Dig"}}, u"Hold"},
    {u"EAST", {{u"Intel", u"Red"}, {u"Orders", u""}}, {{u"Defend", u"Stay"}}, u"Defend"},
    {u"RESISTANCE", {}, {{u"Ambush", u"<marker name='m'>road</marker>"}}, u""},
    {u"CIVILIAN", {{u"Town", u"Quiet"}}, {}, u""},
    {u"LOGIC", {{u"Zeus", u"Spawn reinforcements at 20 min"}}, {{u"Watch", u"Keep score"}}, u"Watch"}};

TEST(Sides, EveryCombinationSavesAndReadsBack) {
  for (unsigned mask = 1; mask < 32; ++mask) {
    // The side being edited is the last filled one; the rest are kept aside.
    BriefingSnapshot input{u"WEST", {}, {}, u"", 1, 0, 0};
    std::vector<std::u16string> expected(5);
    int edited = -1;
    for (int s = 4; s >= 0; --s)
      if (mask & (1u << s)) {
        const Side& b = kBriefings[s];
        expected[std::size_t(s)] = shown(b.notes, b.tasks, b.current);
        if (edited < 0) {
          edited = s;
          input.side = b.word;
          input.notes = b.notes;
          input.tasks = b.tasks;
          input.currentTask = b.current;
        } else {
          input.otherSides.push_back({b.word, b.notes, b.tasks, b.current});
        }
      }
    SCOPED_TRACE("sides " + std::to_string(mask));
    const std::string script = composeBriefingScript(input);
    EXPECT_EQ(briefingScriptSize(input), script.size());
    const bool single = (mask & (mask - 1)) == 0 && mask != 16;
    if (single) { // one playable side: exactly the script of that side alone
      input.otherSides.clear();
      EXPECT_EQ(script, composeBriefingScript(input));
      EXPECT_TRUE(readScriptSides(script).empty());
      continue;
    }
    const ScriptHeader header = readScriptHeader(script);
    const auto sides = readScriptSides(script);
    ASSERT_FALSE(sides.empty());
    std::vector<std::u16string> read(5);
    read[sides[0].side] = shown(scanNoteRecords(script, header.noteCount),
                                scanTaskRecords(script, header.taskCount), header.currentTask);
    EXPECT_EQ(kSides[sides[0].side].letter, header.sideLetter);
    for (const auto& side : readOtherSides(script, sides))
      read[side.side] = shown(side.notes, side.tasks, side.currentTask);
    EXPECT_TRUE(read == expected);
    // Opened and saved again with another side in the window: the same bytes.
    const std::size_t last = sides.back().side;
    BriefingSnapshot again{
        kSides[last].word, kBriefings[last].notes, kBriefings[last].tasks, kBriefings[last].current, 1, 0, 0};
    for (const auto& side : sides)
      if (side.side != last)
        again.otherSides.push_back({kSides[side.side].word, kBriefings[side.side].notes,
                                    kBriefings[side.side].tasks, kBriefings[side.side].current});
    EXPECT_EQ(composeBriefingScript(again), script);
  }
}

TEST(Sides, TheWrittenLayout) {
  BriefingSnapshot input{u"EAST", kBriefings[1].notes, kBriefings[1].tasks, u"Defend", 1, 0, 0};
  input.otherSides = {{u"LOGIC", kBriefings[4].notes, kBriefings[4].tasks, u"Watch"},
                      {u"WEST", kBriefings[0].notes, kBriefings[0].tasks, u"Hold"}};
  std::ifstream in(QUILLFORT_TEST_DATA "/sides_west_east_logic.sqf", std::ios::binary);
  EXPECT_EQ(composeBriefingScript(input), std::string(std::istreambuf_iterator<char>(in), {}));
  // The check names the side of each finding, in the script's order.
  input.otherSides[0].notes = {{u"Zeus", u"Caf\u00e9 & co"}};
  const auto findings = checkBriefing(input);
  ASSERT_FALSE(findings.empty());
  EXPECT_TRUE(findings.back().side == u"LOGIC" && findings.back().kind == FindingKind::BareAmpersand);
}

TEST(Sides, RefusedNamingTheSide) {
  const Entries many(256, BriefingEntry{u"t", u""});
  const std::pair<std::vector<SideBriefing>, const char*> cases[] = {
      {{{u"EAST", {}, many, u""}}, "The EAST briefing has 256 tasks"},
      {{{u"LOGIC", many, {}, u""}}, "The LOGIC briefing has 256 notes"},
      {{{u"EAST", {{u"a", u""}}, {}, u""}, {u"EAST", {{u"b", u""}}, {}, u""}}, "two EAST briefings"},
      {{{u"NORTH", {{u"a", u""}}, {}, u""}}, "The side \"NORTH\" is not one of"},
      {{{u"EAST", {}, {{u"a", u"\u0394"}}, u""}}, "the text of task 1 of the EAST briefing"}};
  for (const auto& [others, message] : cases) {
    BriefingSnapshot input{u"WEST", {{u"n", u""}}, {}, u"", 1, 0, 0};
    input.otherSides = others;
    try {
      ADD_FAILURE() << composeBriefingScript(input).size() << " bytes written: " << message;
    } catch (const RuntimeError& e) {
      EXPECT_TRUE(e.number == 5 && e.description.find(message) != std::string::npos) << e.description;
    }
  }
}

} // namespace
