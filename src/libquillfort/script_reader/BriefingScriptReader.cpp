#include "script_reader/BriefingScriptReader.h"

#include "platform/AnsiCodec.h"
#include "platform/RuntimeError.h"
#include "platform/Sse2.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>


// The reader does not parse SQF. It takes the header's bytes at fixed
// positions and finds each record by a few literal markers, as the writer lays
// them out. Positions are 1-based byte positions held in 16-bit signed
// numbers: they are computed in int and checked, and a value past 32767 is an
// overflow (6), never a silent wrap.
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

namespace {

constexpr int kLastPosition = 32767;

[[noreturn]] void invalidArgument(const std::string& why) {
  throw RuntimeError(ErrorNumber::InvalidArgument, "Invalid procedure call or argument: " + why);
}

// The failures, kept out of line so that the checks stay a compare each.
[[noreturn]] [[gnu::noinline]] [[gnu::cold]] void overflow(const char* kind) {
  throw RuntimeError(ErrorNumber::Overflow,
                     std::string("Overflow: a ") + kind + " record lies past byte 32767 of the script");
}
[[noreturn]] [[gnu::noinline]] [[gnu::cold]] void endsTooEarly(const char* kind) {
  invalidArgument(std::string("a ") + kind + " record ends before its closing quote or line end");
}
[[noreturn]] [[gnu::noinline]] [[gnu::cold]] void noLineEnd(const char* kind) {
  invalidArgument(std::string("a ") + kind + " record's line has no line end");
}
[[noreturn]] [[gnu::noinline]] [[gnu::cold]] void tooFewRecords(const char* kind, int count) {
  invalidArgument("the script holds fewer " + std::string(kind) + " records than its first line counts (" +
                  std::to_string(count) + ")");
}

// The checks of one pass; kind names its records ("note" or "task") in the
// error's description.
struct Checks {
  const char* kind;

  // A position, start or end as the 16-bit number that holds it.
  int checked(int position) const {
    if (position > kLastPosition)
      overflow(kind);
    return position;
  }

  // The length between a start and the end found for it; negative when the
  // end is missing (0) or lies before the start.
  int lengthBetween(int start, int end) const {
    const int length = end - start;
    if (length < 0)
      endsTooEarly(kind);
    return length;
  }

  // Searches start at position 1 at the lowest; 0 is where the last record's
  // line had no line end.
  int searchStart(int position) const {
    if (position <= 0)
      noLineEnd(kind);
    return position;
  }

  // A marker's position as the search gives it. A missing marker means the
  // first line counts more records than the script holds, which ends the read
  // rather than taking unrelated script text for an entry.
  int found(int position, int count) const {
    if (position == 0)
      tooFewRecords(kind, count);
    return checked(position);
  }
};

constexpr std::size_t kNone = std::string_view::npos;

// 0-based byte index to 1-based position; every index past the last position
// a 16-bit number holds is the same overflow to the checks.
int position(std::size_t index) {
  return static_cast<int>(std::min<std::size_t>(index + 1, kLastPosition + 1));
}

std::uint64_t load64(const char* p) {
  std::uint64_t w;
  std::memcpy(&w, p, sizeof w);
  return w;
}

// The eight bytes at p as one word, byte j at the place a load from memory
// puts it on this machine; usable in constant expressions.
constexpr std::uint64_t word(const char* p) {
  std::uint64_t w = 0;
  for (int j = 0; j < 8; ++j) {
    const int shift = std::endian::native == std::endian::little ? 8 * j : 8 * (7 - j);
    w |= std::uint64_t{static_cast<unsigned char>(p[j])} << shift;
  }
  return w;
}

// A marker matched in any letter case, compared eight bytes at a time: a
// letter matches when the byte with bit 5 set equals its lower case. The
// markers are constants, so each compare is a load, an or and a xor against
// numbers built into the code.
class Marker {
public:
  // lower: 8 to 32 bytes, in lower case where anyCase (exact otherwise).
  constexpr explicit Marker(std::string_view lower, bool anyCase = true)
      : m_length(lower.size()), m_letter(lower[lower.size() - 3]) {
    for (std::size_t offset = 0;; offset += 8) {
      offset = std::min(offset, m_length - 8); // the last chunk overlaps the one before
      char fold[8] = {};
      for (std::size_t j = 0; j < 8; ++j)
        if (anyCase && lower[offset + j] >= 'a' && lower[offset + j] <= 'z')
          fold[j] = 0x20;
      m_chunks[m_count++] = {offset, word(lower.data() + offset), word(fold)};
      if (offset + 8 >= m_length)
        break;
    }
  }

