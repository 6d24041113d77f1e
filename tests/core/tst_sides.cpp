// Scripts of several sides: every combination of filled sides saves, reads
// back side by side, and a briefing of one side keeps its script byte for
// byte; what cannot be written is refused naming the side.
#include "ScriptData.h"
#include "core/check/BriefingCheck.h"
#include "core/reader/BriefingScriptReader.h"
#include "core/writer/BriefingScriptWriter.h"

#include <gtest/gtest.h>

namespace {

using Entries = std::vector<BriefingEntry>;

// A side's lists as "title=text;" runs and its current task's title.
template <class List>
std::u16string shown(const List& notes, const List& tasks, std::u16string_view current) {
  std::u16string out;
  for (const auto* list : {&notes, &tasks})
    for (const auto& e : *list)
      out += std::u16string(e.title) + u"=" + std::u16string(e.text) + (list == &notes ? u";" : u"|");
  return out + u"/" + std::u16string(current);
}

// Each side's own entries: a side's briefing differs from every other's.
const SideBriefing kBriefings[] = {
    {u"WEST", {{u"Situation", u"Blue\r\nforces"}}, {{u"Take \"Hill\"", u"Go"}, {u"Hold", u"Dig"}}, u"Hold"},
    {u"EAST", {{u"Intel", u"Red"}, {u"Orders", u""}}, {{u"Defend", u"Stay"}}, u"Defend"},
    {u"RESISTANCE", {}, {{u"Ambush", u"<marker name='m'>road</marker>"}}, u""},
    {u"CIVILIAN", {{u"Town", u"Quiet"}}, {}, u""},
    {u"LOGIC", {{u"Zeus", u"Spawn reinforcements at 20 min"}}, {{u"Watch", u"Keep score"}}, u"Watch"}};

// The sides of mask, the one at `edited` in the window and the rest aside.
BriefingSnapshot sides(unsigned mask, std::size_t edited) {
  const SideBriefing& e = kBriefings[edited];
  BriefingSnapshot input{e.side, e.notes, e.tasks, e.currentTask, 1, 0, 0};
  for (std::size_t s = 0; s < 5; ++s)
    if ((mask & (1u << s)) && s != edited)
      input.otherSides.push_back(kBriefings[s]);
  return input;
}

TEST(Sides, EveryCombinationSavesAndReadsBack) {
  for (unsigned mask = 1; mask < 32; ++mask) {
    SCOPED_TRACE("sides " + std::to_string(mask));
    const std::size_t last = 31 - std::size_t(__builtin_clz(mask)), first = std::size_t(__builtin_ctz(mask));
    const BriefingSnapshot input = sides(mask, last);
    const std::string script = composeBriefingScript(input);
    EXPECT_EQ(briefingScriptSize(input), script.size());
    // With another side in the window: the same bytes.
    EXPECT_EQ(composeBriefingScript(sides(mask, first)), script);
    const auto read = readScriptSides(script);
    if ((mask & (mask - 1)) == 0 && mask != 16) { // one playable side: that side's script alone
      EXPECT_TRUE(read.empty() && script == composeBriefingScript(sides(0, last)));
      continue;
    }
    ASSERT_FALSE(read.empty());
    const ScriptHeader h = readScriptHeader(script);
    const auto notes = scanNoteRecords(script, h.noteCount), tasks = scanTaskRecords(script, h.taskCount);
    std::u16string back =
        shown(notes, tasks, h.currentTask ? std::u16string_view(tasks[h.currentTask - 1].title) : u"");
    for (const auto& side : readOtherSides(script, read))
      back +=
          u" " + shown(side.notes, side.tasks,
                       side.currentTask ? std::u16string_view(side.tasks[side.currentTask - 1].title) : u"");
    std::u16string expected;
    for (std::size_t s = 0; s < 5; ++s)
      if (mask & (1u << s)) {
        const SideBriefing& b = kBriefings[s];
        expected += (expected.empty() ? u"" : u" ") + shown(b.notes, b.tasks, b.currentTask);
      }
    EXPECT_TRUE(back == expected);
    EXPECT_EQ(kSides[read.front().side].letter, h.sideLetter);
  }
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
    const std::string got = failure([&] {
      return composeBriefingScript({u"WEST", {{u"n", u""}}, {}, u"", 1, 0, 0, others});
    });
    EXPECT_TRUE(got.rfind("5 ", 0) == 0 && got.find(message) != std::string::npos) << got;
  }
}

// A third line not exactly as written makes a script of one side, read as
// before; a block missing or short of records ends the read with error 5.
TEST(Sides, ForeignOrDamagedLines) {
  const std::string script = composeBriefingScript(sides(0b10011, 1));
  const auto changed = [&](std::string_view from, std::string_view to) {
    std::string s = script;
    return s.replace(s.find(from), from.size(), to);
  };
  // What reading the other sides' blocks gives: an error, or the two sides.
  const std::pair<std::string, const char*> cases[] = {
      {changed("W:1,2,2", "W:1,2,1"), "one side"},  {changed(" E:2", " e:2"), "one side"},
      {changed("SIDES W", "SIDES  W"), "one side"}, {changed("W:1,2,2 E", "E:2,1,1 W"), "one side"},
      {changed("L:1,1,1", "L:1,1,01"), "one side"}, {changed("case sideLogic:", "case logic:"), "5 "},
      {changed("E:2,1,1", "E:3,1,1"), "5 "},        {script, "made 2"}};
  for (const auto& [text, outcome] : cases) {
    const auto read = readScriptSides(text);
    const std::string got = read.empty() ? "one side" : failure([&] { return readOtherSides(text, read); });
    EXPECT_EQ(got.substr(0, std::string(outcome).size()), outcome) << text.substr(0, 120);
  }
}

} // namespace
