// The briefing script writer against expected scripts typed out by hand, the
// script size the briefing check works out without composing, and the code
// page every byte of a script is in.
#include "ScriptData.h"
#include "core/check/BriefingCheck.h"
#include "core/text/AnsiCodec.h"
#include "core/reader/BriefingScriptReader.h"
#include "core/writer/BriefingScriptWriter.h"

#include <gtest/gtest.h>

#include <tuple>

#ifndef _WIN32
#include <iconv.h>
#endif

namespace {

using Entries = std::vector<BriefingEntry>;

Briefing snap(Side side, Entries notes, Entries tasks, std::u16string current,
              Encoding encoding = Encoding::Ansi) {
  return briefingOf(side, std::move(notes), std::move(tasks), std::move(current), encoding);
}

TEST(Writer, WritesTheExpectedBytes) {
  // clang-format off
  const std::pair<const char*, Briefing> cases[] = {
      {"worked_example", snap(Side::East, {{u"Intel", u"Line one\r\nLine two"}}, {{u"Take the bridge", u"Cross at dawn."}, {u"Hold the town", u"Dig in."}}, u"Hold the town")},
      {"notes_only_west", snap(Side::West, {{u"First", u""}, {u"Second", u"Radio silence."}}, {}, u"")},
      // The label matches no title exactly, so no task is current.
      {"tasks_only_civilian", snap(Side::Civilian, {}, {{u"Evacuate", u"Leave by boat."}}, u"evacuate")},
      // Two current titles: the header names the later, setCurrentTask the earlier.
      {"duplicate_current_resistance", snap(Side::Resistance, {}, {{u"Ambush", u"a"}, {u"Rest", u"b"}, {u"Ambush", u"c"}}, u"Ambush")},
      // Quotes are doubled as SQF writes them; only CR LF pairs become "<br/>";
      // the rest is the code page's bytes.
      {"texts_and_quotes", snap(Side::West, {{u"The \"Old\" Mill", u"Go <marker name='m'>here</marker>\r\ntyped <br/> stays\rlone CR\nlone LF\r\r\n"}}, {{u"Say \"hi\"", u"He said \"go\"\r\nCaf\u00e9 \u20ac5"}}, u"Say \"hi\"")}};

  // clang-format on
  for (const auto& [file, input] : cases) {
    const std::string expected = scriptFile(file);
    EXPECT_EQ(composeBriefingScript(input), expected) << file;
    EXPECT_EQ(measureBriefingScript(input).size, expected.size()) << file;
  }
}

// Every count from 0 to 255 in each header byte: the header stays a comment
// that ends where its line ends ("//" normally, "/* */" when a byte is CR or
// LF, which would end a line comment early), and the reader takes the counts
// and the records back from either form. The check's size follows the
// header, the two- and three-digit task numbers and the version's digits.
TEST(Writer, HeaderStaysACommentForEveryCount) {
  for (std::size_t n = 0; n <= 255 && !HasFailure(); ++n) {
    const std::size_t rows[][3] = {{n, 1, 0}, {0, n, 0}, {1, 255, n}}; // notes, tasks, current task
    for (const auto& [notes, tasks, current] : rows) {
      Entries list(tasks, BriefingEntry{u"t", u"x"});
      if (current > 0)
        list[current - 1].title = u"Now";
      const Briefing input = snap(Side::West, Entries(notes), list, u"Now");
      const std::string script = composeBriefingScript(input);
      const bool block =
          notes == 10 || notes == 13 || tasks == 10 || tasks == 13 || current == 10 || current == 13;
      const std::string header = std::string(block ? "/*" : "//") + " QFRT W " + char(notes) + ' ' +
                                 char(tasks) + ' ' + char(current) + " 100" + (block ? " */" : "") + "\r\n";
      SCOPED_TRACE(std::to_string(notes) + " notes, " + std::to_string(tasks) + " tasks, current " +
                   std::to_string(current));
      EXPECT_EQ(script.substr(0, header.size()), header);
      EXPECT_EQ(measureBriefingScript(input).size, script.size());
      const ScriptHeader read = readScriptHeader(script);
      EXPECT_EQ(std::tuple(read.sideLetter, read.noteCount, read.taskCount, read.currentTask),
                std::tuple('W', int(notes), int(tasks), int(current)));
      if (script.size() <= 32767) {
        const SideBriefing back = readBriefingScript(script, Side::West).briefing.sides.front();
        EXPECT_EQ(back.notes.size(), notes);
        EXPECT_TRUE(back.tasks.size() == tasks && (current == 0 || back.tasks[current - 1].title == u"Now"));
      }
    }
  }
}

// Refused with error 5 before anything is written; the description names the
// first entry, in list order, that the code page cannot hold.
TEST(Writer, RefusesWithErrorFive) {
  // clang-format off
  const std::pair<Briefing, const char*> cases[] = {
      {snap(Side::West, {}, Entries(256), u""), "5 The briefing has 256 tasks, but a briefing script holds at most 255 tasks"},
      {snap(Side::East, Entries(256), {}, u""), "5 The briefing has 256 notes, but a briefing script holds at most 255 notes"},
      {snap(Side::West, {{u"a", u""}, {u"b", u"x\u4e2d"}, {u"c", u"\u0394"}}, {}, u""), "5 The character U+4E2D \"\xE4\xB8\xAD\" in the text of note 2 "},
      {snap(Side::West, {}, {{u"a", u""}, {u"b", u""}, {u"\u0394", u""}}, u""), "5 The character U+0394 \"\xCE\x94\" in the title of task 3 "}};

  // clang-format on
  for (const auto& [input, expected] : cases)
    EXPECT_EQ(failure([&] { return composeBriefingScript(input); }).substr(0, std::string(expected).size()),
              expected);
}

// Whatever a field's length (short ones, whole blocks of sixteen and their
// edges) and wherever a character stands in it, amid ASCII, letters outside
// ASCII or quotes: one the code page cannot hold fails the save with error 5
// naming it, one it can hold reads back as it was written.
TEST(Writer, EveryCharacterAtEveryPlaceOfAField) {
  const std::pair<std::u16string_view, const char*> characters[] = {
      {u"\u0100", "U+0100"}, {u"\u7FFF", "U+7FFF"}, {u"\u8000", "U+8000"},
      {u"\uAC00", "U+AC00"}, {u"\uFFFD", "U+FFFD"}, {u"\U0001F600", "U+1F600"},
      {u"\u20AC", nullptr},  {u"\u0178", nullptr},  {u"\u00FF", nullptr},
      {u"\"", nullptr}};
  for (const char16_t filler : {u'x', u'\u00E9', u'"'})
    for (std::size_t length = 1; length <= 70 && !HasFailure(); ++length)
      for (const auto& [c, refused] : characters)
        for (std::size_t at = 0; at + c.size() <= length; ++at)
          for (const bool inText : {true, false}) {
            std::u16string field(length, filler);
            field.replace(at, c.size(), c);
            const Briefing input =
                inText ? snap(Side::West, {{u"n", field}}, {}, u"") : snap(Side::West, {}, {{field, u"t"}}, u"");
            SCOPED_TRACE((refused ? refused : "a writable character") + std::string(" at ") +
                         std::to_string(at) + " of " + std::to_string(length) +
                         (inText ? " in a text" : " in a title"));
            try {
              const std::string script = composeBriefingScript(input);
              EXPECT_FALSE(refused) << "written as " << script.size() << " bytes";
              const SideBriefing back = readBriefingScript(script, Side::West).briefing.sides.front();
              EXPECT_TRUE((inText ? back.notes[0].text : back.tasks[0].title) == field);
            } catch (const RuntimeError& e) {
              const std::string named = std::string("5 The character ") + (refused ? refused : "?");
              const std::string where = inText ? " in the text of note 1 " : " in the title of task 1 ";
              const std::string got = std::to_string(e.number) + ' ' + e.description;
              EXPECT_TRUE(got.find(named) == 0 && got.find(where) != std::string::npos) << got;
            }
          }
}

TEST(AnsiCodec, WritesTheCodePagesBytesOrNamesTheCharacter) {
  std::string all; // every byte reads back as itself
  for (int b = 0; b < 256; ++b)
    all += static_cast<char>(b);
  EXPECT_EQ(AnsiCodec::encode(AnsiCodec::decode(all), "a test"), all);
  // Euro sign, curly quotes, dashes, the ellipsis and the trade mark sign are
  // what mission makers paste from word processors.
  EXPECT_EQ(AnsiCodec::encode(u"\u20AC\u201C\u201D\u2018\u2019\u2013\u2014\u2026\u2122\u0178\u00E9\u00A0",
                              "a test"),
            "\x80\x93\x94\x91\x92\x96\x97\x85\x99\x9F\xE9\xA0");
  const std::pair<std::u16string, const char*> unwritable[] = {
      {u"Pozna\u0144 bridge", "U+0144 \"\xC5\x84\""},
      {u"\u041C\u043E\u0441\u043A\u0432\u0430", "U+041C \"\xD0\x9C\""},
      {u"ok \U0001F600", "U+1F600 \"\xF0\x9F\x98\x80\""}};
  for (const auto& [text, shown] : unwritable)
    EXPECT_EQ(failure([&] { return AnsiCodec::encode(text, "the title of task 3"); }),
              std::string("5 The character ") + shown +
                  " in the title of task 3 cannot be written in the code page " + AnsiCodec::codePageName());
#ifndef _WIN32
  // Every byte against the C library's own Windows-1252, which leaves five bytes undefined.
  const iconv_t cp1252 = iconv_open("UTF-16LE", "CP1252");
  ASSERT_NE(cp1252, iconv_t(-1)) << "the C library has no Windows-1252";
  for (int b = 128; b < 256; ++b) {
    char byte = char(b), *in = &byte, unit[2], *out = unit;
    std::size_t inLeft = 1, outLeft = 2;
    if (iconv(cp1252, &in, &inLeft, &out, &outLeft) == 0) {
      const char16_t unicode = char16_t(std::uint8_t(unit[0]) | std::uint8_t(unit[1]) << 8);
      EXPECT_EQ(AnsiCodec::decode(std::string_view(&byte, 1)), std::u16string(1, unicode)) << b;
    }
  }
  iconv_close(cp1252);
#endif
}

} // namespace
