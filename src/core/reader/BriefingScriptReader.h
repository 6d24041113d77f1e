#pragma once

#include "core/format/Briefing.h"
#include "core/system/RuntimeError.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace reader_detail {
class RecordFinder;
class RecordPass;
} // namespace reader_detail

// Reading a briefing script back: every side's briefing and the script's
// encoding, or error 5 or 6 where the script breaks the layout the writer
// gives it (readBriefingScript). The passes below are its steps.

// The header line's fields: the side letter at position 9 and the byte values
// at positions 11, 13 and 15.
struct ScriptHeader {
  char sideLetter = 0;
  int noteCount = 0;
  int taskCount = 0;
  int currentTask = 0; // 1-based position in the task list, 0 for none
};
// Throws RuntimeError 5 when the first line is too short for the counts.
ScriptHeader readScriptHeader(std::string_view script);

// The encoding a script's bytes are in: UTF-8 where everything after the
// first line is valid UTF-8 and holds a byte from 0x80 up, ANSI otherwise
// (ASCII included, the same bytes in both). The count bytes of the first
// line are raw numbers, never characters.
Encoding detectEncoding(std::string_view script);

// A title and its text as a pass reads them back (texts with CR LF line
// breaks again), viewing text the reader holds. titleStart and textStart are
// the 0-based byte offsets in the script of the first byte of each field, so
// that a place in them can be shown as a line and column of the script.
struct ScriptRecordView {
  std::u16string_view title;
  std::u16string_view text;
  std::size_t titleStart = 0;
  std::size_t textStart = 0;
};

// Reads a script pass by pass. The script's bytes are classified once (where
// strings start and end, where lines end) for every pass. The reader views
// the script, which must outlive it. Every pass throws RuntimeError 5 or 6 on
// a script that breaks the layout.
class BriefingScriptReader {
public:
  BriefingScriptReader(std::string_view script, Encoding encoding);
  ~BriefingScriptReader();
  BriefingScriptReader(const BriefingScriptReader&) = delete;
  BriefingScriptReader& operator=(const BriefingScriptReader&) = delete;

  // The records of a pass, in list order (index 0 is the first entry of the
  // list). The views stay valid until the same pass is read again or the
  // reader goes. from: the 1-based position the pass starts at; 1 for the
  // first side, which is all a script of one side holds.
  const std::vector<ScriptRecordView>& notes(int count, int from = 1);
  const std::vector<ScriptRecordView>& tasks(int count, int from = 1);

private:
  std::unique_ptr<reader_detail::RecordFinder> m_classes;
  std::unique_ptr<reader_detail::RecordPass> m_notes;
  std::unique_ptr<reader_detail::RecordPass> m_tasks;
};

// Where each entry's title and text start in the script (0-based byte
// offsets), side by side as the briefing holds them.
struct RecordPlace {
  std::size_t title = 0;
  std::size_t text = 0;
};
struct SidePlaces {
  std::vector<RecordPlace> notes;
  std::vector<RecordPlace> tasks;
};

struct ReadScript {
  Briefing briefing; // the sides in the script's block order
  std::vector<SidePlaces> places;
};

// A read that stopped: the error, and what the passes had taken before it
// (a script of one side whose tasks pass failed: its notes; else nothing).
struct ScriptReadFailure : RuntimeError {
  ScriptReadFailure(const RuntimeError& error, Briefing taken)
      : RuntimeError(error), loaded(std::move(taken)) {}
  Briefing loaded;
};

// Reads the whole script, every side. A script of one side is for the side
// its first line names, or for `fallback` where that letter is none of W, E,
// R and C. A script of several sides names them in its third line, which must
// be exactly as the writer writes it, and each side's block must hold exactly
// the records counted there and end within reach (error 5 or 6 naming the
// line or the side otherwise): no side is read as if the rest were the whole.
// Throws ScriptReadFailure.
ReadScript readBriefingScript(std::string_view script, Side fallback);