  constexpr std::size_t length() const { return m_length; }
  // The letter before " [" at its end (the k of "task [").
  constexpr char letterBeforeBracket() const { return m_letter; }

  bool matches(std::string_view bytes, std::size_t i) const {
    if (i > bytes.size() || bytes.size() - i < m_length)
      return false;
    // All four chunks at once (the unused ones match anything), one branch.
    std::uint64_t differs = 0;
    for (const Chunk& c : m_chunks)
      differs |= (load64(bytes.data() + i + c.offset) | c.fold) ^ c.pattern;
    return differs == 0;
  }

private:
  struct Chunk {
    std::size_t offset;
    std::uint64_t pattern;
    std::uint64_t fold;
  };
  std::size_t m_length;
  char m_letter;
  Chunk m_chunks[4] = {{0, ~std::uint64_t{0}, ~std::uint64_t{0}},
                       {0, ~std::uint64_t{0}, ~std::uint64_t{0}},
                       {0, ~std::uint64_t{0}, ~std::uint64_t{0}},
                       {0, ~std::uint64_t{0}, ~std::uint64_t{0}}};
  int m_count = 0;
};

// The note marker from "Diary" on (its quote before opens the title's
// string), and the two task markers up to the quote that ends them.
constexpr Marker kNoteMarker("diary\",[");
constexpr Marker kTaskMarker("createsimpletask [");
constexpr Marker kDescriptionMarker("setsimpletaskdescription [");

// The text around the markers on the writer's own lines, exactly as it writes
// them (see findWrittenMarker).
constexpr Marker kNoteLead(";\r\nplayer createDiaryRecord ", false);
constexpr Marker kNoteTail("[\"Diary\",[\"", false);
constexpr Marker kTaskLead("\r\ntskObj", false);
constexpr Marker kTaskTail("=player createSimpleTask [\"", false);
constexpr Marker kDescriptionLead("];\r\ntskObj", false);
constexpr Marker kDescriptionTail(" setSimpleTaskDescription [\"", false);

// The parity of the quotes up to and including each bit.
std::uint64_t prefixXor(std::uint64_t x) {
  x ^= x << 1;
  x ^= x << 2;
  x ^= x << 4;
  x ^= x << 8;
  x ^= x << 16;
  x ^= x << 32;
  return x;
}

} // namespace

// The script's bytes classified 64 at a time. The first 32 KB (all a position
// can reach) are classified at once; the rest only when a search runs into it.
class BriefingScriptReader::Classes {
public:
  explicit Classes(std::string_view bytes)
      : m_bytes(bytes), m_total((bytes.size() + 63) / 64), m_blocks(new Block[m_total]) {
    const std::size_t lineEnd = bytes.find("\r\n");
    m_lineTwo = lineEnd == kNone ? kNone : lineEnd + 2;
    classify(std::min<std::size_t>(m_total, (kLastPosition + 1 + 128) / 64));
  }

  std::string_view bytes() const { return m_bytes; }

