// Scripts of several sides: every combination of filled sides saves and reads
// back side by side, a briefing of one side keeps its script byte for byte;
// what cannot be written, or read back whole, is refused naming the side or
// the line, and no side is ever read as if the rest were the whole.
#include "ScriptData.h"
#include "core/reader/BriefingScriptReader.h"
#include "core/writer/BriefingScriptWriter.h"

#include <gtest/gtest.h>

namespace {

using Entries = std::vector<BriefingEntry>;

// Each side's own entries: a side's briefing differs from every other's.
const SideBriefing kBriefings[] = {
    {Side::West,
     {{u"Situation", u"Blue\r\nforces"}},
     {{u"Take \"Hill\"", u"Go"}, {u"Hold", u"Dig"}},
     u"Hold"},
    {Side::East, {{u"Intel", u"Red"}, {u"Orders", u""}}, {{u"Defend", u"Stay"}}, u"Defend"},
    {Side::Resistance, {}, {{u"Ambush", u"<marker name='m'>road</marker>"}}, u""},
    {Side::Civilian, {{u"Town", u"Quiet\nnight\rfall"}}, {}, u""}, // a lone LF and CR: no line ends
    {Side::Logic, {{u"Zeus", u"Spawn reinforcements at 20 min"}}, {{u"Watch", u"Keep score"}}, u"Watch"}};

// The sides of mask, the one at `first` in the window and the rest aside.
Briefing sides(unsigned mask, std::size_t first) {
  Briefing briefing{{kBriefings[first]}, Encoding::Ansi};
  for (std::size_t s = 0; s < 5; ++s)
    if ((mask & (1u << s)) && s != first)
      briefing.sides.push_back(kBriefings[s]);
  return briefing;
}

TEST(Sides, EveryCombinationSavesAndReadsBack) {
  for (unsigned mask = 1; mask < 32; ++mask) {
    SCOPED_TRACE("sides " + std::to_string(mask));
    const std::size_t last = 31 - std::size_t(__builtin_clz(mask)), first = std::size_t(__builtin_ctz(mask));
    const Briefing input = sides(mask, last);
    const std::string script = composeBriefingScript(input);
    EXPECT_EQ(measureBriefingScript(input).size, script.size());
    // With another side in the window: the same bytes.
    EXPECT_EQ(composeBriefingScript(sides(mask, first)), script);
    // One playable side: that side's script alone, without a sides line.
    const bool one = (mask & (mask - 1)) == 0 && mask != 16;
    EXPECT_EQ(script.find("QFRT SIDES") == std::string::npos, one);
    // Read back: the sides in block order.
    Briefing expected{{}, Encoding::Ansi}; // ASCII only: the code page's, as it always was
    for (std::size_t s = 0; s < 5; ++s)
      if (mask & (1u << s))
        expected.sides.push_back(kBriefings[s]);
    EXPECT_EQ(readBriefingScript(script, Side::Civilian).briefing, expected);
  }
}

// The side's notes: n of them, each with a text of `length` characters.
SideBriefing filled(Side side, std::size_t n, std::size_t length) {
  return {side, Entries(n, BriefingEntry{u"N", std::u16string(length, u'x')}), {}, u""};
}

// What cannot be written is refused before anything is: the number and what
// it says, naming the side.
TEST(Sides, RefusedNamingTheSide) {
  const Entries many(256, BriefingEntry{u"t", u""});
  // WEST's briefing, and EAST's note text as long as puts EAST's closing "}"
  // at byte 32,767 exactly (the last byte the reader reaches) or one past it.
  const Briefing atLimit{{kBriefings[0], filled(Side::East, 1, 0)}, Encoding::Ansi};
  const auto eastEndsAt = [&](std::size_t end) {
    Briefing b = atLimit;
    const std::size_t now = measureBriefingScript(b).blocks.back().end;
    b.sides[1].notes[0].text.assign(end - now, u'x');
    return b;
  };
  const struct {
    const char* what;
    Briefing briefing;
    const char* refused; // the start of the error, or "" where it is written
  } rows[] = {
      {"256 tasks on EAST",
       {{kBriefings[0], {Side::East, {}, many, u""}}},
       "5 The EAST briefing has 256 tasks"},
      {"255 tasks on EAST",
       {{kBriefings[0], {Side::East, {}, Entries(255, BriefingEntry{u"t", u""}), u""}}},
       ""},
      {"256 notes for the game master",
       {{{Side::Logic, many, {}, u""}}},
       "5 The LOGIC briefing has 256 notes"},
      {"EAST twice", {{kBriefings[1], kBriefings[1]}}, "5 The briefing holds two EAST briefings"},
      {"a character of no code page",
       {{kBriefings[0], {Side::East, {}, {{u"a", u"\u0394"}}, u""}}, Encoding::Ansi},
       "5 The character U+0394 \"\xCE\x94\" in the text of task 1 of the EAST briefing cannot be written"},
      {"EAST ends at byte 32,767", eastEndsAt(32767), ""},
      {"EAST ends at byte 32,768", eastEndsAt(32768),
       "6 Overflow: the script would be 33,023 bytes, and the EAST briefing would end at byte 32,768, past "
       "byte 32,767, where the script could no longer be opened in full"},
      {"one side past 32,767 saves", {{filled(Side::East, 1, 40000)}}, ""},
  };
  for (const auto& [what, briefing, refused] : rows) {
    const std::string got = failure([&] { return composeBriefingScript(briefing); });
    if (*refused == '\0')
      EXPECT_EQ(got.substr(0, 5), "made ") << what << ": " << got;
    else
      EXPECT_EQ(got.substr(0, std::string(refused).size()), refused) << what;
  }
  // What saves at the limit opens again whole.
  EXPECT_TRUE(
      readBriefingScript(composeBriefingScript(eastEndsAt(32767)), Side::West).briefing.sides.size() == 2);
}

// A sides line (the third line) that is not exactly what the writer writes,
// and a side's block that does not hold what the line counts, end the read
// with error 5 saying where: the other sides are never dropped in silence.
TEST(Sides, DamagedScriptsAreRefusedSayingWhere) {
  const std::string script = composeBriefingScript(sides(0b10011, 1)); // WEST, EAST, LOGIC
  ASSERT_NE(script.find("// QFRT SIDES W:1,2,2 E:2,1,1 L:1,1,1\r\n"), std::string::npos);
  const auto changed = [&](std::string_view from, std::string_view to) {
    std::string s = script;
    return s.replace(s.find(from), from.size(), to);
  };
  const std::string damaged =
      "5 Invalid procedure call or argument: the sides line (line 3) is damaged at column ";
  const struct {
    const char* damage;
    std::string bytes;
    std::string read; // what reading gives: the number and description, or "read 3 sides"
  } rows[] = {
      {"none", script, "read 3 sides"},
      {"a count changed", changed("E:2,1,1", "E:1,1,1"),
       "5 Invalid procedure call or argument: the EAST block does not hold the 1 notes and 1 tasks that the "
       "script's third line counts"},
      {"an unknown letter", changed(" E:2", " X:2"),
       damaged + "23: a side's letter, W, E, R, C or L, should stand here"},
      {"sides out of order", changed("W:1,2,2 E:2,1,1", "E:2,1,1 W:1,2,2"),
       damaged + "23: the sides must stand in the order W, E, R, C, L, each once"},
      {"a lower-case tag", changed("QFRT SIDES", "qfrt sides"),
       damaged + "4: it must start with \"// QFRT SIDES\""},
      {"the line cut", changed(" L:1,1,1\r\n", " L:1\r\n"),
       damaged + "34: \",\" should follow the number of notes"},
      {"the first side not line 1's", changed("W:1,2,2", "W:1,2,1"),
       damaged + "15: the first side's letter and counts are not those of the first line"},
      {"a count of 256", changed("L:1,1,1", "L:256,1,1"), damaged + "33: the number of notes, from 0 to 255"},
      {"a leading zero", changed("L:1,1,1", "L:1,1,01"), damaged + "37: the number of the current task"},
      {"a block missing", changed("case sideLogic:", "case logic:"),
       "5 Invalid procedure call or argument: the script has no block for the side LOGIC"},
      {"line 2 changed", changed("// DO NOT EDIT", "// PLEASE DO NOT EDIT"),
       "5 Invalid procedure call or argument: line 2 of a script of several sides must be"},
  };
  for (const auto& [damage, bytes, read] : rows) {
    std::string got;
    try {
      got = "read " + std::to_string(readBriefingScript(bytes, Side::West).briefing.sides.size()) + " sides";
    } catch (const ScriptReadFailure& e) {
      got = std::to_string(e.number) + ' ' + e.description;
      EXPECT_TRUE(e.loaded.sides.empty()) << damage << ": nothing is taken from a damaged script";
    }
    EXPECT_EQ(got.substr(0, read.size()), read) << damage;
  }
}

} // namespace
