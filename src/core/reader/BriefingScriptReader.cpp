#include "core/reader/BriefingScriptReader.h"

#include "core/reader/FieldDecoder.h"
#include "core/reader/RecordFinder.h"
#include "core/text/Utf8.h"

#include <algorithm>

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

BriefingScriptReader::BriefingScriptReader(std::string_view script, Encoding encoding)
    : m_classes(std::make_unique<RecordFinder>(script)), m_notes(std::make_unique<RecordPass>(encoding)),
      m_tasks(std::make_unique<RecordPass>(encoding)) {}

BriefingScriptReader::~BriefingScriptReader() = default;

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


Encoding detectEncoding(std::string_view script) {
  // UTF-8 only where the bytes say so: valid UTF-8 after the first line (whose
  // count bytes are raw values) with at least one byte from 0x80 up. Every
  // other script, ASCII included, is the code page's, read as it always was.
  const std::size_t lineEnd = script.find("\r\n");
  if (lineEnd == std::string_view::npos)
    return Encoding::Ansi;
  const std::string_view rest = script.substr(lineEnd);
  const bool high = std::any_of(rest.begin(), rest.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  return high && Utf8::isValid(rest) ? Encoding::Utf8 : Encoding::Ansi;
}

namespace {

// One side as the sides line counts it.
struct SideCounts {
  Side side;
  int notes;
  int tasks;
  int current;
  std::size_t column; // where it stands in the line, for messages
};

[[noreturn]] void damagedLine(std::size_t column, const std::string& why) {
  invalidArgument("the sides line (line 3) is damaged at column " + std::to_string(column) + ": " + why);
}

// Whether a line starts as a sides line does: "//", then "QFRT" and "SIDES"
// in any letter case, blanks between.
bool looksLikeSidesLine(std::string_view line) {
  std::size_t i = 0;
  const auto blanks = [&] {
    while (i < line.size() && line[i] == ' ')
      ++i;
  };
  const auto word = [&](std::string_view w) {
    for (const char c : w)
      if (i >= line.size() || (line[i++] | 0x20) != c)
        return false;
    return true;
  };
  if (line.substr(0, 2) != "//")
    return false;
  i = 2;
  blanks();
  if (!word("qfrt"))
    return false;
  blanks();
  return word("sides");
}

// The sides the third line names, or none for a script of one side (whose
// third line is empty). A line that starts as a sides line does but is not
// exactly what the writer writes is error 5, saying where.
std::optional<std::vector<SideCounts>> readSidesLine(std::string_view script, const ScriptHeader& header) {
  const std::size_t two = script.find("\r\n") + 2; // the header has been read: line 1 ends
  const std::size_t twoEnd = script.find("\r\n", two);
  const std::size_t three = twoEnd == std::string_view::npos ? script.size() : twoEnd + 2;
  const std::string_view lineTwo = script.substr(two, twoEnd - two);
  const std::string_view line = script.substr(three, script.find("\r\n", three) - three);
  if (!looksLikeSidesLine(line)) {
    if (looksLikeSidesLine(lineTwo))
      invalidArgument("the sides line stands in line 2; it belongs in line 3, after \"// DO NOT EDIT THIS FILE\"");
    return std::nullopt;
  }
  if (lineTwo != "// DO NOT EDIT THIS FILE")
    invalidArgument("line 2 of a script of several sides must be \"// DO NOT EDIT THIS FILE\"");

  constexpr std::string_view kTag = "// QFRT SIDES";
  std::size_t i = 0;
  for (; i < kTag.size(); ++i)
    if (i >= line.size() || line[i] != kTag[i])
      damagedLine(i + 1, "it must start with \"// QFRT SIDES\"");
  const auto expect = [&](char c, const char* what) {
    if (i >= line.size() || line[i] != c)
      damagedLine(i + 1, what);
    ++i;
  };
  const auto number = [&](const char* what) {
    const std::size_t start = i;
    int value = 0;
    while (i < line.size() && i - start < 3 && line[i] >= '0' && line[i] <= '9')
      value = value * 10 + (line[i++] - '0');
    if (i == start || (i - start > 1 && line[start] == '0') || value > 255 ||
        (i < line.size() && line[i] >= '0' && line[i] <= '9'))
      damagedLine(start + 1, std::string("the number of ") + what + ", from 0 to 255, should stand here");
    return value;
  };
  std::vector<SideCounts> sides;
  while (i < line.size()) {
    expect(' ', "a blank should stand here, before the next side");
    const std::size_t column = i + 1;
    const std::optional<Side> side = i < line.size() ? sideByLetter(line[i]) : std::nullopt;
    if (!side)
      damagedLine(column, "a side's letter, W, E, R, C or L, should stand here");
    if (!sides.empty() && sides.back().side >= *side)
      damagedLine(column, "the sides must stand in the order W, E, R, C, L, each once");
    ++i;
    expect(':', "\":\" should follow the side's letter");
    const int notes = number("notes");
    expect(',', "\",\" should follow the number of notes");
    const int tasks = number("tasks");
    expect(',', "\",\" should follow the number of tasks");
    const int current = number("the current task");
    if (current > tasks)
      damagedLine(column, "the current task's number is larger than the side's number of tasks");
    sides.push_back({*side, notes, tasks, current, column});
  }
  if (sides.empty())
    damagedLine(i + 1, "it names no side");
  if (sides.size() == 1 && sides.front().side != Side::Logic)
    damagedLine(sides.front().column, "it names one side only, which a script of one side never names");
  for (const SideCounts& side : sides)
    if (side.notes + side.tasks == 0 && sides.size() > 1)
      damagedLine(side.column, "the side holds no entry, and a side without entries is never written");
  const SideCounts& first = sides.front();
  if (header.sideLetter != infoOf(first.side).letter || header.noteCount != first.notes ||
      header.taskCount != first.tasks || header.currentTask != first.current)
    damagedLine(first.column, "the first side's letter and counts are not those of the first line");
  return sides;
}

BriefingEntry entryOf(const ScriptRecordView& view) { return {std::u16string(view.title), std::u16string(view.text)}; }

// A pass's records into a side's list, and where each stands.
void take(const std::vector<ScriptRecordView>& views, std::vector<BriefingEntry>& into,
          std::vector<RecordPlace>& places) {
  into.reserve(views.size());
  places.reserve(views.size());
  for (const ScriptRecordView& view : views) {
    into.push_back(entryOf(view));
    places.push_back({view.titleStart, view.textStart});
  }
}

// The current-task label a first line's number gives: the title of that
// task; a number beyond the tasks names none.
std::u16string currentOf(int number, const std::vector<BriefingEntry>& tasks) {
  return number >= 1 && number <= static_cast<int>(tasks.size()) ? tasks[static_cast<std::size_t>(number - 1)].title
                                                                  : std::u16string();
}

// A script of one side, as the passes read it.
ReadScript readOneSide(std::string_view script, const ScriptHeader& header, Side side, Encoding encoding) {
  ReadScript read;
  read.briefing.encoding = encoding;
  SideBriefing& briefing = read.briefing.sides.emplace_back();
  SidePlaces& places = read.places.emplace_back();
  briefing.side = side;
  BriefingScriptReader reader(script, encoding);
  // Each pass is read whole before its records count as taken, so a failure
  // in the tasks pass leaves the notes taken.
  if (header.noteCount >= 1)
    take(reader.notes(header.noteCount), briefing.notes, places.notes);
  if (header.taskCount >= 1) {
    try {
      take(reader.tasks(header.taskCount), briefing.tasks, places.tasks);
    } catch (const RuntimeError& e) {
      throw ScriptReadFailure(e, read.briefing);
    }
    briefing.currentTask = currentOf(header.currentTask, briefing.tasks);
  }
  return read;
}

// A script of several sides: each side from its own block, which must hold
// exactly the records its sides line counts and end within reach.
ReadScript readSeveralSides(std::string_view script, const std::vector<SideCounts>& sides, Encoding encoding) {
  ReadScript read;
  read.briefing.encoding = encoding;
  BriefingScriptReader reader(script, encoding);
  std::size_t searchFrom = 0;
  for (const SideCounts& counts : sides) {
    const std::string name = nameOf(counts.side);
    // The block's first lines, then the records up to its closing "};".
    const std::string opening = "\r\n" + std::string(infoOf(counts.side).caseLine) + "\r\n{\r\n";
    const std::size_t at = script.find(opening, searchFrom);
    if (at == std::string_view::npos)
      invalidArgument("the script has no block for the side " + name + " that its third line names");
    const std::size_t start = at + opening.size();
    const std::size_t close = script.find("\r\n};", start - 2);
    if (close == std::string_view::npos)
      invalidArgument("the " + name + " block has no closing \"};\"");
    const std::size_t end = close + 2; // the "}"
    if (end + 1 > static_cast<std::size_t>(kLastPosition))
      throw RuntimeError(ErrorNumber::Overflow,
                         "Overflow: the " + name + " briefing lies past byte 32767 of the script");
    // The writer writes a line a note, two a task and one for the current task.
    // (A text may hold a lone CR or LF, never a CR LF.)
    int lines = 0;
    for (std::size_t i = script.find("\r\n", start); i < end; i = script.find("\r\n", i + 2))
      ++lines;
    if (lines != counts.notes + 2 * counts.tasks + (counts.current > 0 ? 1 : 0))
      invalidArgument("the " + name + " block does not hold the " + std::to_string(counts.notes) + " notes and " +
                      std::to_string(counts.tasks) + " tasks that the script's third line counts");
    SideBriefing& briefing = read.briefing.sides.emplace_back();
    SidePlaces& places = read.places.emplace_back();
    briefing.side = counts.side;
    const int from = position(start);
    const auto inBlock = [&](const std::vector<ScriptRecordView>& views) -> const std::vector<ScriptRecordView>& {
      for (const ScriptRecordView& view : views)
        if (view.textStart >= end)
          invalidArgument("the " + name + " block holds fewer records than the script's third line counts");
      return views;
    };
    if (counts.notes > 0)
      take(inBlock(reader.notes(counts.notes, from)), briefing.notes, places.notes);
    if (counts.tasks > 0)
      take(inBlock(reader.tasks(counts.tasks, from)), briefing.tasks, places.tasks);
    briefing.currentTask = currentOf(counts.current, briefing.tasks);
    searchFrom = end;
  }
  return read;
}

} // namespace

ReadScript readBriefingScript(std::string_view script, Side fallback) {
  try {
    const ScriptHeader header = readScriptHeader(script);
    const Encoding encoding = detectEncoding(script);
    if (const auto sides = readSidesLine(script, header))
      return readSeveralSides(script, *sides, encoding);
    return readOneSide(script, header, sideByLetter(header.sideLetter, true).value_or(fallback), encoding);
  } catch (const ScriptReadFailure&) {
    throw;
  } catch (const RuntimeError& e) {
    throw ScriptReadFailure(e, Briefing{});
  }
}
