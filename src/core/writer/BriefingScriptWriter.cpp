#include "core/writer/BriefingScriptWriter.h"

#include "core/text/AnsiCodec.h"
#include "core/system/RuntimeError.h"
#include "core/system/Sse2.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr int kMaxEntries = 255; // a count is one byte of the header

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

// The sides a script holds, each side's entries named in list order: the
// script is written from the last entry to the first, but the user reads the
// lists from the top. ofSide is "" for a briefing of one side and " of the
// EAST briefing" where the script holds several.
[[noreturn]] void throwFirstUnencodable(const ScriptPlan& plan) {
  for (const ScriptSide& side : plan.sides) {
    const std::string ofSide =
        plan.several ? " of the " + AnsiCodec::encode(kSides[side.side].word, "the side") + " briefing" : "";
    for (const auto& [entries, kind] : {std::pair{side.notes, "note"}, std::pair{side.tasks, "task"}}) {
      for (std::size_t i = 0; i < entries->size(); ++i) {
        const std::string number = std::to_string(i + 1) + ofSide;
        AnsiCodec::encode((*entries)[i].title, std::string("the title of ") + kind + ' ' + number);
        AnsiCodec::encode((*entries)[i].text, std::string("the text of ") + kind + ' ' + number);
      }
    }
  }
  throw RuntimeError(ErrorNumber::InvalidArgument, "A character cannot be written in the code page");
}

// One character that needs more than narrowing, at s: a double quote is
// doubled, as SQF writes a quote inside a string; in a text a CR LF becomes
// "<br/>" (a lone CR passes); any other character outside ASCII goes through
// the code page. Advances s past what it wrote and returns the new end of d.
char* writeSpecial(char* d, const char16_t*& s, const char16_t* end, bool text) {
  const char16_t c = *s;
  if (c == u'"') {
    *d++ = '"';
    *d++ = '"';
    ++s;
  } else if (c == u'\r') {
    if (text && end - s >= 2 && s[1] == u'\n') {
      std::memcpy(d, "<br/>", 5);
      d += 5;
      s += 2;
    } else {
      *d++ = '\r';
      ++s;
    }
  } else if (c < 0x80) {
    *d++ = static_cast<char>(c);
    ++s;
  } else {
#ifdef _WIN32
    // The system converts the run of characters outside ASCII (a character
    // may take two bytes in the code page, or a pair of UTF-16 units one).
    const char16_t* runEnd = s + 1;
    while (runEnd != end && *runEnd >= 0x80)
      ++runEnd;
    std::string bytes;
    std::size_t bad = 0;
    if (!AnsiCodec::detail::encodeInto({s, static_cast<std::size_t>(runEnd - s)}, bytes, bad))
      throw RuntimeError(ErrorNumber::InvalidArgument, "A character cannot be written in the code page");
    std::memcpy(d, bytes.data(), bytes.size());
    d += bytes.size();
    s = runEnd;
#else
    const int byte = AnsiCodec::detail::windows1252Byte(c);
    if (byte < 0)
      throw RuntimeError(ErrorNumber::InvalidArgument, "A character cannot be written in the code page");
    *d++ = static_cast<char>(byte);
    ++s;
#endif
  }
  return d;
}

#ifdef QUILLFORT_SSE2
// The bulk of a field, sixteen characters at a time, up to its last fifteen:
// narrowed to bytes and stored at once. Advances s past what it wrote and
// returns the new end of d.
char* writeBlocks(char* d, const char16_t*& s, const char16_t* const end, bool text) {
  // The pieces between quotes and CR LFs are copied from the narrowed block, so
  // that the next block's load never waits for this one's.
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i cr = _mm_set1_epi8('\r');
  alignas(16) char narrowed[32] = {};
  while (end - s >= 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 8));
    // The pack reads the units as signed numbers: U+0100 to U+7FFF saturate
    // to 0xFF, but U+8000 and above are negative and become 0x00. Neither is a
    // quote or a CR, and which characters lie outside ASCII is taken from the
    // units themselves, never from the packed bytes.
    const __m128i bytes = _mm_packus_epi16(a, b);
    const auto quoteOrCr = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, quote), _mm_cmpeq_epi8(bytes, cr))));
    const __m128i upperBits = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i ascii = _mm_packs_epi16(_mm_cmpeq_epi16(_mm_and_si128(a, upperBits), _mm_setzero_si128()),
                                          _mm_cmpeq_epi16(_mm_and_si128(b, upperBits), _mm_setzero_si128()));
    const unsigned high = ~static_cast<unsigned>(_mm_movemask_epi8(ascii)) & 0xFFFFu; // U+0080 and above
    if ((quoteOrCr | high) == 0) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d), bytes);
      s += 16;
      d += 16;
      continue;
    }
    _mm_store_si128(reinterpret_cast<__m128i*>(narrowed), bytes);
