#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace reader_detail {
class RecordFinder;
class RecordPass;
} // namespace reader_detail

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

// The same, as views into text the reader holds.
struct ScriptRecordView {
  std::u16string_view title;
  std::u16string_view text;
  std::size_t titleStart = 0;
  std::size_t textStart = 0;
};

// Reads a script pass by pass, so that the open command can put the notes
// into the list before the tasks pass runs: a failure in the tasks pass leaves
// the notes loaded. The script's bytes are classified once (where strings
// start and end, where lines end) for both passes. The reader views the
// script, which must outlive it. Every function throws RuntimeError 5 or 6 on
// a script that breaks the layout.
class BriefingScriptReader {
public:
  explicit BriefingScriptReader(std::string_view script);
  ~BriefingScriptReader();
  BriefingScriptReader(const BriefingScriptReader&) = delete;
  BriefingScriptReader& operator=(const BriefingScriptReader&) = delete;

  ScriptHeader header() const;

  // The records of a pass, in list order (index 0 is the first entry of the
  // list). The views stay valid until the same pass is read again or the
  // reader goes.
  // from: the 1-based position the pass starts at; 1 for the first side,
  // which is all a script of one side holds.
  const std::vector<ScriptRecordView>& notes(int count, int from = 1);
  const std::vector<ScriptRecordView>& tasks(int count, int from = 1);

private:
  std::unique_ptr<reader_detail::RecordFinder> m_classes;
  std::unique_ptr<reader_detail::RecordPass> m_notes;
  std::unique_ptr<reader_detail::RecordPass> m_tasks;
};

// The same as whole functions that return owned strings; each call
// classifies the script again.
ScriptHeader readScriptHeader(std::string_view script);
std::vector<ScriptRecord> scanNoteRecords(std::string_view script, int count);
std::vector<ScriptRecord> scanTaskRecords(std::string_view script, int count);

// Scripts of several sides (see sidesLine in the writer): the sides the third
// line names, in block order, with their counts; the first is the side of the
// first line, whose records the passes above read. Empty for a script of one
// side, and for every script whose third line is not exactly as the writer
// writes it: such a script reads as a script of one side, as before.
struct ScriptSideCounts {
  std::size_t side; // an index into kSides
  int noteCount;
  int taskCount;
  int currentTask;
};
std::vector<ScriptSideCounts> readScriptSides(std::string_view script);

// The records of every side after the first, each read from its own block
// in list order. Throws RuntimeError 5 where a block is missing or holds
// fewer records than counted, 6 where one lies past byte 32767.
struct ScriptSideRecords {
  std::size_t side;
  int currentTask;
  std::vector<ScriptRecord> notes;
  std::vector<ScriptRecord> tasks;
};
std::vector<ScriptSideRecords> readOtherSides(std::string_view script,
                                              const std::vector<ScriptSideCounts>& sides);
