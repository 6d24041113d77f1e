#include "script_reader/BriefingScriptReader.h"

#include "script_reader/FieldDecoder.h"
#include "script_reader/RecordFinder.h"

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
const std::vector<ScriptRecordView>& BriefingScriptReader::notes(int count) {
  RecordPass& pass = *m_notes;
  pass.begin(count);
  RecordFinder& text = *m_classes;
  const std::string_view bytes = text.bytes();
  const Checks c{"note"};
  int s = 1;
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
const std::vector<ScriptRecordView>& BriefingScriptReader::tasks(int count) {
  RecordPass& pass = *m_tasks;
  pass.begin(count);
  RecordFinder& text = *m_classes;
  const std::string_view bytes = text.bytes();
  const Checks c{"task"};
  int s = 1;
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
