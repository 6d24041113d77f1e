// The briefing script writer against expected scripts typed out by hand, the
// script size the briefing check works out without composing, and the code
// page every byte of a script is in.
#include "ScriptData.h"
#include "core/check/BriefingCheck.h"
#include "core/reader/BriefingScriptReader.h"
#include "core/text/AnsiCodec.h"
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
  const std::pair<const char*, Briefing> cases[] = {
      {"worked_example",
       snap(Side::East, {{u"Intel", u"Line one\r\nLine two"}},
            {{u"Take the bridge", u"Cross at dawn."}, {u"Hold the town", u"Dig in."}}, u"Hold the town")},
      {"notes_only_west", snap(Side::West, {{u"First", u""}, {u"Second", u"Radio silence."}}, {}, u"")},
      // The label matches no title exactly, so no task is current.
      {"tasks_only_civilian", snap(Side::Civilian, {}, {{u"Evacuate", u"Leave by boat."}}, u"evacuate")},
      // Two current titles: the header names the later, setCurrentTask the earlier.
      {"duplicate_current_resistance",
       snap(Side::Resistance, {}, {{u"Ambush", u"a"}, {u"Rest", u"b"}, {u"Ambush", u"c"}}, u"Ambush")},
      // Quotes are doubled as SQF writes them; only CR LF pairs become "<br/>";
      // the rest is the code page's bytes.
      {"texts_and_quotes",
       snap(Side::West,
            {{u"The \"Old\" Mill",
              u"Go <marker name='m'>here</marker>\r\ntyped <br/> stays\rlone CR\nlone LF\r\r\n"}},
            {{u"Say \"hi\"", u"He said \"go\"\r\nCaf\u00e9 \u20ac5"}}, u"Say \"hi\"")}};

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
// first entry, in list order, that the code page cannot hold (the limits of
// 255 entries: the check's tests).
TEST(Writer, RefusesWithErrorFive) {
  const std::pair<Briefing, const char*> cases[] = {
      {snap(Side::West, {{u"a", u""}, {u"b", u"x\u4e2d"}, {u"c", u"\u0394"}}, {}, u""),
       "5 The character U+4E2D \"\xE4\xB8\xAD\" in the text of note 2 "},
      {snap(Side::West, {}, {{u"a", u""}, {u"b", u""}, {u"\u0394", u""}}, u""),
       "5 The character U+0394 \"\xCE\x94\" in the title of task 3 "}};

  for (const auto& [input, expected] : cases)
    EXPECT_EQ(failure([&] { return composeBriefingScript(input); }).substr(0, std::string(expected).size()),
              expected);
}

// Whatever a field's length (short ones, whole blocks of sixteen and their
// edges) and wherever a character stands in it, amid ASCII, letters outside
// ASCII or quotes, in either encoding: a character the encoding cannot hold
// fails the save with error 5 naming it; one it holds is written as its bytes
// there, counted as bytes by the check's size, and reads back as it was.
TEST(Writer, EveryCharacterAtEveryPlaceOfAField) {
  const struct {
    std::u16string_view c;
    const char* name;
    const char* ansi; // its bytes in Windows-1252, nullptr where it has none
    const char* utf8;
  } characters[] = {
      {u"a", "U+0061", "a", "a"},
      {u"\"", "U+0022", "\"\"", "\"\""},
      {u"\u00E9", "U+00E9", "\xE9", "\xC3\xA9"},
      {u"\u20AC", "U+20AC", "\x80", "\xE2\x82\xAC"},
      {u"\u0080", "U+0080", nullptr, "\xC2\x80"},
      {u"\u0081", "U+0081", "\x81", "\xC2\x81"},
      {u"\u0142", "U+0142", nullptr, "\xC5\x82"},
      {u"\u0416", "U+0416", nullptr, "\xD0\x96"},
      {u"\u4E2D", "U+4E2D", nullptr, "\xE4\xB8\xAD"},
      {u"\U0001F600", "U+1F600", nullptr, "\xF0\x9F\x98\x80"},
      {u"\xD800", "U+D800", nullptr, nullptr}, // half of a pair: only a paste brings one
  };
  for (const Encoding encoding : {Encoding::Ansi, Encoding::Utf8})
    for (const char16_t filler : {u'x', u'\u00E9', u'"'})
      for (std::size_t length = 1; length <= 40 && !HasFailure(); ++length)
        for (const auto& [c, name, ansi, utf8] : characters)
          for (std::size_t at = 0; at + c.size() <= length; ++at)
            for (const bool inText : {true, false}) {
              std::u16string field(length, filler);
              field.replace(at, c.size(), c);
              const Briefing input = inText ? snap(Side::West, {{u"n", field}}, {}, u"", encoding)
                                            : snap(Side::West, {}, {{field, u"t"}}, u"", encoding);
              const char* bytes = encoding == Encoding::Ansi ? ansi : utf8;
              SCOPED_TRACE(std::string(name) + " at " + std::to_string(at) + " of " + std::to_string(length) +
                           (inText ? " in a text" : " in a title") +
                           (encoding == Encoding::Ansi ? ", ANSI" : ", UTF-8"));
              try {
                const std::string script = composeBriefingScript(input);
                EXPECT_TRUE(bytes && script.find(bytes) != std::string::npos)
                    << "written as " << script.size();
                EXPECT_EQ(measureBriefingScript(input).size, script.size()); // the check's size: bytes
                const SideBriefing back = readBriefingScript(script, Side::West).briefing.sides.front();
                EXPECT_TRUE((inText ? back.notes[0].text : back.tasks[0].title) == field);
              } catch (const RuntimeError& e) {
                const std::string got = std::to_string(e.number) + ' ' + e.description;
                const std::string where = inText ? " in the text of note 1 " : " in the title of task 1 ";
                EXPECT_TRUE(!bytes && got.find("5 The character " + std::string(name)) == 0 &&
                            got.find(where) != std::string::npos)
                    << got;
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
