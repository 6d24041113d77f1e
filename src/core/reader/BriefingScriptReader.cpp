#include "core/reader/BriefingScriptReader.h"

#include "core/reader/FieldDecoder.h"
#include "core/reader/RecordFinder.h"

#include "core/format/Sides.h"

// The reader does not parse SQF. It takes the header's bytes at fixed
// positions and finds each record by a few literal markers, as the writer lays
// them out (RecordFinder.h), checks every position (ReaderChecks.h) and
// decodes the fields it found (FieldDecoder.cpp).
//
// The writer doubles every double quote inside a title or text (SQF's own
// escape) and never writes a CR LF inside one, so every line of a script
// starts outside any SQF string. The reader follows the string state from the
// start of each line, so that a marker written inside a title or text is never
// taken for a record: a task or description marker counts only where it stands
// outside a string, a note marker only where the double quote before "Diary"
// opens a string. A title or description ends at the first double quote that
// is not followed by another one; two in a row are one quote of the text.
//
// Scripts written with undoubled quotes read as before: a title or
// description ends at its first double quote and a note text ends four bytes
// before its line's CR LF; an odd quote disturbs no other line, because the
// string state starts afresh on each line. They read differently only where a
// title, description or note text holds two double quotes in a row: those are
// read as one quote of the text, where the older rule would end the title at
// the first of them.
//
// Speed: the string state is not kept byte by byte. The script is classified
// once, 64 bytes at a time, into three bit masks: the double quotes, the CRs
// of CR LF pairs, and the quotes that open a string (a quote that follows no
// quote, with an even number of quotes before it on its line). Every marker
// ends with or follows such an opening quote, so a search only visits opening
// quotes; a string's end and a line's end are the next bits of the other
// masks. Fields are decoded sixteen bytes at a time into one buffer per pass.

using namespace reader_detail;

BriefingScriptReader::BriefingScriptReader(std::string_view script)
    : m_classes(std::make_unique<RecordFinder>(script)), m_notes(std::make_unique<RecordPass>()),
      m_tasks(std::make_unique<RecordPass>()) {}

BriefingScriptReader::~BriefingScriptReader() = default;

ScriptHeader BriefingScriptReader::header() const { return readScriptHeader(m_classes->bytes()); }

ScriptHeader readScriptHeader(std::string_view script) {
  // The first line runs up to and including the CR of the first CR LF; it is
  // empty when the script has none.
  const std::size_t crLf = script.find("\r\n");
  const std::size_t lineLength = crLf == std::string_view::npos ? 0 : crLf + 1;
  // The counts are raw byte values (0 to 255), not characters of the code page.
  const auto byteAt = [&](std::size_t position) {
    if (position > lineLength)
      invalidArgument("the first line is too short for the counts at positions 11, 13 and 15");
    return static_cast<int>(static_cast<unsigned char>(script[position - 1]));
  };

  ScriptHeader header;
  if (lineLength >= 9)
    header.sideLetter = script[8];
  header.noteCount = byteAt(11);
  header.taskCount = byteAt(13);
  header.currentTask = byteAt(15);
  return header;
}

// A note record's line: player createDiaryRecord ["Diary",["<title>","<text>"]];
// Records stand from the last note of the list to the first, so the first one
// found fills the highest index.
const std::vector<ScriptRecordView>& BriefingScriptReader::notes(int count, int from) {
  RecordPass& pass = *m_notes;
  pass.begin(count);
  RecordFinder& text = *m_classes;
  const std::string_view bytes = text.bytes();
  const Checks c{"note"};
  int s = from;
  for (int k = count - 1; k >= 0; --k) {
    // After the first record, the writer's next note line follows the ";"
    // and the CR LF at s.
    int m = k == count - 1 ? 0
                           : text.findWrittenMarker(static_cast<std::size_t>(c.searchStart(s) - 2), kNoteLead,
                                                    kNoteTail, kNoteMarker);
    m = m == 0 ? c.found(text.findNoteMarker(c.searchStart(s)), count) : c.checked(m);
    const int t = c.checked(m + 9); // past the marker and the title's opening quote
    const int q = c.checked(text.findStringEnd(t));
    const int titleLength = c.lengthBetween(t, q);
    const int u = c.checked(q + 3); // past the title's closing quote, the comma and the text's opening quote
    const int r = c.checked(text.findCrLf(u));
    const int e = c.checked(r - 4); // the text's closing quote and "]];" stand before the CR LF
    const int textLength = c.lengthBetween(u, e);
    pass.found(static_cast<std::size_t>(k), t, titleLength, u, textLength);
    s = c.checked(e + 4);
  }
  return pass.finish(bytes);
}

// A task record's two lines:
//   tskObj<i>=player createSimpleTask ["<title>"];
//   tskObj<i> setSimpleTaskDescription ["<text>","<title>","<title>"];
// Like the notes, from the last task of the list to the first.
const std::vector<ScriptRecordView>& BriefingScriptReader::tasks(int count, int from) {
  RecordPass& pass = *m_tasks;
  pass.begin(count);
  RecordFinder& text = *m_classes;
  const std::string_view bytes = text.bytes();
  const Checks c{"task"};
  int s = from;
  for (int k = count - 1; k >= 0; --k) {
    // After the first record, the writer's next task line follows the CR LF
    // at s; anything else is searched for.
    int m = k == count - 1 ? 0
                           : text.findWrittenMarker(static_cast<std::size_t>(c.searchStart(s) - 1), kTaskLead,
                                                    kTaskTail, kTaskMarker);
    m = m == 0 ? c.found(text.findCodeMarker(kTaskMarker, c.searchStart(s)), count) : c.checked(m);
    const int t = c.checked(m + static_cast<int>(kTaskMarker.length()) + 1); // and the title's opening quote
    const int q = c.checked(text.findStringEnd(t));
    const int titleLength = c.lengthBetween(t, q);
    // The writer's description line follows the title's closing quote.
    int m2 = text.findWrittenMarker(static_cast<std::size_t>(q), kDescriptionLead, kDescriptionTail,
                                    kDescriptionMarker);
    m2 = m2 == 0 ? c.found(text.findCodeMarker(kDescriptionMarker, c.searchStart(q)), count) : c.checked(m2);
    const int u = c.checked(m2 + static_cast<int>(kDescriptionMarker.length()) + 1);
    const int q2 = c.checked(text.findStringEnd(u));
    const int textLength = c.lengthBetween(u, q2);
    pass.found(static_cast<std::size_t>(k), t, titleLength, u, textLength);
    // The end of the description's line; 0 when it has no CR LF, which the
    // next record's search refuses.
    s = c.checked(text.findCrLf(u));
  }
  return pass.finish(bytes);
}