  // The first note marker ("Diary", a double quote and ",[", any letter case)
  // at or after from whose "Diary" follows a quote that opens a string.
  int findNoteMarker(int from) {
    const std::size_t size = m_bytes.size();
    for (std::size_t i = static_cast<std::size_t>(std::max(from, 2) - 2);;) {
      const std::size_t k = i / 64;
      if (!classified(k))
        return 0;
      for (std::uint64_t m = opens(k) & (~std::uint64_t{0} << (i % 64)); m != 0; m &= m - 1) {
        const std::size_t j = k * 64 + static_cast<std::size_t>(std::countr_zero(m));
        if (j + 1 < size && (m_bytes[j + 1] | 0x20) == 'd' && kNoteMarker.matches(m_bytes, j + 1))
          return position(j + 1);
      }
      i = (k + 1) * 64;
    }
  }

  // The first occurrence of a task marker (matched in any letter case, with
  // the double quote after it) at or after from that stands outside every
  // string: its quote is then one that opens a string. Each such quote is
  // tried first by the letter before " [".
  int findCodeMarker(const Marker& marker, int from) {
    const std::size_t length = marker.length();
    const char letter = marker.letterBeforeBracket();
    for (std::size_t i = static_cast<std::size_t>(from - 1) + length;;) {
      const std::size_t k = i / 64;
      if (!classified(k))
        return 0;
      for (std::uint64_t m = opens(k) & (~std::uint64_t{0} << (i % 64)); m != 0; m &= m - 1) {
        const std::size_t j = k * 64 + static_cast<std::size_t>(std::countr_zero(m));
        if ((m_bytes[j - 3] | 0x20) == letter && marker.matches(m_bytes, j - length))
          return position(j - length);
      }
      i = (k + 1) * 64;
    }
  }

  // The position of a marker where the writer puts it: at index i the text
  // lead, then the digits of a task's variable (none for a note), then tail,
  // which ends with the quote that follows the marker (a task marker's) or
  // that opens the title (after a note marker). Lead holds the CR LF that
  // starts the marker's line and neither holds another quote before that one,
  // so the first quote of tail is the first on its line and opens a string,
  // and no quote lies between i and it: this is what findCodeMarker or
  // findNoteMarker would find from i on, and taking it needs no search. 0
  // when the bytes there are anything else.
  int findWrittenMarker(std::size_t i, const Marker& lead, const Marker& tail, const Marker& marker) const {
    const std::string_view b = m_bytes;
    if (!lead.matches(b, i))
      return 0;
    i += lead.length();
    while (i < b.size() && b[i] >= '0' && b[i] <= '9')
      ++i;
    if (!tail.matches(b, i))
      return 0;
    return position(i + tail.length() - 1 - marker.length());
  }

  // The double quote that ends a string whose text starts at from: the first
  // one not followed by another (two in a row are one quote of the text).
  int findStringEnd(int from) {
    for (std::size_t i = static_cast<std::size_t>(from - 1);;) {
      const std::size_t j = next(&Block::quotes, i);
      if (j == kNone)
        return 0;
      if (j + 1 < m_bytes.size() && m_bytes[j + 1] == '"')
        i = j + 2;
      else
        return position(j);
    }
  }

  // The position of the CR of the first CR LF at or after from.
  int findCrLf(int from) {
    const std::size_t j = next(&Block::lineEnds, static_cast<std::size_t>(from - 1));
    return j == kNone ? 0 : position(j);
  }

private:
  struct Block {
    std::uint64_t quotes;   // the double quotes
    std::uint64_t lineEnds; // the CRs of CR LF pairs
    std::uint64_t opens;    // the quotes that open a string (see opens())
  };

  // Whether block k is classified, classifying the rest of the script when
  // a search first runs into it.
  bool classified(std::size_t k) {
    if (k < m_classified)
      return true;
    if (k >= m_total)
      return false;
    classify(m_total);
    return true;
  }

  // The index of the first bit of one mask set at or after index i, or kNone.
  std::size_t next(std::uint64_t Block::*mask, std::size_t i) {
    std::size_t k = i / 64;
    if (!classified(k))
      return kNone;
    std::uint64_t m = m_blocks[k].*mask & (~std::uint64_t{0} << (i % 64));
    while (m == 0) {
      if (!classified(++k))
        return kNone;
      m = m_blocks[k].*mask;
    }
    return k * 64 + static_cast<std::size_t>(std::countr_zero(m));
  }

