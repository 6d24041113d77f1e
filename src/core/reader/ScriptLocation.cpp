#include "core/reader/ScriptLocation.h"

#include <algorithm>

ScriptLocation locationOf(std::string_view script, std::size_t offset) {
  offset = std::min(offset, script.size());
  ScriptLocation place;
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < offset; ++i) {
    if (script[i] == '\n') {
      ++place.line;
      lineStart = i + 1;
    }
  }
  place.column = static_cast<int>(offset - lineStart) + 1;
  return place;
}

std::size_t offsetInField(std::string_view script, std::size_t fieldStart, std::size_t index, bool isText) {
  std::size_t at = std::min(fieldStart, script.size());
  // Walks the field's bytes as the reader decodes them, one character (or the
  // CR LF pair of a "<br/>") at a time, until index characters lie behind.
  for (std::size_t seen = 0; seen < index && at < script.size();) {
    if (script[at] == '"' && at + 1 < script.size() && script[at + 1] == '"') {
      at += 2;
      seen += 1;
    } else if (isText && script.compare(at, 5, "<br/>") == 0) {
      if (index - seen == 1)
        break; // the index is the LF of the pair: the place is the tag itself
      at += 5;
      seen += 2;
    } else {
      at += 1;
      seen += 1;
    }
  }
  return at;
}
