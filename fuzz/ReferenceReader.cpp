// The reader as it was written first, one byte at a time, kept for the
// fuzzer to compare the reader with: both must give the same records, the
// same offsets and the same errors for every input.
#include "ReferenceReader.h"

#include "core/system/RuntimeError.h"
#include "core/text/AnsiCodec.h"
#include "core/text/Utf8.h"

#include <algorithm>
#include <cstdint>

namespace reference {

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

namespace {

constexpr int kLastPosition = 32767;

[[noreturn]] void invalidArgument(const std::string& why) {
  throw RuntimeError(ErrorNumber::InvalidArgument, "Invalid procedure call or argument: " + why);
}

// The checks of one pass; kind names its records ("note" or "task") in the
// error's description.
struct Checks {
  const char* kind;

  // A position, start or end as the 16-bit number that holds it.
  int checked(int position) const {
    if (position > kLastPosition)
      throw RuntimeError(ErrorNumber::Overflow,
                         std::string("Overflow: a ") + kind + " record lies past byte 32767 of the script");
    return position;
  }

  // The length between a start and the end found for it; negative when the
  // end is missing (0) or lies before the start.
  int lengthBetween(int start, int end) const {
    const int length = end - start;
    if (length < 0)
      invalidArgument(std::string("a ") + kind + " record ends before its closing quote or line end");
    return length;
  }

  // Searches start at position 1 at the lowest; 0 is where the last record's
  // line had no line end.
  int searchStart(int position) const {
    if (position <= 0)
      invalidArgument(std::string("a ") + kind + " record's line has no line end");
    return position;
  }

  // A marker's position as the search gives it. A missing marker means the
  // first line counts more records than the script holds, which ends the read
  // rather than taking unrelated script text for an entry.
  int found(int position, int count) const {
    if (position == 0)
      invalidArgument("the script holds fewer " + std::string(kind) +
                      " records than its first line counts (" + std::to_string(count) + ")");
    return checked(position);
  }
};

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// A script's bytes with the SQF string state of each byte, worked out line by
// line from line 2 on. Line 1 is a comment holding raw count bytes (one of them
// may be a double quote), so it is never searched.
//
// Searches run to the end of the script: what they find past byte 32767 has a
// position the checks report as an overflow (6), while what is not there at
// all answers 0, in a long script as in a short one.
class ScriptText {
public:
  ScriptText(std::string_view bytes, Encoding encoding)
      : m_bytes(bytes), m_end(bytes.size()), m_state(bytes.size(), 0), m_encoding(encoding) {
    const std::size_t firstLineEnd = bytes.find("\r\n");
    if (firstLineEnd == std::string_view::npos)
      return;
    const std::size_t end = m_end;
    bool inString = false;
    std::size_t i = firstLineEnd + 2;
    while (i < end) {
      const char c = bytes[i];
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
        inString = false; // each line starts outside any string
        i += 2;
        continue;
      }
      if (!inString) {
        m_state[i] = kOutside;
        if (c == '"') {
          m_state[i] |= kOpensString;
          inString = true;
        }
      } else if (c == '"') {
        if (i + 1 < bytes.size() && bytes[i + 1] == '"') {
          i += 2; // a doubled quote: one quote of the text
          continue;
        }
        inString = false;
      }
      ++i;
    }
  }

  // The first note marker ("Diary", a double quote and ",[", any letter case)
  // at or after from whose "Diary" follows a quote that opens a string.
  int findNoteMarker(int from) const {
    static constexpr std::string_view marker = "diary\",[";
    for (std::size_t i = index(std::max(from, 2)); i < m_end; ++i)
      if ((m_state[i - 1] & kOpensString) && matches(i, marker))
        return position(i);
    return 0;
  }

  // The first occurrence of a code marker (lower case, matched in any letter
  // case) at or after from that stands outside every string.
  int findCodeMarker(std::string_view marker, int from) const {
    for (std::size_t i = index(from); i < m_end; ++i)
      if ((m_state[i] & kOutside) && matches(i, marker))
        return position(i);
    return 0;
  }

  // The double quote that ends a string whose text starts at from: the first
  // one not followed by another (two in a row are one quote of the text).
  int findStringEnd(int from) const {
    for (std::size_t i = index(from); i < m_end;) {
      if (m_bytes[i] != '"')
        ++i;
      else if (i + 1 < m_end && m_bytes[i + 1] == '"')
        i += 2;
      else
        return position(i);
    }
    return 0;
  }

  // The position of the CR of the first CR LF at or after from.
  int findCrLf(int from) const {
    for (std::size_t i = index(from); i < m_end; ++i)
      if (m_bytes[i] == '\r' && i + 1 < m_end && m_bytes[i + 1] == '\n')
        return position(i);
    return 0;
  }

