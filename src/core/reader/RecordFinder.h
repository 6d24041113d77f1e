#pragma once

#include "core/reader/ReaderChecks.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

// Finding the records: the markers the writer puts before each field, and
// the script's bytes classified so that a search visits only the quotes that
// open a string. Everything a search runs is inline here, as the passes call
// it once or more per record.
namespace reader_detail {

inline std::uint64_t load64(const char* p) {
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
inline std::uint64_t prefixXor(std::uint64_t x) {
  x ^= x << 1;
  x ^= x << 2;
  x ^= x << 4;
  x ^= x << 8;
  x ^= x << 16;
  x ^= x << 32;
  return x;
}

// The script's bytes classified 64 at a time. The first 32 KB (all a position
// can reach) are classified at once; the rest only when a search runs into it.
class RecordFinder {
public:
  explicit RecordFinder(std::string_view bytes)
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
  void classify(std::size_t end);

  std::string_view m_bytes;
  std::size_t m_lineTwo; // where line 2 begins; kNone without a CR LF
  std::size_t m_total;   // blocks in the script
  std::size_t m_classified = 0;
  std::size_t m_opened = 0; // blocks whose opening quotes are worked out
  std::unique_ptr<Block[]> m_blocks;
  std::uint64_t m_insideCarry = 0;
  std::uint64_t m_quoteCarry = 0;
};

} // namespace reader_detail
