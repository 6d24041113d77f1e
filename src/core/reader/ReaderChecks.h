#pragma once

#include "core/system/RuntimeError.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

// The reader's failures and the checks that raise them. Positions are 1-based
// byte positions held in 16-bit signed numbers: they are computed in int and
// checked, and a value past 32767 is an overflow (6), never a silent wrap.
namespace reader_detail {

constexpr int kLastPosition = 32767;

[[noreturn]] inline void invalidArgument(const std::string& why) {
  throw RuntimeError(ErrorNumber::InvalidArgument, "Invalid procedure call or argument: " + why);
}

// The failures, kept out of line so that the checks stay a compare each.
[[noreturn]] [[gnu::noinline]] [[gnu::cold]] inline void overflow(const char* kind) {
  throw RuntimeError(ErrorNumber::Overflow,
                     std::string("Overflow: a ") + kind + " record lies past byte 32767 of the script");
}
[[noreturn]] [[gnu::noinline]] [[gnu::cold]] inline void endsTooEarly(const char* kind) {
  invalidArgument(std::string("a ") + kind + " record ends before its closing quote or line end");
}
[[noreturn]] [[gnu::noinline]] [[gnu::cold]] inline void noLineEnd(const char* kind) {
  invalidArgument(std::string("a ") + kind + " record's line has no line end");
}
[[noreturn]] [[gnu::noinline]] [[gnu::cold]] inline void tooFewRecords(const char* kind, int count) {
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
inline int position(std::size_t index) {
  return static_cast<int>(std::min<std::size_t>(index + 1, kLastPosition + 1));
}

} // namespace reader_detail