  // The opening quotes of block k, a classified block. They depend on the
  // string state carried from every block before, so they are worked out in
  // order, and only as far as a search for a marker has gone: where the
  // writer's own lines are taken without a search, the blocks after the last
  // search never need them.
  std::uint64_t opens(std::size_t k) {
    for (; m_opened <= k; ++m_opened) {
      const std::size_t base = m_opened * 64;
      const std::uint64_t quotes = m_blocks[m_opened].quotes;
      const std::uint64_t lineEnds = m_blocks[m_opened].lineEnds;
      // Line 1 is a comment holding raw count bytes: none of it is searched.
      std::uint64_t searched = 0;
      if (m_lineTwo != kNone)
        searched = m_lineTwo <= base        ? ~std::uint64_t{0}
                   : m_lineTwo >= base + 64 ? 0
                                            : ~std::uint64_t{0} << (m_lineTwo - base);
      // The string state after each byte: the parity of the quotes since the
      // line began, every CR LF starting a line outside any string. A line
      // that ends outside a string needs no reset, as every line the writer
      // writes.
      std::uint64_t inside = prefixXor(quotes & searched) ^ (m_insideCarry ? ~std::uint64_t{0} : 0);
      if ((inside & lineEnds) != 0)
        for (std::uint64_t rest = lineEnds; rest != 0; rest &= rest - 1)
          if (inside & rest & -rest)
            inside ^= ~std::uint64_t{0} << std::countr_zero(rest);
      const std::uint64_t insideBefore = (inside << 1) | m_insideCarry;
      const std::uint64_t quoteBefore = (quotes << 1) | m_quoteCarry;
      m_blocks[m_opened].opens = quotes & ~insideBefore & ~quoteBefore & searched;
      m_insideCarry = inside >> 63;
      m_quoteCarry = quotes >> 63;
    }
    return m_blocks[k].opens;
  }

  // Classifies the blocks from the first not yet classified up to (not
  // including) block `end`.
  void classify(std::size_t end) {
    const std::size_t size = m_bytes.size();
    alignas(16) char tail[80];
    for (std::size_t k = m_classified; k < end; ++k) {
      const std::size_t base = k * 64;
      const char* p = m_bytes.data() + base;
      if (size - base <=
          64) { // the last block (and the byte after it), padded with bytes that are none of these
        std::memset(tail, 0, sizeof tail);
        std::memcpy(tail, p, size - base);
        p = tail;
      }
      // Each CR LF is found by its CR and the byte after it, one load apart.
      std::uint64_t quotes = 0;
      std::uint64_t lineEnds = 0;
#ifdef QUILLFORT_SSE2
      for (int j = 0; j < 4; ++j) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * j));
        const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * j + 1));
        const auto bits = [](__m128i m) {
          return std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(m))};
        };
        quotes |= bits(_mm_cmpeq_epi8(v, _mm_set1_epi8('"'))) << (16 * j);
        lineEnds |= bits(_mm_and_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r')),
                                       _mm_cmpeq_epi8(after, _mm_set1_epi8('\n'))))
                    << (16 * j);
      }
#else
      for (int j = 0; j < 64; ++j) {
        quotes |= std::uint64_t{p[j] == '"'} << j;
        lineEnds |= std::uint64_t{p[j] == '\r' && p[j + 1] == '\n'} << j;
      }
#endif
      m_blocks[k] = {quotes, lineEnds, 0};
    }
    m_classified = std::max(m_classified, end);
  }

  std::string_view m_bytes;
  std::size_t m_lineTwo; // where line 2 begins; kNone without a CR LF
  std::size_t m_total;   // blocks in the script
  std::size_t m_classified = 0;
  std::size_t m_opened = 0; // blocks whose opening quotes are worked out
  std::unique_ptr<Block[]> m_blocks;
  std::uint64_t m_insideCarry = 0;
  std::uint64_t m_quoteCarry = 0;
};