#ifdef _WIN32
    if (high != 0) { // the system converts what lies outside ASCII
      const int plain = std::countr_zero(quoteOrCr | high);
      std::memcpy(d, narrowed, 16);
      s += plain;
      d = writeSpecial(d + plain, s, end, text);
      continue;
    }
#else
    if (high != 0) {
      // Windows-1252 holds U+00A0 to U+00FF as the byte of the same value,
      // which the narrowing wrote; the rest of U+0080 and above takes its
      // byte from the table, one for one.
      const __m128i zero = _mm_setzero_si128();
      const __m128i above = _mm_packus_epi16(_mm_srli_epi16(a, 8), _mm_srli_epi16(b, 8));
      const __m128i c1 = _mm_cmpeq_epi8(
          _mm_subs_epu8(_mm_sub_epi8(bytes, _mm_set1_epi8(static_cast<char>(0x80))), _mm_set1_epi8(0x1F)),
          zero);
      const unsigned table = (~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(above, zero))) |
                              static_cast<unsigned>(_mm_movemask_epi8(c1))) &
                             0xFFFFu;
      for (unsigned rest = table; rest != 0; rest &= rest - 1) {
        const int at = std::countr_zero(rest);
        const int byte = AnsiCodec::detail::windows1252Byte(s[at]);
        if (byte < 0)
          throw RuntimeError(ErrorNumber::InvalidArgument, "A character cannot be written in the code page");
        narrowed[at] = static_cast<char>(byte);
      }
    }
#endif
    // Each piece is copied sixteen bytes at a time; what lands past its end
    // is overwritten by what follows.
    int from = 0;
    bool whole = true;
    for (unsigned rest = quoteOrCr; rest != 0; rest &= rest - 1) {
      const int at = std::countr_zero(rest);
      if (at < from)
        continue; // the LF of a CR LF taken already
      std::memcpy(d, narrowed + from, 16);
      d += at - from;
      if (s[at] == u'"') { // doubled
        d[0] = '"';
        d[1] = '"';
        d += 2;
        from = at + 1;
      } else if (at == 15) { // a CR whose LF, if any, is in the next block
        s += 15;
        whole = false;
        break;
      } else if (text && s[at + 1] == u'\n') {
        std::memcpy(d, "<br/>", 5);
        d += 5;
        from = at + 2;
      } else {
        *d++ = '\r';
        from = at + 1;
      }
    }
    if (whole) {
      std::memcpy(d, narrowed + from, 16);
      d += 16 - from;
      s += 16;
    }
  }
  return d;
}
#endif

// Writes a title or text as it stands inside an SQF string, in one pass: each
// character in the code page, quotes doubled, in a text CR LF as "<br/>".
// d has room for three bytes per character; returns the end of what it wrote.
char* writeField(char* d, std::u16string_view field, bool text) {
  const char16_t* s = field.data();
  const char16_t* const end = s + field.size();
#ifdef QUILLFORT_SSE2
  d = writeBlocks(d, s, end, text);
#endif
  while (s != end) {
    const char16_t c = *s;
    if (c < 0x80 && c != u'"' && c != u'\r') {
      *d++ = static_cast<char>(c);
      ++s;
    } else {
      d = writeSpecial(d, s, end, text);
    }
  }
  return d;
}

// The script under construction: bytes are written through a pointer into
// room made ahead, so that a field costs no appends of its own.
class ScriptBuffer {
public:
  explicit ScriptBuffer(std::size_t expected) { m_bytes.reserve(expected); }

  void put(std::string_view literal) {
    std::memcpy(room(literal.size()), literal.data(), literal.size());
    m_used += literal.size();
  }
  void put(char c) {
    *room(1) = c;
    ++m_used;
  }
  // A title or text inside its SQF string; returns where it starts and its
  // size, so that a task title can be repeated without encoding it again.
  std::pair<std::size_t, std::size_t> field(std::u16string_view text, bool isText) {
    const std::size_t start = m_used;
    char* const d = room(3 * text.size());
    m_used += static_cast<std::size_t>(writeField(d, text, isText) - d);
    return {start, m_used - start};
  }
  void repeat(std::pair<std::size_t, std::size_t> written) {
    char* const d = room(written.second);
    std::memcpy(d, m_bytes.data() + written.first, written.second);
    m_used += written.second;
  }
  std::string take() && {
    m_bytes.resize(m_used);
    return std::move(m_bytes);
  }

private:
  // Room for n bytes (and a block's store past them) at the write position.
  char* room(std::size_t n) {
    constexpr std::size_t kSlack = 32;
    if (m_bytes.size() - m_used < n + kSlack)
      m_bytes.resize(std::max(m_used + n + kSlack, std::min(m_bytes.capacity(), m_used + n + (64u << 10))));
    return m_bytes.data() + m_used;
  }

