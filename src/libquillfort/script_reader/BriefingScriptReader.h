#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The header line's fields: the side letter at position 9 and the byte values
// at positions 11, 13 and 15.
struct ScriptHeader {
  char sideLetter = 0;
  int noteCount = 0;
  int taskCount = 0;
  int currentTask = 0; // 1-based position in the task list, 0 for none
};

// A title and its text as read back; texts have CR LF line breaks again.
// titleStart and textStart are the 0-based byte offsets in the script of the
// first byte of each field, so that a place in them can be shown as a line and
// column of the script.
struct ScriptRecord {
  std::u16string title;
  std::u16string text;
  std::size_t titleStart = 0;
  std::size_t textStart = 0;
};

// The reader works pass by pass so that the open command can put the notes
// into the list before the tasks pass runs: a failure in the tasks pass leaves
// the notes loaded. Every function throws RuntimeError 5 or 6 on a script
// that breaks the layout.
ScriptHeader readScriptHeader(std::string_view script);

// The records of a pass, in list order (index 0 is the first entry of the list).
std::vector<ScriptRecord> scanNoteRecords(std::string_view script, int count);
std::vector<ScriptRecord> scanTaskRecords(std::string_view script, int count);