namespace {

std::vector<ScriptRecord> owned(const std::vector<ScriptRecordView>& views) {
  std::vector<ScriptRecord> records;
  records.reserve(views.size());
  for (const auto& [title, text, titleStart, textStart] : views)
    records.push_back({std::u16string(title), std::u16string(text), titleStart, textStart});
  return records;
}

} // namespace

std::vector<ScriptRecord> scanNoteRecords(std::string_view script, int count) {
  if (count <= 0)
    return {};
  BriefingScriptReader reader(script);
  return owned(reader.notes(count));
}

std::vector<ScriptRecord> scanTaskRecords(std::string_view script, int count) {
  if (count <= 0)
    return {};
  BriefingScriptReader reader(script);
  return owned(reader.tasks(count));
}

// ---- Scripts of several sides ------------------------------------------------

std::vector<ScriptSideCounts> readScriptSides(std::string_view script) {
  // Line 3, right after the writer's own line 2, exactly as the writer writes it.
  constexpr std::string_view kLineTwo = "\r\n// DO NOT EDIT THIS FILE\r\n// QFRT SIDES";
  const std::size_t lineEnd = script.find("\r\n");
  if (lineEnd == std::string_view::npos || script.compare(lineEnd, kLineTwo.size(), kLineTwo) != 0)
    return {};
  std::vector<ScriptSideCounts> sides;
  std::size_t i = lineEnd + kLineTwo.size();
  const auto number = [&](int& value) {
    const std::size_t start = i;
    value = 0;
    while (i < script.size() && i - start < 3 && script[i] >= '0' && script[i] <= '9')
      value = value * 10 + (script[i++] - '0');
    const bool leadingZero = i - start > 1 && script[start] == '0';
    return i > start && !leadingZero && value <= 255;
  };
  while (i + 1 < script.size() && script[i] == ' ') {
    ScriptSideCounts side{};
    side.side = sideByLetter(script[i + 1]);
    i += 2;
    const bool inOrder = side.side != kNoSide && (sides.empty() || sides.back().side < side.side);
    if (!inOrder || i >= script.size() || script[i++] != ':' || !number(side.noteCount) ||
        i >= script.size() || script[i++] != ',' || !number(side.taskCount) || i >= script.size() ||
        script[i++] != ',' || !number(side.currentTask))
      return {};
    sides.push_back(side);
  }
  if (script.compare(i, 2, "\r\n") != 0 || sides.empty() ||
      (sides.size() == 1 && sides.front().side != kGameMaster))
    return {};
  // The first line describes the first side.
  try {
    const ScriptHeader header = readScriptHeader(script);
    const ScriptSideCounts& first = sides.front();
    if (header.sideLetter != kSides[first.side].letter || header.noteCount != first.noteCount ||
        header.taskCount != first.taskCount || header.currentTask != first.currentTask)
      return {};
  } catch (const RuntimeError&) {
    return {};
  }
  return sides;
}

std::vector<ScriptSideRecords> readOtherSides(std::string_view script,
                                              const std::vector<ScriptSideCounts>& sides) {
  std::vector<ScriptSideRecords> read;
  BriefingScriptReader reader(script);
  for (std::size_t k = 1; k < sides.size(); ++k) {
    const ScriptSideCounts& side = sides[k];
    const std::string name(kSides[side.side].word.begin(), kSides[side.side].word.end()); // ASCII
    // The block's first line, then the records up to its closing "};".
    const std::string opening = "\r\n" + std::string(kSides[side.side].caseLine) + "\r\n{\r\n";
    const std::size_t at = script.find(opening);
    if (at == std::string_view::npos)
      invalidArgument("the script has no block for the side " + name + " that its third line names");
    const std::size_t start = at + opening.size();
    const std::size_t end = script.find("\r\n};", start - 2) + 2;
    if (start > static_cast<std::size_t>(kLastPosition) || end > static_cast<std::size_t>(kLastPosition))
      overflow("side's");
    const int from = position(start);
    ScriptSideRecords records{side.side, side.currentTask, {}, {}};
    const auto take = [&](const std::vector<ScriptRecordView>& views, std::vector<ScriptRecord>& into) {
      for (const auto& [title, text, titleStart, textStart] : views) {
        if (textStart >= end)
          invalidArgument("the " + name + " block holds fewer records than the script's third line counts");
        into.push_back({std::u16string(title), std::u16string(text), titleStart, textStart});
      }
    };
    if (side.noteCount > 0)
      take(reader.notes(side.noteCount, from), records.notes);
    if (side.taskCount > 0)
      take(reader.tasks(side.taskCount, from), records.tasks);
    read.push_back(std::move(records));
  }
  return read;
}