  std::string m_bytes;
  std::size_t m_used = 0;
};

// Room for the script, so that it grows without copying in the usual case.
std::size_t expectedSize(const ScriptPlan& plan) {
  std::size_t n = 1024;
  std::size_t longest = 0;
  for (const ScriptSide& side : plan.sides) {
    n += 64 + side.notes->size() * 48 + side.tasks->size() * 128;
    for (const auto& e : *side.notes) {
      n += e.title.size() + e.text.size() + e.text.size() / 8;
      longest = std::max({longest, e.title.size(), e.text.size()});
    }
    for (const auto& e : *side.tasks) {
      n += e.title.size() * 3 + e.text.size() + e.text.size() / 8;
      longest = std::max({longest, e.title.size(), e.text.size()});
    }
  }
  return n + 3 * longest;
}

// The header carries the counts and the current task's 1-based position as
// raw bytes, each between blanks, then the version digits.
void writeHeader(ScriptBuffer& out, const ScriptSide& side, const BriefingSnapshot& version) {
  const std::size_t counts[] = {side.notes->size(), side.tasks->size(), side.headerCurrent};
  const bool block = headerNeedsBlockComment(counts[0], counts[1], counts[2]);
  out.put(block ? "/* QFRT " : "// QFRT ");
  out.put(kSides[side.side].letter);
  for (const std::size_t count : counts) {
    out.put(' ');
    out.put(static_cast<char>(static_cast<unsigned char>(count)));
  }
  out.put(' ');
  out.put(std::to_string(version.versionMajor));
  out.put(std::to_string(version.versionMinor));
  out.put(std::to_string(version.versionPatch));
  if (block)
    out.put(" */");
  out.put(kCrLf);
  out.put("// DO NOT EDIT THIS FILE\r\n");
}

// One side's records: both lists from the last entry to the first (the
// reader fills the lists from the end, so they come back in their saved
// order), then the current task.
void writeBody(ScriptBuffer& out, const ScriptSide& side) {
  const auto& notes = *side.notes;
  const auto& tasks = *side.tasks;
  for (std::size_t i = notes.size(); i-- > 0;) {
    out.put("player createDiaryRecord [\"Diary\",[\"");
    out.field(notes[i].title, false);
    out.put("\",\"");
    out.field(notes[i].text, true);
    out.put("\"]];\r\n");
  }
  for (std::size_t i = tasks.size(); i-- > 0;) {
    const std::string variable = "tskObj" + std::to_string(i);
    out.put(variable);
    out.put("=player createSimpleTask [\"");
    const auto title = out.field(tasks[i].title, false);
    out.put("\"];\r\n");
    out.put(variable);
    out.put(" setSimpleTaskDescription [\"");
    out.field(tasks[i].text, true);
    out.put("\",\"");
    out.repeat(title);
    out.put("\",\"");
    out.repeat(title);
    out.put("\"];\r\n");
  }
  if (side.firstCurrent >= 0) {
    out.put("player setCurrentTask tskObj");
    out.put(std::to_string(side.firstCurrent));
    out.put(";\r\n");
  }
}

void checkCount(std::size_t count, const char* kinds, const std::string& briefing) {
  if (count > kMaxEntries)
    throw RuntimeError(ErrorNumber::InvalidArgument,
                       "The " + briefing + " has " + std::to_string(count) + ' ' + kinds +
                           ", but a briefing script holds at most 255 " + kinds);
}

ScriptSide sideOf(std::size_t index, const std::vector<BriefingEntry>& notes,
                  const std::vector<BriefingEntry>& tasks, std::u16string_view currentTask) {
  // The header names the last task of the current title, the setCurrentTask
  // line the first. An empty label names none.
  ScriptSide side{index, &notes, &tasks, 0, -1};
  if (!currentTask.empty())
    for (std::size_t i = 0; i < tasks.size(); ++i)
      if (tasks[i].title == currentTask) {
        if (side.firstCurrent < 0)
          side.firstCurrent = static_cast<int>(i);
        side.headerCurrent = i + 1;
      }
  return side;
}

} // namespace

