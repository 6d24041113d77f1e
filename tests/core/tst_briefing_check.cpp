// The briefing check: each finding, where it points and what it says (the
// script size it works out without composing: tst_script_writer).
#include "ScriptData.h"
#include "core/check/BriefingCheck.h"
#include "core/writer/BriefingScriptWriter.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using Entries = std::vector<BriefingEntry>;

Briefing snap(Entries notes, Entries tasks, std::u16string current = u"") {
  return briefingOf(Side::West, std::move(notes), std::move(tasks), std::move(current));
}
Briefing noteText(std::u16string text) { return snap({{u"Intel", std::move(text)}}, {}); }
Briefing inUtf8(Briefing briefing) {
  briefing.encoding = Encoding::Utf8;
  return briefing;
}
const Entries k255(255, BriefingEntry{u"t", u""}), k256(256, BriefingEntry{u"t", u""});

// One finding written out in one line: "warning BareAmpersand notes 0 text 2:7".
std::string shown(const BriefingFinding& f) {
  std::ostringstream out;
  std::istringstream kinds(
      "UnencodableCharacter TooManyEntries NonAsciiCharacter BareAmpersand MarkerWithoutName "
      "MarkerWithoutClosingTag NestedMarker PictureWithoutFile PictureNotInFolder UnknownTag "
      "DuplicateCurrentTask ScriptTooLarge EmptyTitle NotAsWritten LeftOut");
  std::string kind;
  for (int i = 0; i <= int(f.kind); ++i)
    kinds >> kind;
  static const char* lists[] = {"briefing", "notes", "tasks"};
  static const char* fields[] = {"", " title", " text", " script"};
  out << (f.severity == FindingSeverity::Error ? "error " : "warning ") << kind << ' ' << lists[int(f.list)]
      << ' ' << f.index << fields[int(f.field)];
  if (f.line > 0)
    out << ' ' << f.line << ':' << f.column;
  return out.str();
}

// A note's text that makes the script exactly `size` bytes long.
std::u16string noteTextForSize(std::size_t size) {
  return std::u16string(size - composeBriefingScript(noteText(u"")).size(), u'x');
}
const std::u16string k32767 = noteTextForSize(32767), k32768 = noteTextForSize(32768);

