#include "core/writer/BriefingScriptWriter.h"

#include "core/system/RuntimeError.h"
#include "core/system/Sse2.h"
#include "core/text/AnsiCodec.h"
#include "core/text/Thousands.h"
#include "core/text/Utf8.h"
#include "QuillfortVersion.h"

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
constexpr std::size_t kMaxEntries = 255; // a count is one byte of the header
// On Windows the system converts the ANSI code page, whose characters may
// take two bytes; elsewhere it is Windows-1252 by our own table, a byte each.
#ifdef _WIN32
constexpr bool kSystemCodePage = true;
#else
constexpr bool kSystemCodePage = false;
#endif

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

[[noreturn]] void unwritable() {
  throw RuntimeError(ErrorNumber::InvalidArgument, "A character cannot be written in the script's encoding");
}

// A character outside ASCII in UTF-8, a surrogate pair taken whole; a lone
// half of a pair has no UTF-8 form. Advances s past it.
char* writeUtf8(char* d, const char16_t*& s, const char16_t* end) {
  const char32_t c = *s;
  if (c < 0x800) {
    *d++ = static_cast<char>(0xC0 | (c >> 6));
    *d++ = static_cast<char>(0x80 | (c & 0x3F));
    ++s;
  } else if (c < 0xD800 || c > 0xDFFF) {
    *d++ = static_cast<char>(0xE0 | (c >> 12));
    *d++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *d++ = static_cast<char>(0x80 | (c & 0x3F));
    ++s;
  } else if (c <= 0xDBFF && end - s >= 2 && s[1] >= 0xDC00 && s[1] <= 0xDFFF) {
    const char32_t p = 0x10000 + ((c - 0xD800) << 10) + (s[1] - 0xDC00);
    *d++ = static_cast<char>(0xF0 | (p >> 18));
    *d++ = static_cast<char>(0x80 | ((p >> 12) & 0x3F));
    *d++ = static_cast<char>(0x80 | ((p >> 6) & 0x3F));
    *d++ = static_cast<char>(0x80 | (p & 0x3F));
    s += 2;
  } else {
    unwritable();
  }
  return d;
}