ScriptPlan planScript(const BriefingSnapshot& snapshot) {
  const auto filled = [](const auto& b) { return !b.notes.empty() || !b.tasks.empty(); };
  const bool others = std::any_of(snapshot.otherSides.begin(), snapshot.otherSides.end(), filled);
  ScriptPlan plan;
  if (!others || (!filled(snapshot) &&
                  std::count_if(snapshot.otherSides.begin(), snapshot.otherSides.end(), filled) == 1)) {
    // One side: the script of the briefing being edited (or of the one other
    // side that holds entries, when the edited one is empty).
    const auto one = std::find_if(snapshot.otherSides.begin(), snapshot.otherSides.end(), filled);
    const bool edited = !others;
    const std::u16string_view word = edited ? snapshot.side : one->side;
    checkCount(edited ? snapshot.notes.size() : one->notes.size(), "notes", "briefing");
    checkCount(edited ? snapshot.tasks.size() : one->tasks.size(), "tasks", "briefing");
    const std::size_t index = sideByWord(word);
    if (index == kNoSide)
      throw RuntimeError(ErrorNumber::InvalidArgument,
                         "The side \"" + AnsiCodec::encode(word, "the side") +
                             "\" is not one of WEST, EAST, RESISTANCE and CIVILIAN");
    plan.sides.push_back(edited ? sideOf(index, snapshot.notes, snapshot.tasks, snapshot.currentTask)
                                : sideOf(index, one->notes, one->tasks, one->currentTask));
    // The game master's briefing alone still needs the line that names it.
    plan.several = index == kGameMaster;
    return plan;
  }
  // Several sides: each that holds an entry, in the order of the blocks.
  std::array<int, kSides.size()> at{};
  at.fill(-1);
  const auto take = [&](std::u16string_view word, const std::vector<BriefingEntry>& notes,
                        const std::vector<BriefingEntry>& tasks, std::u16string_view current) {
    const std::size_t index = sideByWord(word);
    const std::string name = AnsiCodec::encode(word, "the side");
    if (index == kNoSide)
      throw RuntimeError(ErrorNumber::InvalidArgument,
                         "The side \"" + name +
                             "\" is not one of WEST, EAST, RESISTANCE, CIVILIAN and LOGIC");
    if (at[index] >= 0)
      throw RuntimeError(ErrorNumber::InvalidArgument, "The briefing holds two " + name + " briefings");
    checkCount(notes.size(), "notes", name + " briefing");
    checkCount(tasks.size(), "tasks", name + " briefing");
    at[index] = 0;
    plan.sides.push_back(sideOf(index, notes, tasks, current));
  };
  if (filled(snapshot))
    take(snapshot.side, snapshot.notes, snapshot.tasks, snapshot.currentTask);
  for (const SideBriefing& other : snapshot.otherSides)
    if (filled(other))
      take(other.side, other.notes, other.tasks, other.currentTask);
  std::sort(plan.sides.begin(), plan.sides.end(),
            [](const ScriptSide& a, const ScriptSide& b) { return a.side < b.side; });
  plan.several = true;
  return plan;
}

std::string sidesLine(const ScriptPlan& plan) {
  std::string line = "// QFRT SIDES";
  for (const ScriptSide& side : plan.sides) {
    line += ' ';
    line += kSides[side.side].letter;
    line += ':' + std::to_string(side.notes->size()) + ',' + std::to_string(side.tasks->size()) + ',' +
            std::to_string(side.headerCurrent);
  }
  return line + "\r\n";
}

bool headerNeedsBlockComment(std::size_t notes, std::size_t tasks, std::size_t currentTask) {
  // A CR or LF ends a line comment, and whatever follows it on the line
  // would be read as code.
  for (const std::size_t byte : {notes, tasks, currentTask})
    if (byte == '\r' || byte == '\n')
      return true;
  return false;
}

std::string composeBriefingScript(const BriefingSnapshot& snapshot) {
  const ScriptPlan plan = planScript(snapshot);
  ScriptBuffer out(expectedSize(plan));
  // The first line describes the first side in block order, as a script of
  // that side alone would: the reader of one side's script takes its records,
  // which come first in the file.
  writeHeader(out, plan.sides.front(), snapshot);
  if (plan.several)
    out.put(sidesLine(plan));
  out.put(kCrLf);
  out.put(kOpening);
  try {
    std::size_t next = 0;
    for (std::size_t block = 0; block < kSides.size(); ++block) {
      const bool holds = next < plan.sides.size() && plan.sides[next].side == block;
      if (block >= kPlayableSides && !holds)
        continue; // the game master's block only when it holds entries
      out.put(kSides[block].caseLine);
      out.put("\r\n{\r\n");
      if (holds)
        writeBody(out, plan.sides[next++]);
      out.put("};\r\n");
    }
  } catch (const RuntimeError&) {
    throwFirstUnencodable(plan);
  }
  out.put(kClosing);
  return std::move(out).take();
}
