#pragma once

#include "core/format/Briefing.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The reader as it was written first, one byte at a time: a pass's records
// with where their fields start, or RuntimeError 5 or 6.
struct ScriptRecord {
  std::u16string title;
  std::u16string text;
  std::size_t titleStart = 0;
  std::size_t textStart = 0;
};

namespace reference {
std::vector<ScriptRecord> scanNoteRecords(std::string_view script, Encoding encoding, int count);
std::vector<ScriptRecord> scanTaskRecords(std::string_view script, Encoding encoding, int count);
} // namespace reference
