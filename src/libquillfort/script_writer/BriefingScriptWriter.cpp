#include "script_writer/BriefingScriptWriter.h"

#include "platform/AnsiCodec.h"
#include "platform/RuntimeError.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
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

void checkCount(std::size_t count, const char* kinds) {
  if (count > kMaxEntries)
    throw RuntimeError(ErrorNumber::InvalidArgument,
                       "The briefing has " + std::to_string(count) + ' ' + kinds +
                           ", but a briefing script holds at most 255 " + kinds);
}

// Names the first title or text, in list order, that the code page cannot
// hold: the script is written from the last entry to the first, but the user
// reads the lists from the top.
[[noreturn]] void throwFirstUnencodable(const BriefingSnapshot& snapshot) {
  for (const auto& [entries, kind] :
       {std::pair{&snapshot.notes, "note"}, std::pair{&snapshot.tasks, "task"}}) {
    for (std::size_t i = 0; i < entries->size(); ++i) {
      const std::string number = std::to_string(i + 1);
      AnsiCodec::encode((*entries)[i].title, std::string("the title of ") + kind + ' ' + number);
      AnsiCodec::encode((*entries)[i].text, std::string("the text of ") + kind + ' ' + number);
    }
  }
  throw RuntimeError(ErrorNumber::InvalidArgument, "A character cannot be written in the code page");
}

const char* find(const char* from, const char* end, char c) {
  const void* at = std::memchr(from, c, static_cast<std::size_t>(end - from));
  return at ? static_cast<const char*>(at) : end;
}

// Appends a field inside an SQF string: a double quote is doubled, as SQF
// writes a quote inside a string, and in a text every CR LF becomes "<br/>".
// Everything else passes unchanged, lone CRs and LFs included.
void appendField(std::string& out, std::string_view field, bool breaksToTags) {
  const char* p = field.data();
  const char* const end = p + field.size();
  const char* quote = find(p, end, '"');
  const char* cr = breaksToTags ? find(p, end, '\r') : end;
  for (;;) {
    const char* stop = std::min(quote, cr);
    out.append(p, stop);
    if (stop == end)
      return;
    if (stop == quote) {
      out += "\"\"";
      p = stop + 1;
      quote = find(p, end, '"');
    } else {
      if (stop + 1 != end && stop[1] == '\n') {
        out += "<br/>";
        p = stop + 2;
      } else {
        out += '\r';
        p = stop + 1;
      }
      cr = find(p, end, '\r');
    }
  }
}

// Room for the script, so that it grows without copying in the usual case.
std::size_t expectedSize(const BriefingSnapshot& s) {
  std::size_t n = 1024 + s.notes.size() * 48 + s.tasks.size() * 128;
  for (const auto& e : s.notes)
    n += e.title.size() + e.text.size() + e.text.size() / 8;
  for (const auto& e : s.tasks)
    n += e.title.size() * 3 + e.text.size() + e.text.size() / 8;
  return n;
}

} // namespace

bool headerNeedsBlockComment(std::size_t notes, std::size_t tasks, std::size_t currentTask) {
  // A CR or LF ends a line comment, and whatever follows it on the line
  // would be read as code.
  for (const std::size_t byte : {notes, tasks, currentTask})
    if (byte == '\r' || byte == '\n')
      return true;
  return false;
}

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
  out.reserve(expectedSize(snapshot));

  // The header carries the counts and the current task's 1-based position as
  // raw bytes, each between blanks, then the version digits.
  const std::size_t counts[] = {snapshot.notes.size(), snapshot.tasks.size(),
                                static_cast<std::size_t>(lastCurrent + 1)};
  const bool block = headerNeedsBlockComment(counts[0], counts[1], counts[2]);
  out += block ? "/* QFRT " : "// QFRT ";
  out += side.front();
  for (const std::size_t count : counts) {
    out += ' ';
    out += static_cast<char>(static_cast<unsigned char>(count));
  }
  out += ' ';
  out += std::to_string(snapshot.versionMajor);
  out += std::to_string(snapshot.versionMinor);
  out += std::to_string(snapshot.versionPatch);
  if (block)
    out += " */";
  out += kCrLf;
  out += "// DO NOT EDIT THIS FILE\r\n\r\n";
  out += kOpening;

  for (std::size_t block = 0; block < kCaseLines.size(); ++block) {
    out += kCaseLines[block];
    out += "\r\n{\r\n";
    if (block == sideIndex) {
      // Both lists from the last entry to the first: the reader fills the
      // lists from the end, so they come back in their saved order.
      try {
        for (std::size_t i = snapshot.notes.size(); i-- > 0;) {
          out += "player createDiaryRecord [\"Diary\",[\"";
          appendField(out, AnsiCodec::encode(snapshot.notes[i].title, {}), false);
          out += "\",\"";
          appendField(out, AnsiCodec::encode(snapshot.notes[i].text, {}), true);
          out += "\"]];\r\n";
        }
        for (std::size_t i = snapshot.tasks.size(); i-- > 0;) {
          const std::string variable = "tskObj" + std::to_string(i);
          const std::string title = AnsiCodec::encode(snapshot.tasks[i].title, {});
          out += variable;
          out += "=player createSimpleTask [\"";
          appendField(out, title, false);
          out += "\"];\r\n";
          out += variable;
          out += " setSimpleTaskDescription [\"";
          appendField(out, AnsiCodec::encode(snapshot.tasks[i].text, {}), true);
          out += "\",\"";
          appendField(out, title, false);
          out += "\",\"";
          appendField(out, title, false);
          out += "\"];\r\n";
        }
      } catch (const RuntimeError&) {
        throwFirstUnencodable(snapshot);
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
