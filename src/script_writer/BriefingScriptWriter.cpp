#include "script_writer/BriefingScriptWriter.h"

#include "platform/AnsiCodec.h"
#include "platform/RuntimeError.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr int kMaxEntries = 255; // a count is one byte of the header

constexpr std::array<std::u16string_view, 4> kSides = {u"WEST", u"EAST", u"RESISTANCE", u"CIVILIAN"};
constexpr std::array<std::string_view, 4> kCaseLines = {
    "case WEST:", "case EAST:", "case RESISTANCE:", "case CIVILIAN:"};

constexpr std::string_view kOpening = "waitUntil {!(isNull player)};\r\n"
                                      "waitUntil {player==player};\r\n"
                                      "switch (side player) do\r\n"
                                      "{\r\n";

// Closes the switch and installs the handler that runs the script again after
// the player has respawned; the file ends without a line break.
constexpr std::string_view kClosing = "};\r\n"
                                      "if (isNil {player getVariable \"zv_briefingEH\"}) then\r\n"
                                      "{\r\n"
                                      "player addEventHandler [\"killed\",{[] spawn {waitUntil {alive "
                                      "player};execVM\"briefing.sqf\";};}];\r\n"
                                      "player setVariable [\"zv_briefingEH\",true];\r\n"
                                      "};";

// A title or text in the code page, each entry named for the error message.
struct EncodedEntry {
  std::string title;
  std::string text;
};

std::vector<EncodedEntry> encodeEntries(const std::vector<BriefingEntry>& entries, const char* kind) {
  std::vector<EncodedEntry> out;
  out.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string number = std::to_string(i + 1);
    EncodedEntry e;
    e.title = AnsiCodec::encode(entries[i].title, std::string("the title of ") + kind + ' ' + number);
    e.text = AnsiCodec::encode(entries[i].text, std::string("the text of ") + kind + ' ' + number);
    out.push_back(std::move(e));
  }
  return out;
}

void checkCount(std::size_t count, const char* kinds) {
  if (count > kMaxEntries)
    throw RuntimeError(ErrorNumber::InvalidArgument,
                       "The briefing has " + std::to_string(count) + ' ' + kinds +
                           ", but a briefing script holds at most 255 " + kinds);
}

// Appends a field inside an SQF string: a double quote is doubled, as SQF
// writes a quote inside a string, and in a text every CR LF becomes "<br/>".
// Everything else passes unchanged, lone CRs and LFs included.
void appendField(std::string& out, std::string_view field, bool breaksToTags) {
  const char* p = field.data();
  const char* const end = p + field.size();
  const char* run = p;
  for (; p != end; ++p) {
    if (*p == '"') {
      out.append(run, p + 1);
      out += '"';
      run = p + 1;
    } else if (breaksToTags && *p == '\r' && p + 1 != end && p[1] == '\n') {
      out.append(run, p);
      out += "<br/>";
      ++p;
      run = p + 1;
    }
  }
  out.append(run, end);
}

std::size_t fieldsSize(const std::vector<EncodedEntry>& entries, int titleCopies) {
  std::size_t n = 0;
  for (const auto& e : entries)
    n += e.title.size() * static_cast<std::size_t>(titleCopies) + e.text.size() * 5 / 4;
  return n;
}

} // namespace

std::string composeBriefingScript(const BriefingSnapshot& snapshot) {
  checkCount(snapshot.notes.size(), "notes");
  checkCount(snapshot.tasks.size(), "tasks");

  const std::string side = AnsiCodec::encode(snapshot.side, "the side");
  std::size_t sideIndex = 0;
  while (sideIndex < kSides.size() && kSides[sideIndex] != snapshot.side)
    ++sideIndex;
  if (sideIndex == kSides.size())
    throw RuntimeError(ErrorNumber::InvalidArgument,
                       "The side \"" + side + "\" is not one of WEST, EAST, RESISTANCE and CIVILIAN");

  // Everything is encoded before anything is put together, so that a
  // character outside the code page stops the save with nothing written.
  const std::vector<EncodedEntry> notes = encodeEntries(snapshot.notes, "note");
  const std::vector<EncodedEntry> tasks = encodeEntries(snapshot.tasks, "task");

  // The current task: the header names the last task of that title, the
  // setCurrentTask line the first. An empty label names none.
  int lastCurrent = -1;
  int firstCurrent = -1;
  if (!snapshot.currentTask.empty()) {
    for (std::size_t i = 0; i < snapshot.tasks.size(); ++i) {
      if (snapshot.tasks[i].title == snapshot.currentTask) {
        if (firstCurrent < 0)
          firstCurrent = static_cast<int>(i);
        lastCurrent = static_cast<int>(i);
      }
    }
  }

  std::string out;
  out.reserve(1024 + notes.size() * 40 + tasks.size() * 120 + fieldsSize(notes, 1) + fieldsSize(tasks, 4));

  // The header carries the counts and the current task's 1-based position as
  // raw bytes, each between blanks, then the version digits.
  out += "// QFRT ";
  out += side.front();
  out += ' ';
  out += static_cast<char>(static_cast<unsigned char>(notes.size()));
  out += ' ';
  out += static_cast<char>(static_cast<unsigned char>(tasks.size()));
  out += ' ';
  out += static_cast<char>(static_cast<unsigned char>(lastCurrent + 1));
  out += ' ';
  out += std::to_string(snapshot.versionMajor);
  out += std::to_string(snapshot.versionMinor);
  out += std::to_string(snapshot.versionPatch);
  out += kCrLf;
  out += "// DO NOT EDIT THIS FILE\r\n\r\n";
  out += kOpening;

  for (std::size_t block = 0; block < kCaseLines.size(); ++block) {
    out += kCaseLines[block];
    out += "\r\n{\r\n";
    if (block == sideIndex) {
      // Both lists from the last entry to the first: the reader fills the
      // lists from the end, so they come back in their saved order.
      for (std::size_t i = notes.size(); i-- > 0;) {
        out += "player createDiaryRecord [\"Diary\",[\"";
        appendField(out, notes[i].title, false);
        out += "\",\"";
        appendField(out, notes[i].text, true);
        out += "\"]];\r\n";
      }
      for (std::size_t i = tasks.size(); i-- > 0;) {
        const std::string variable = "tskObj" + std::to_string(i);
        out += variable;
        out += "=player createSimpleTask [\"";
        appendField(out, tasks[i].title, false);
        out += "\"];\r\n";
        out += variable;
        out += " setSimpleTaskDescription [\"";
        appendField(out, tasks[i].text, true);
        out += "\",\"";
        appendField(out, tasks[i].title, false);
        out += "\",\"";
        appendField(out, tasks[i].title, false);
        out += "\"];\r\n";
      }
      if (firstCurrent >= 0) {
        out += "player setCurrentTask tskObj";
        out += std::to_string(firstCurrent);
        out += ";\r\n";
      }
    }
    out += "};\r\n";
  }
  out += kClosing;
  return out;
}