// Every finding of each input, in order: kind, list, index, field, line and
// column (1-based, lines end at CR LF, columns count UTF-16 units), and where
// the row says so, what it says. Pictures: only "pics\\map.jpg" and
// "intel.png" are in the mission folder.
TEST(Check, FindingsAreFoundWhereTheyStand) {
  const struct {
    const char* name;
    Briefing input;
    std::vector<std::string> expected;
  } cases[] = {
      {"clean",
       snap({{u"Intel", u"Go <marker name='m'>here</marker>\r\n<img image='intel.png' width='200' "
                        u"height='200'/> &amp; &lt;b&gt; &#169; &#xA9; "
                        u"<font color='#ff0000'>x</font><execute expression='hint 1'>y</execute><br/> "
                        u"</marker> <marker name='s'/>"}},
            {{u"Take", u"a"}, {u"Hold", u"b"}}, u"Take"),
       {}},
      {"the code page",
       noteText(u"ab\r\nc\u4e2d\u4e2d"),
       {"error UnencodableCharacter notes 0 text 2:2: The character U+4E2D \"\xE4\xB8\xAD\" cannot be "
        "written in the code page Windows-1252: UTF-8, the script's other encoding, holds it (2 such "
        "characters in all)",
        "warning NonAsciiCharacter notes 0 text 2:2"}},
      {"outside ASCII, title and text",
       snap({}, {{u"Caf\u00e9", u"\u00fcber"}}),
       {"warning NonAsciiCharacter tasks 0 title 1:4: The character U+00E9 \"\xC3\xA9\" is outside ASCII: "
        "the game reads the script as UTF-8 and shows another character; save the script as UTF-8 to show it "
        "as typed",
        "warning NonAsciiCharacter tasks 0 text 1:1"}},
      {"a pair of UTF-16 units, then an ampersand",
       snap({}, {{u"A", u""}, {u"B", u"\u00e9\U0001F600 &"}}),
       {"warning NonAsciiCharacter tasks 1 text 1:1: The character U+00E9 \"\xC3\xA9\" is outside ASCII: the "
        "game reads the script as UTF-8 and shows another character; save the script as UTF-8 to show it as "
        "typed (2 such characters in all)",
        "error UnencodableCharacter tasks 1 text 1:2: The character U+1F600 \"\xF0\x9F\x98\x80\" cannot be "
        "written in the code page Windows-1252: UTF-8, the script's other encoding, holds it",
        "warning BareAmpersand tasks 1 text 1:5"}},
      {"in UTF-8, every character is written as typed",
       inUtf8(snap({}, {{u"Caf\u00e9", u"\u4e2d \u0416 \U0001F600 \u0080"}})),
       {}},
      {"in UTF-8, half a UTF-16 pair cannot be written",
       inUtf8(noteText(u"a\xD800"
                       u"b")),
       {"error UnencodableCharacter notes 0 text 1:2: The character U+D800 cannot be written in UTF-8: it "
        "is half of a pair of UTF-16 units, the other half of which is missing"}},
      {"255 notes and tasks", snap(k255, k255), {"warning ScriptTooLarge briefing -1"}},
      {"256 tasks",
       snap({}, k256),
       {"error TooManyEntries briefing -1: The briefing has 256 tasks, but a briefing script holds at most "
        "255 tasks"}},
      {"script of 32767 bytes", noteText(k32767), {}},
      {"script of 32768 bytes",
       noteText(k32768),
       {"warning ScriptTooLarge briefing -1: The script would be 32,768 bytes: it saves, but only its first "
        "32,767 bytes can be opened again"}},
      {"bare ampersands",
       noteText(u"A & B\r\nfish&chips &amp; &#; &#x; &foo;"),
       {"warning BareAmpersand notes 0 text 1:3: A bare \"&\" cuts the text here in the game: write it as "
        "\"&amp;\"",
        "warning BareAmpersand notes 0 text 2:5", "warning BareAmpersand notes 0 text 2:18",
        "warning BareAmpersand notes 0 text 2:22", "warning BareAmpersand notes 0 text 2:27"}},
      {"a lone CR or LF is no line end",
       noteText(u"a\nb\rc&\r\n&"),
       {"warning BareAmpersand notes 0 text 1:6", "warning BareAmpersand notes 0 text 2:1"}},
      {"markers",
       noteText(u"<marker>a</marker> <marker name=''>b</marker>\r\n<marker name='x'>open"),
       {"warning MarkerWithoutName notes 0 text 1:1: The marker tag <marker> names no marker",
        "warning MarkerWithoutName notes 0 text 1:20: The marker tag <marker name=''> names no marker",
        "warning MarkerWithoutClosingTag notes 0 text 2:1: The marker tag has no closing </marker>"}},
      {"two left open",
       snap({}, {{u"T", u"\r\n\r\n  <marker name='a'>x <MARKER name='b'>y"}}),
       {"warning MarkerWithoutClosingTag tasks 0 text 3:3", "warning NestedMarker tasks 0 text 3:22",
        "warning MarkerWithoutClosingTag tasks 0 text 3:22"}},
      {"nested marker",
       noteText(u"<marker name='a'>x <marker name='b'>y</marker></marker>"),
       {"warning NestedMarker notes 0 text 1:20: The marker tag <marker name='b'> stands inside another "
        "marker's link"}},
      {"pictures",
       noteText(
           u"<img width='200'/> <img image='pics\\map.jpg'/>\r\n  <img image='gone.paa'/> <img image=''/>"),
       {"warning PictureWithoutFile notes 0 text 1:1: The picture tag <img width='200'/> names no file",
        "warning PictureNotInFolder notes 0 text 2:3: The picture \"gone.paa\" is not in the mission folder",
        "warning PictureWithoutFile notes 0 text 2:27"}},
      {"unknown tags",
       noteText(u"<b>bold</b> a<2 <br> <t/>"),
       {"warning UnknownTag notes 0 text 1:1: The game does not know the tag <b>",
        "warning UnknownTag notes 0 text 1:8", "warning UnknownTag notes 0 text 1:22"}},
      {"two current tasks",
       snap({}, {{u"Go", u""}, {u"Rest", u""}, {u"Go", u""}}, u"Go"),
       {"warning DuplicateCurrentTask tasks 0 title 1:1: Tasks 1 and 3 all carry the current task's title: "
        "the game makes task 1 current, but the script reopens with task 3 current",
        "warning DuplicateCurrentTask tasks 2 title 1:1"}},
      {"same titles, neither current", snap({}, {{u"Go", u""}, {u"Go", u""}}, u"Rest"), {}},
      {"empty titles",
       snap({{u"", u"x"}}, {{u"A", u""}, {u"", u""}}),
       {"warning EmptyTitle notes 0 title 1:1: The title is empty", "warning EmptyTitle tasks 1 title 1:1"}},
  };
  const PictureLookup lookup = [](std::u16string_view f) {
    return f == u"pics\\map.jpg" || f == u"intel.png";
  };
  for (const auto& c : cases) {
    std::vector<std::string> got;
    for (const auto& f : checkBriefing(c.input, lookup)) {
      const bool says =
          got.size() < c.expected.size() && c.expected[got.size()].find(": ") != std::string::npos;
      got.push_back(shown(f) + (says ? ": " + f.message : ""));
    }
    EXPECT_EQ(got, c.expected) << c.name;
  }
}

// The file a picture tag names, in the mission folder, or none.
TEST(Check, PicturesAreLookedForInsideTheMissionFolderOnly) {
  const struct {
    std::u16string name;
    const char* expected;
  } cases[] = {
      {u"intel.png", "m/intel.png"},
      {u"pics\\map.jpg", "m/pics/map.jpg"},
      {u"pics/map.jpg", "m/pics/map.jpg"},
      {u"", "none"},
      {u"..\\x.paa", "none"},
      {u"pics\\..\\x.paa", "none"},
      {u"\\x.paa", "none"},
      {u"/x.paa", "none"},
  };
  for (const auto& c : cases) {
    const auto file = missionFile("m", c.name);
    EXPECT_EQ(file ? file->generic_string() : "none", c.expected)
        << std::string(c.name.begin(), c.name.end());
  }
}

} // namespace
