#include "script_writer/BriefingScriptWriter.h"

#include "platform/AnsiCodec.h"
#include "platform/RuntimeError.h"
#include "platform/Sse2.h"

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

// Writes a title or text as it stands inside an SQF string, in one pass: each
// character in the code page, quotes doubled, in a text CR LF as "<br/>".
// d has room for three bytes per character; returns the end of what it wrote.
char* writeField(char* d, std::u16string_view field, bool text) {
  const char16_t* s = field.data();
  const char16_t* const end = s + field.size();
#ifdef QUILLFORT_SSE2
  // Sixteen characters at a time: narrowed to bytes and stored at once. The
  // pieces between quotes and CR LFs are copied from the narrowed block, so
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
std::size_t expectedSize(const BriefingSnapshot& s) {
  std::size_t n = 1024 + s.notes.size() * 48 + s.tasks.size() * 128;
  std::size_t longest = 0;
  for (const auto& e : s.notes) {
    n += e.title.size() + e.text.size() + e.text.size() / 8;
    longest = std::max({longest, e.title.size(), e.text.size()});
  }
  for (const auto& e : s.tasks) {
    n += e.title.size() * 3 + e.text.size() + e.text.size() / 8;
    longest = std::max({longest, e.title.size(), e.text.size()});
  }
  return n + 3 * longest;
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

  ScriptBuffer out(expectedSize(snapshot));

  // The header carries the counts and the current task's 1-based position as
  // raw bytes, each between blanks, then the version digits.
  const std::size_t counts[] = {snapshot.notes.size(), snapshot.tasks.size(),
                                static_cast<std::size_t>(lastCurrent + 1)};
  const bool block = headerNeedsBlockComment(counts[0], counts[1], counts[2]);
  out.put(block ? "/* QFRT " : "// QFRT ");
  out.put(side.front());
  for (const std::size_t count : counts) {
    out.put(' ');
    out.put(static_cast<char>(static_cast<unsigned char>(count)));
  }
  out.put(' ');
  out.put(std::to_string(snapshot.versionMajor));
  out.put(std::to_string(snapshot.versionMinor));
  out.put(std::to_string(snapshot.versionPatch));
  if (block)
    out.put(" */");
  out.put(kCrLf);
  out.put("// DO NOT EDIT THIS FILE\r\n\r\n");
  out.put(kOpening);

  for (std::size_t block = 0; block < kCaseLines.size(); ++block) {
    out.put(kCaseLines[block]);
    out.put("\r\n{\r\n");
    if (block == sideIndex) {
      // Both lists from the last entry to the first: the reader fills the
      // lists from the end, so they come back in their saved order.
      try {
        for (std::size_t i = snapshot.notes.size(); i-- > 0;) {
          out.put("player createDiaryRecord [\"Diary\",[\"");
          out.field(snapshot.notes[i].title, false);
          out.put("\",\"");
          out.field(snapshot.notes[i].text, true);
          out.put("\"]];\r\n");
        }
        for (std::size_t i = snapshot.tasks.size(); i-- > 0;) {
          const std::string variable = "tskObj" + std::to_string(i);
          out.put(variable);
          out.put("=player createSimpleTask [\"");
          const auto title = out.field(snapshot.tasks[i].title, false);
          out.put("\"];\r\n");
          out.put(variable);
          out.put(" setSimpleTaskDescription [\"");
          out.field(snapshot.tasks[i].text, true);
          out.put("\",\"");
          out.repeat(title);
          out.put("\",\"");
          out.repeat(title);
          out.put("\"];\r\n");
        }
      } catch (const RuntimeError&) {
        throwFirstUnencodable(snapshot);
      }
      if (firstCurrent >= 0) {
        out.put("player setCurrentTask tskObj");
        out.put(std::to_string(firstCurrent));
        out.put(";\r\n");
      }
    }
    out.put("};\r\n");
  }
  out.put(kClosing);
  return std::move(out).take();
}