// One character that needs more than narrowing, at s: a double quote is
// doubled, as SQF writes a quote inside a string; in a text a CR LF becomes
// "<br/>" (a lone CR passes); any other character outside ASCII goes into the
// script's encoding. Advances s past what it wrote and returns the new end of d.
char* writeSpecial(char* d, const char16_t*& s, const char16_t* end, bool text, Encoding encoding) {
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
  } else if (encoding == Encoding::Utf8) {
    d = writeUtf8(d, s, end);
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
      unwritable();
    std::memcpy(d, bytes.data(), bytes.size());
    d += bytes.size();
    s = runEnd;
#else
    const int byte = AnsiCodec::detail::windows1252Byte(c);
    if (byte < 0)
      unwritable();
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
char* writeBlocks(char* d, const char16_t*& s, const char16_t* const end, bool text, Encoding encoding) {
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
    if (high != 0 && (encoding == Encoding::Utf8 || kSystemCodePage)) {
      // A character outside ASCII takes bytes of its own: the block's ASCII
      // up to the first special character goes at once, the rest one by one.
      const int plain = std::countr_zero(quoteOrCr | high);
      std::memcpy(d, narrowed, 16);
      s += plain;
      d += plain;
      for (const char16_t* blockEnd = s - plain + 16; s < blockEnd;)
        d = *s < 0x80 && *s != u'"' && *s != u'\r' ? (*d = static_cast<char>(*s++), d + 1)
                                                     : writeSpecial(d, s, end, text, encoding);
      continue;
    }
#ifndef _WIN32
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
          unwritable();
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
char* writeField(char* d, std::u16string_view field, bool text, Encoding encoding) {
  const char16_t* s = field.data();
  const char16_t* const end = s + field.size();
#ifdef QUILLFORT_SSE2
  d = writeBlocks(d, s, end, text, encoding);
#endif
  while (s != end) {
    const char16_t c = *s;
    if (c < 0x80 && c != u'"' && c != u'\r') {
      *d++ = static_cast<char>(c);
      ++s;
    } else {
      d = writeSpecial(d, s, end, text, encoding);
    }
  }
  return d;
}

// The script under construction: bytes are written through a pointer into
// room made ahead, so that a field costs no appends of its own.
class ScriptBuffer {
public:
  ScriptBuffer(std::size_t expected, Encoding encoding) : m_encoding(encoding) { m_bytes.reserve(expected); }

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
    m_used += static_cast<std::size_t>(writeField(d, text, isText, m_encoding) - d);
    return {start, m_used - start};
  }
  void repeat(std::pair<std::size_t, std::size_t> written) {
    char* const d = room(written.second);
    std::memcpy(d, m_bytes.data() + written.first, written.second);
    m_used += written.second;
  }
  std::size_t size() const { return m_used; }
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
  Encoding m_encoding;
};


// The bytes a title or text takes inside its SQF string, worked out without
// writing it; a character the encoding cannot hold counts as one byte.
std::size_t fieldSize(std::u16string_view field, bool text, Encoding encoding) {
  std::size_t size = field.size();
  for (std::size_t i = 0; i < field.size(); ++i) {
    const char16_t c = field[i];
    if (c < 0x80) {
      if (c == u'"')
        ++size;
      else if (text && c == u'\r' && i + 1 < field.size() && field[i + 1] == u'\n')
        size += 3, ++i; // the two characters become five
    } else if (encoding == Encoding::Utf8) {
      // Two bytes below U+0800, three above; a pair of UTF-16 units four
      // (each unit counted once already).
      size += c < 0x800 ? 1 : Utf8::isSurrogate(c) ? 1 : 2;
    } else if (kSystemCodePage) {
      std::size_t end = i + 1;
      while (end < field.size() && field[end] >= 0x80)
        ++end;
      std::string bytes;
      std::size_t bad = 0;
      if (AnsiCodec::detail::encodeInto(field.substr(i, end - i), bytes, bad))
        size += bytes.size() - (end - i);
      i = end - 1;
    }
  }
  return size;
}

// The same layout as ScriptBuffer writes, only counted.
class ScriptCounter {
public:
  explicit ScriptCounter(Encoding encoding) : m_encoding(encoding) {}
  void put(std::string_view literal) { m_size += literal.size(); }
  void put(char) { ++m_size; }
  std::pair<std::size_t, std::size_t> field(std::u16string_view text, bool isText) {
    const std::size_t bytes = fieldSize(text, isText, m_encoding);
    m_size += bytes;
    return {0, bytes};
  }
  void repeat(std::pair<std::size_t, std::size_t> written) { m_size += written.second; }
  std::size_t size() const { return m_size; }

private:
  std::size_t m_size = 0;
  Encoding m_encoding;
};

// The header carries the counts and the current task's 1-based position as
// raw bytes, each between blanks, then the version digits.
template <class Out> void writeHeader(Out& out, const ScriptSide& side) {
  const std::size_t counts[] = {side.briefing->notes.size(), side.briefing->tasks.size(), side.headerCurrent()};
  const bool block = headerNeedsBlockComment(counts[0], counts[1], counts[2]);
  out.put(block ? "/* QFRT " : "// QFRT ");
  out.put(infoOf(side.briefing->side).letter);
  for (const std::size_t count : counts) {
    out.put(' ');
    out.put(static_cast<char>(static_cast<unsigned char>(count)));
  }
  out.put(' ');
  out.put(std::to_string(kVersionMajor));
  out.put(std::to_string(kVersionMinor));
  out.put(std::to_string(kVersionPatch));
  if (block)
    out.put(" */");
  out.put(kCrLf);
  out.put("// DO NOT EDIT THIS FILE\r\n");
}

// One side's records: both lists from the last entry to the first (the
// reader fills the lists from the end, so they come back in their saved
// order), then the current task.
template <class Out> void writeBody(Out& out, const ScriptSide& side) {
  const auto& notes = side.briefing->notes;
  const auto& tasks = side.briefing->tasks;
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
  if (side.current.any()) {
    out.put("player setCurrentTask tskObj");
    out.put(std::to_string(side.current.first));
    out.put(";\r\n");
  }
}

// The whole script; blocks receives where each side's block ends.
template <class Out> void layOut(Out& out, const ScriptPlan& plan, std::vector<ScriptMeasure::Block>& blocks) {
  // The first line describes the first side in block order, as a script of
  // that side alone would: the reader of one side's script takes its records,
  // which come first in the file.
  writeHeader(out, plan.sides.front());
  if (plan.several)
    out.put(sidesLine(plan));
  out.put(kCrLf);
  out.put(kOpening);
  std::size_t next = 0;
  for (std::size_t block = 0; block < kSides.size(); ++block) {
    const bool holds = next < plan.sides.size() && indexOf(plan.sides[next].briefing->side) == block;
    if (block >= kPlayableSides && !holds)
      continue; // the game master's block only when it holds entries
    out.put(kSides[block].caseLine);
    out.put("\r\n{\r\n");
    if (holds) {
      writeBody(out, plan.sides[next++]);
      blocks.push_back({static_cast<Side>(block), out.size() + 1});
    }
    out.put("};\r\n");
  }
  out.put(kClosing);
}

// The entries, side by side and in list order, each named for the message:
// the script is written from the last entry to the first, but the user reads
// the lists from the top. A several-sides script names the side too.
[[noreturn]] void throwFirstUnwritable(const Briefing& briefing, const ScriptPlan& plan) {
  for (const ScriptSide& side : plan.sides) {
    const std::string ofSide = plan.several ? " of the " + nameOf(side.briefing->side) + " briefing" : "";
    for (const auto& [entries, kind] :
         {std::pair{&side.briefing->notes, "note"}, std::pair{&side.briefing->tasks, "task"}}) {
      for (std::size_t i = 0; i < entries->size(); ++i) {
        const std::string number = std::to_string(i + 1) + ofSide;
        for (const auto& [field, what] : {std::pair{&(*entries)[i].title, "the title of "},
                                          std::pair{&(*entries)[i].text, "the text of "}}) {
          const std::string where = what + std::string(kind) + ' ' + number;
          if (briefing.encoding == Encoding::Utf8) {
            for (std::size_t k = 0; k < field->size(); ++k)
              if (std::size_t units = 1; Utf8::isSurrogate(Utf8::codePointAt(*field, k, &units)))
                throw RuntimeError(ErrorNumber::InvalidArgument,
                                   "The character " + Utf8::describe(*field, k) + " in " + where +
                                       " cannot be written in UTF-8: it is half of a pair of UTF-16 units, "
                                       "the other half of which is missing");
              else
                k += units - 1;
            continue;
          }
          try {
            AnsiCodec::encode(*field, where);
          } catch (const RuntimeError& e) {
            throw RuntimeError(e.number, e.description + ": UTF-8, the script's other encoding, holds it");
          }
        }
      }
    }
  }
  throw RuntimeError(ErrorNumber::InvalidArgument, "A character cannot be written in the script's encoding");
}

void checkCount(std::size_t count, const char* kinds, const std::string& briefing) {
  if (count > kMaxEntries)
    throw RuntimeError(ErrorNumber::InvalidArgument,
                       "The " + briefing + " has " + std::to_string(count) + ' ' + kinds +
                           ", but a briefing script holds at most 255 " + kinds);
}

} // namespace