// One pass's records. The pass first finds every field (where it starts in
// the script and how many bytes it has), then decodes them all into one
// buffer of the size they need (a field never grows when decoded), so that a
// pass makes two allocations whatever its records hold, and the records view
// the buffer.
class BriefingScriptReader::Pass {
public:
  std::vector<ScriptRecordView> records;

  void begin(int count) {
    const auto n = static_cast<std::size_t>(std::max(count, 0));
    m_fields.reset(n == 0 ? nullptr : new Fields[n]);
    m_count = n;
    m_rawBytes = 0;
    records.clear();
  }

  // The raw fields of record k: 1-based start positions and byte lengths.
  void found(std::size_t k, int titleStart, int titleLength, int textStart, int textLength) {
    m_fields[k] = {static_cast<std::size_t>(titleStart - 1), static_cast<std::size_t>(titleLength),
                   static_cast<std::size_t>(textStart - 1), static_cast<std::size_t>(textLength)};
    m_rawBytes += static_cast<std::size_t>(titleLength) + static_cast<std::size_t>(textLength);
  }

  // Decodes the fields found into the records, in list order.
  const std::vector<ScriptRecordView>& finish(std::string_view script) {
    // Sixteen characters of room past the last field: the decoder stores
    // whole blocks of sixteen and moves on by what it really decoded.
    m_text.reset(new char16_t[m_rawBytes + 32]);
    char16_t* out = m_text.get();
    records.reserve(m_count);
    for (std::size_t k = 0; k < m_count; ++k) {
      const Fields& f = m_fields[k];
      char16_t* const title = out;
      out = decodeField<false>(script.substr(f.titleStart, f.titleLength), script.size() - f.titleStart, out);
      char16_t* const text = out;
      out = decodeField<true>(script.substr(f.textStart, f.textLength), script.size() - f.textStart, out);
      records.push_back({{title, static_cast<std::size_t>(text - title)},
                         {text, static_cast<std::size_t>(out - text)},
                         f.titleStart,
                         f.textStart});
    }
    return records;
  }

private:
  struct Fields {
    std::size_t titleStart; // 0-based
    std::size_t titleLength;
    std::size_t textStart;
    std::size_t textLength;
  };

  // readable: how many bytes of the script lie from the field's start on
  // (the field and what follows it), which the decoder may load but ignores.
  // isText: a text, in which "<br/>" is a line break (a title has none).
  // Inlined: most fields are a few bytes, and a call costs as much as their
  // decoding.
  template <bool isText>
  [[gnu::always_inline]] static inline char16_t* decodeField(std::string_view raw, std::size_t readable,
                                                             char16_t* out);

  std::unique_ptr<Fields[]> m_fields;
  std::size_t m_count = 0;
  std::size_t m_rawBytes = 0;
  std::unique_ptr<char16_t[]> m_text;
};