  // The length bytes from position start, as the title or text they hold:
  // doubled quotes undone, "<br/>" (exact case) turned back into CR LF for a
  // text.
  std::u16string field(int start, int length, bool isText) const {
    const std::string_view raw =
        m_bytes.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(length));
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] == '"' && i + 1 < raw.size() && raw[i + 1] == '"') {
        out += '"';
        ++i;
      } else if (isText && raw.compare(i, 5, "<br/>") == 0) {
        out += "\r\n";
        i += 4;
      } else {
        out += raw[i];
      }
    }
    if (m_encoding == Encoding::Ansi)
      return AnsiCodec::decode(out);
    // UTF-8 a character at a time; a byte that starts no valid sequence
    // (a field may end inside one) is U+FFFD.
    std::u16string decoded;
    for (std::size_t i = 0; i < out.size();) {
      const int length = Utf8::sequenceLength(out, i);
      decoded += length == 0 ? std::u16string(1, u'\uFFFD') : Utf8::toUtf16(out.substr(i, std::size_t(length)));
      i += length == 0 ? 1 : std::size_t(length);
    }
    return decoded;
  }

private:
  // Positions are 1-based; every position past the last one a 16-bit number
  // holds is the same overflow to the checks.
  static std::size_t index(int position) { return static_cast<std::size_t>(position - 1); }
  static int position(std::size_t index) {
    return static_cast<int>(std::min<std::size_t>(index + 1, kLastPosition + 1));
  }

  static constexpr std::uint8_t kOutside = 1;     // the byte stands outside any string
  static constexpr std::uint8_t kOpensString = 2; // the byte is the quote that opens a string

  bool matches(std::size_t i, std::string_view lowerMarker) const {
    if (m_bytes.size() - i < lowerMarker.size())
      return false;
    for (std::size_t j = 0; j < lowerMarker.size(); ++j)
      if (asciiLower(m_bytes[i + j]) != lowerMarker[j])
        return false;
    return true;
  }

  std::string_view m_bytes;
  std::size_t m_end;
  std::vector<std::uint8_t> m_state;
  Encoding m_encoding;
};

} // namespace

// A note record's line: player createDiaryRecord ["Diary",["<title>","<text>"]];
// Records stand from the last note of the list to the first, so the first one
// found fills the highest index.
std::vector<ScriptRecord> scanNoteRecords(std::string_view script, Encoding encoding, int count) {
  std::vector<ScriptRecord> records(static_cast<std::size_t>(count > 0 ? count : 0));
  if (count <= 0)
    return records;
  const ScriptText text(script, encoding);
  const Checks c{"note"};
  int s = 1;
  for (int k = count - 1; k >= 0; --k) {
    const int m = c.found(text.findNoteMarker(c.searchStart(s)), count);
    const int t = c.checked(m + 9); // past the marker and the title's opening quote
    const int q = c.checked(text.findStringEnd(t));
    const int titleLength = c.lengthBetween(t, q);
    const int u = c.checked(q + 3); // past the title's closing quote, the comma and the text's opening quote
    const int r = c.checked(text.findCrLf(u));
    const int e = c.checked(r - 4); // the text's closing quote and "]];" stand before the CR LF
    const int textLength = c.lengthBetween(u, e);
    auto& record = records[static_cast<std::size_t>(k)];
    record.title = text.field(t, titleLength, false);
    record.text = text.field(u, textLength, true);
    record.titleStart = static_cast<std::size_t>(t - 1);
    record.textStart = static_cast<std::size_t>(u - 1);
    s = c.checked(e + 4);
  }
  return records;
}

// A task record's two lines:
//   tskObj<i>=player createSimpleTask ["<title>"];
//   tskObj<i> setSimpleTaskDescription ["<text>","<title>","<title>"];
// Like the notes, from the last task of the list to the first.
std::vector<ScriptRecord> scanTaskRecords(std::string_view script, Encoding encoding, int count) {
  std::vector<ScriptRecord> records(static_cast<std::size_t>(count > 0 ? count : 0));
  if (count <= 0)
    return records;
  static constexpr std::string_view taskMarker = "createsimpletask [\"";
  static constexpr std::string_view descriptionMarker = "setsimpletaskdescription [\"";
  const ScriptText text(script, encoding);
  const Checks c{"task"};
  int s = 1;
  for (int k = count - 1; k >= 0; --k) {
    const int m = c.found(text.findCodeMarker(taskMarker, c.searchStart(s)), count);
    const int t = c.checked(m + static_cast<int>(taskMarker.size()));
    const int q = c.checked(text.findStringEnd(t));
    const int titleLength = c.lengthBetween(t, q);
    const int m2 = c.found(text.findCodeMarker(descriptionMarker, c.searchStart(q)), count);
    const int u = c.checked(m2 + static_cast<int>(descriptionMarker.size()));
    const int q2 = c.checked(text.findStringEnd(u));
    const int textLength = c.lengthBetween(u, q2);
    auto& record = records[static_cast<std::size_t>(k)];
    record.title = text.field(t, titleLength, false);
    record.text = text.field(u, textLength, true);
    record.titleStart = static_cast<std::size_t>(t - 1);
    record.textStart = static_cast<std::size_t>(u - 1);
    // The end of the description's line; 0 when it has no CR LF, which the
    // next record's search refuses.
    s = c.checked(text.findCrLf(u));
  }
  return records;
}

} // namespace reference