ScriptPlan planScript(const Briefing& briefing) {
  ScriptPlan plan;
  std::array<bool, kSides.size()> seen{};
  for (const SideBriefing& side : briefing.sides) {
    if (seen[indexOf(side.side)])
      throw RuntimeError(ErrorNumber::InvalidArgument, "The briefing holds two " + nameOf(side.side) + " briefings");
    seen[indexOf(side.side)] = true;
    if (side.holdsEntries())
      plan.sides.push_back({&side, currentTaskOf(side.tasks, side.currentTask)});
  }
  if (plan.sides.empty() && !briefing.sides.empty()) {
    const SideBriefing& first = briefing.sides.front();
    plan.sides.push_back({&first, currentTaskOf(first.tasks, first.currentTask)});
  }
  if (plan.sides.empty())
    throw RuntimeError(ErrorNumber::InvalidArgument, "The briefing names no side");
  std::sort(plan.sides.begin(), plan.sides.end(),
            [](const ScriptSide& a, const ScriptSide& b) { return a.briefing->side < b.briefing->side; });
  // The game master's briefing alone still needs the line that names it.
  plan.several = plan.sides.size() > 1 || !isPlayable(plan.sides.front().briefing->side);
  for (const ScriptSide& side : plan.sides) {
    const std::string name = plan.several ? nameOf(side.briefing->side) + " briefing" : "briefing";
    checkCount(side.briefing->notes.size(), "notes", name);
    checkCount(side.briefing->tasks.size(), "tasks", name);
  }
  return plan;
}

std::string sidesLine(const ScriptPlan& plan) {
  std::string line = "// QFRT SIDES";
  for (const ScriptSide& side : plan.sides) {
    line += ' ';
    line += infoOf(side.briefing->side).letter;
    line += ':' + std::to_string(side.briefing->notes.size()) + ',' + std::to_string(side.briefing->tasks.size()) +
            ',' + std::to_string(side.headerCurrent());
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

const ScriptMeasure::Block* ScriptMeasure::pastReach() const {
  for (const Block& block : blocks)
    if (several && block.end > kLastReadablePosition)
      return &block;
  return nullptr;
}

ScriptMeasure measureBriefingScript(const Briefing& briefing) {
  const ScriptPlan plan = planScript(briefing);
  ScriptMeasure measure;
  ScriptCounter out(briefing.encoding);
  layOut(out, plan, measure.blocks);
  measure.size = out.size();
  measure.several = plan.several;
  return measure;
}

std::string composeBriefingScript(const Briefing& briefing) {
  const ScriptPlan plan = planScript(briefing);
  ScriptMeasure measure;
  // Room for the script, so that it grows without copying in the usual case.
  std::size_t expected = 1024;
  for (const ScriptSide& side : plan.sides)
    for (const auto* list : {&side.briefing->notes, &side.briefing->tasks})
      for (const BriefingEntry& e : *list)
        expected += 96 + 3 * e.title.size() + e.text.size() + e.text.size() / 4;
  ScriptBuffer out(expected, briefing.encoding);
  try {
    layOut(out, plan, measure.blocks);
  } catch (const RuntimeError&) {
    throwFirstUnwritable(briefing, plan);
  }
  measure.several = plan.several;
  // A side that the reader could not reach would be lost on the next open
  // and save: such a script is not written.
  if (const ScriptMeasure::Block* past = measure.pastReach())
    throw RuntimeError(ErrorNumber::Overflow,
                       "Overflow: the script would be " + withThousands(out.size()) + " bytes, and the " +
                           nameOf(past->side) + " briefing would end at byte " + withThousands(past->end) +
                           ", past byte 32,767, where the script could no longer be opened in full: "
                           "shorten its texts or save the sides in scripts of their own");
  return std::move(out).take();
}
