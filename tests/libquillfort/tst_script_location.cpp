// Places in a script: how a place inside a field maps to the line and column
// an editor shows (where the reader found each field, the check command's
// places in tst_cli show).
#include "script_reader/ScriptLocation.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

TEST(ScriptLocation, MapsAFieldIndexToTheScriptsLineAndColumn) {
  // The field starts at line 2: "cd", a doubled quote (one character), "e",
  // a line-break tag (CR LF in a text, five characters in a title), "f", a
  // lone LF that starts line 3, "g".
  const std::string script = "ab\r\ncd\"\"e<br/>f\ng";
  const std::tuple<std::size_t, bool, int, int> cases[] = {
      {0, true, 2, 1},  {2, true, 2, 3},  {3, true, 2, 5}, {4, true, 2, 6},  {5, true, 2, 6},
      {6, true, 2, 11}, {7, true, 2, 12}, {8, true, 3, 1}, {99, true, 3, 2}, {5, false, 2, 7},
  };
  for (const auto& [index, isText, line, column] : cases) {
    const ScriptLocation at = locationOf(script, offsetInField(script, 4, index, isText));
    EXPECT_EQ(std::pair(at.line, at.column), std::pair(line, column))
        << "index " << index << " text " << isText;
  }
}
