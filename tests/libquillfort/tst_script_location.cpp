// Places in a script: where the reader found each record's title and text, and
// how a place inside a field maps to the line and column an editor shows.
#include "script_reader/BriefingScriptReader.h"
#include "script_reader/ScriptLocation.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <tuple>

static std::string dataFile(const std::string& name) {
  std::ifstream f(std::string(QUILLFORT_TEST_DATA "/") + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

TEST(ScriptLocation, MapsAFieldIndexToTheScriptsLineAndColumn) {
  // The field starts at line 2: "cd", a doubled quote (one character), "e",
  // a line-break tag (CR LF in a text, five characters in a title), "f", a
  // lone LF that starts line 3, "g".
  const std::string script = "ab\r\ncd\"\"e<br/>f\ng";
  const std::tuple<std::size_t, bool, int, int> cases[] = {
      {0, true, 2, 1},  {2, true, 2, 3},   {3, true, 2, 5},  {4, true, 2, 6},
      {5, true, 2, 6},  {6, true, 2, 11},  {7, true, 2, 12}, {8, true, 3, 1},
      {99, true, 3, 2}, {5, false, 2, 7},
  };
  for (const auto& [index, isText, line, column] : cases) {
    const ScriptLocation at = locationOf(script, offsetInField(script, 4, index, isText));
    EXPECT_EQ(std::pair(at.line, at.column), std::pair(line, column)) << "index " << index << " text " << isText;
  }
}

TEST(ScriptLocation, TheReaderTellsWhereEachTitleAndTextStart) {
  // worked_example: the note on line 13, task B on lines 14 and 15, task A on
  // 16 and 17 (the lists in editor order: A first).
  const std::string script = dataFile("worked_example.sqf");
  const auto notes = scanNoteRecords(script, 1);
  const auto tasks = scanTaskRecords(script, 2);
  const std::tuple<const ScriptRecord*, int, int, int, int> cases[] = {
      {&notes[0], 13, 37, 13, 45}, {&tasks[1], 14, 35, 15, 36}, {&tasks[0], 16, 35, 17, 36}};
  for (const auto& [record, titleLine, titleColumn, textLine, textColumn] : cases) {
    const ScriptLocation title = locationOf(script, record->titleStart);
    const ScriptLocation text = locationOf(script, record->textStart);
    EXPECT_EQ(std::tuple(title.line, title.column, text.line, text.column),
              std::tuple(titleLine, titleColumn, textLine, textColumn));
  }
}
