// The briefing check: each finding and where it points (the script size it
// works out without composing: tst_script_writer).
#include "check/BriefingCheck.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using Entries = std::vector<BriefingEntry>;

// Snapshots hold views: the texts below live as long as the tests.
BriefingSnapshot snap(Entries notes, Entries tasks, std::u16string_view current = u"") {
  return {u"WEST", std::move(notes), std::move(tasks), current, 1, 0, 0};
}
BriefingSnapshot noteText(std::u16string_view text) { return snap({{u"Intel", text}}, {}); }
const std::u16string k33000(33000, u'x');

// One finding written out in one line: "warning BareAmpersand notes 0 text 2:7".
std::string shown(const BriefingFinding& f) {
  std::ostringstream out;
  std::istringstream kinds(
      "UnencodableCharacter TooManyEntries NonAsciiCharacter BareAmpersand MarkerWithoutName "
      "MarkerWithoutClosingTag NestedMarker PictureWithoutFile PictureNotInFolder UnknownTag "
      "DuplicateCurrentTask ScriptTooLarge EmptyTitle");
  std::string kind;
  for (int i = 0; i <= int(f.kind); ++i)
    kinds >> kind;
  static const char* lists[] = {"briefing", "notes", "tasks"};
  static const char* fields[] = {"", " title", " text"};
  out << (f.severity == FindingSeverity::Error ? "error " : "warning ") << kind << ' ' << lists[int(f.list)]
      << ' ' << f.index << fields[int(f.field)];
  if (f.line > 0)
    out << ' ' << f.line << ':' << f.column;
  return out.str();
}

const Entries k256(256, BriefingEntry{u"t", u""});

// Every finding of each input, in order. Pictures: only "pics\\map.jpg" and
// "intel.png" are in the mission folder.
TEST(Check, FindingsAreFoundWhereTheyStand) {
  const struct {
    const char* name;
    BriefingSnapshot input;
    std::vector<std::string> expected;
  } cases[] = {
      {"clean",
       snap({{u"Intel", u"Go <marker name='m'>here</marker>\r\n<img image='intel.png' width='200' "
                        u"height='200'/> &amp; &lt;b&gt; &#169; &#xA9; <font color='#ff0000'>x</font>"
                        u"<execute expression='hint 1'>y</execute><br/>"}},
            {{u"Take", u"a"}, {u"Hold", u"b"}}, u"Take"),
       {}},
      {"the code page",
       noteText(u"ab\r\nc\u4e2d\u4e2d"),
       {"error UnencodableCharacter notes 0 text 2:2", "warning NonAsciiCharacter notes 0 text 2:2"}},
      {"outside ASCII, title and text",
       snap({}, {{u"Caf\u00e9", u"\u00fcber"}}),
       {"warning NonAsciiCharacter tasks 0 title 1:4", "warning NonAsciiCharacter tasks 0 text 1:1"}},
      {"too many",
       snap(k256, k256),
       {"error TooManyEntries briefing -1", "error TooManyEntries briefing -1",
        "warning ScriptTooLarge briefing -1"}},
      {"bare ampersands",
       noteText(u"A & B\r\nfish&chips &amp; &#; &#x; &foo;"),
       {"warning BareAmpersand notes 0 text 1:3", "warning BareAmpersand notes 0 text 2:5",
        "warning BareAmpersand notes 0 text 2:18", "warning BareAmpersand notes 0 text 2:22",
        "warning BareAmpersand notes 0 text 2:27"}},
      {"markers",
       noteText(u"<marker>a</marker> <marker name=''>b</marker>\r\n<marker name='x'>open"),
       {"warning MarkerWithoutName notes 0 text 1:1", "warning MarkerWithoutName notes 0 text 1:20",
        "warning MarkerWithoutClosingTag notes 0 text 2:1"}},
      {"nested marker",
       noteText(u"<marker name='a'>x <marker name='b'>y</marker></marker>"),
       {"warning NestedMarker notes 0 text 1:20"}},
      {"pictures",
       noteText(u"<img width='200'/> <img image='pics\\map.jpg'/>\r\n  <img image='gone.paa'/>"),
       {"warning PictureWithoutFile notes 0 text 1:1", "warning PictureNotInFolder notes 0 text 2:3"}},
      {"unknown tags",
       noteText(u"<b>bold</b> a<2 <br> <t/>"),
       {"warning UnknownTag notes 0 text 1:1", "warning UnknownTag notes 0 text 1:8",
        "warning UnknownTag notes 0 text 1:22"}},
      {"two current tasks",
       snap({}, {{u"Go", u""}, {u"Rest", u""}, {u"Go", u""}}, u"Go"),
       {"warning DuplicateCurrentTask tasks 0 title 1:1", "warning DuplicateCurrentTask tasks 2 title 1:1"}},
      {"same titles, neither current", snap({}, {{u"Go", u""}, {u"Go", u""}}, u"Rest"), {}},
      {"empty titles",
       snap({{u"", u"x"}}, {{u"", u""}}),
       {"warning EmptyTitle notes 0 title 1:1", "warning EmptyTitle tasks 0 title 1:1"}},
      {"too large", noteText(k33000), {"warning ScriptTooLarge briefing -1"}},
  };
  const PictureLookup lookup = [](std::u16string_view f) {
    return f == u"pics\\map.jpg" || f == u"intel.png";
  };
  for (const auto& c : cases) {
    std::vector<std::string> got;
    for (const auto& f : checkBriefing(c.input, lookup)) {
      got.push_back(shown(f));
      EXPECT_FALSE(f.message.empty()) << got.back();
      if (f.index >= 0) {
        const auto& list = f.list == FindingList::Notes ? c.input.notes : c.input.tasks;
        EXPECT_EQ(f.title, std::u16string(list[std::size_t(f.index)].title)) << got.back();
      }
    }
    EXPECT_EQ(got, c.expected) << c.name;
  }
}

TEST(Check, PicturesInFolderLooksOnDisk) {
  const auto folder = std::filesystem::temp_directory_path() / "quillfort_check_pictures";
  std::filesystem::create_directories(folder / "pics");
  std::ofstream(folder / "pics" / "map.jpg") << "x";
  std::ofstream(folder / "top.png") << "x";
  const PictureLookup lookup = picturesInFolder(folder);
  for (std::u16string_view file : {u"pics\\map.jpg", u"pics/map.jpg", u"top.png"})
    EXPECT_TRUE(lookup(file)) << std::string(file.begin(), file.end());
  for (std::u16string_view file : {u"pics", u"missing.png", u"../quillfort_check_pictures/top.png", u""})
    EXPECT_FALSE(lookup(file)) << std::string(file.begin(), file.end());
  std::filesystem::remove_all(folder);
}

} // namespace