#ifdef _WIN32
// The system decodes: the bytes are unescaped first, then converted.
template <bool isText>
char16_t* BriefingScriptReader::Pass::decodeField(std::string_view raw, std::size_t, char16_t* out) {
  std::string bytes;
  bytes.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '"' && i + 1 < raw.size() && raw[i + 1] == '"') {
      bytes += '"';
      ++i;
    } else if (isText && raw.compare(i, 5, "<br/>") == 0) {
      bytes += "\r\n";
      i += 4;
    } else {
      bytes += raw[i];
    }
  }
  const std::u16string text = AnsiCodec::decode(bytes);
  std::memcpy(out, text.data(), text.size() * sizeof(char16_t));
  return out + text.size();
}
#else
// Windows-1252: every byte is one character, the same value but for 0x80 to
// 0x9F, which the table maps.
template <bool isText>
char16_t* BriefingScriptReader::Pass::decodeField(std::string_view raw, [[maybe_unused]] std::size_t readable, char16_t* out) {
  const char* const p = raw.data();
  const std::size_t n = raw.size();
  // One quote, "<br/>" or any other byte at i; returns the bytes taken.
  const auto special = [&](std::size_t i) -> std::size_t {
    if (p[i] == '"') {
      *out++ = u'"';
      return i + 1 < n && p[i + 1] == '"' ? 2 : 1;
    }
    if (isText && p[i] == '<' && n - i >= 5 && std::memcmp(p + i, "<br/>", 5) == 0) {
      *out++ = u'\r';
      *out++ = u'\n';
      return 5;
    }
    *out++ = AnsiCodec::detail::windows1252Char(static_cast<unsigned char>(p[i]));
    return 1;
  };
  std::size_t i = 0;
#ifdef QUILLFORT_SSE2
  // Sixteen bytes at a time, widened and stored at once; the pieces between
  // quotes and "<br/>" are copied from the widened block. A field's last
  // bytes (or a short field) are loaded as a whole block too where the script
  // goes on past them, and only the field's bytes of it are taken.
  const __m128i zero = _mm_setzero_si128();
  alignas(16) char16_t widened[32]; // the upper half only ever lands past a piece's end
  while (i < n && readable - i >= 16) {
    const std::size_t limit = std::min<std::size_t>(n - i, 16);
    const unsigned taken = limit == 16 ? 0xFFFFu : (1u << limit) - 1;
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const auto marks = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
                           _mm_cmpeq_epi8(v, _mm_set1_epi8('"')),
                           isText ? _mm_cmpeq_epi8(v, _mm_set1_epi8('<')) : zero))) &
                       taken;
    const auto c1 = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(
                        _mm_subs_epu8(_mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>(0x80))), _mm_set1_epi8(0x1F)),
                        zero))) &
                    taken;
    const __m128i low = _mm_unpacklo_epi8(v, zero);
    const __m128i high = _mm_unpackhi_epi8(v, zero);
    if ((marks | c1) == 0) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), low);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), high);
      i += limit;
      out += limit;
      continue;
    }
    _mm_store_si128(reinterpret_cast<__m128i*>(widened), low);
    _mm_store_si128(reinterpret_cast<__m128i*>(widened + 8), high);
    _mm_store_si128(reinterpret_cast<__m128i*>(widened + 16), zero);
    _mm_store_si128(reinterpret_cast<__m128i*>(widened + 24), zero);
    for (unsigned rest = c1; rest != 0; rest &= rest - 1) {
      const int at = std::countr_zero(rest);
      widened[at] =
          AnsiCodec::detail::windows1252Char(static_cast<unsigned char>(p[i + static_cast<std::size_t>(at)]));
    }
    // Each piece is copied sixteen characters at a time; what lands past its
    // end is overwritten by what follows.
    std::size_t from = 0;
    for (unsigned rest = marks; rest != 0; rest &= rest - 1) {
      const auto at = static_cast<std::size_t>(std::countr_zero(rest));
      if (at < from)
        continue; // the second quote of a pair
      std::memcpy(out, widened + from, 16 * sizeof(char16_t));
      out += at - from;
      from = at + special(i + at);
    }
    if (from < limit) {
      std::memcpy(out, widened + from, 16 * sizeof(char16_t));
      out += limit - from;
      from = limit;
    }
    i += from;
  }
#endif
  while (i < n) {
    if (p[i] == '"' || p[i] == '<' || static_cast<unsigned char>(p[i]) >= 0x80) {
      i += special(i);
    } else {
      *out++ = static_cast<char16_t>(p[i]);
      ++i;
    }
  }
  return out;
}
#endif

BriefingScriptReader::BriefingScriptReader(std::string_view script)
    : m_classes(std::make_unique<Classes>(script)), m_notes(std::make_unique<Pass>()),
      m_tasks(std::make_unique<Pass>()) {}

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
  Pass& pass = *m_notes;
  pass.begin(count);
  Classes& text = *m_classes;
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
  Pass& pass = *m_tasks;
  pass.begin(count);
  Classes& text = *m_classes;
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
