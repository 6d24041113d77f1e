#pragma once

#include <cstddef>
#include <string_view>

// A place in a script as text editors and compilers show it: 1-based line and
// column, a line ending at each LF (a CR LF counts once), the column counted in
// bytes (a character outside ASCII takes two or more in UTF-8).
struct ScriptLocation {
  int line = 1;
  int column = 1;
};

// The line and column of the byte at offset (0-based) of the script.
ScriptLocation locationOf(std::string_view script, std::size_t offset);

// The byte offset in the script of the character at index (0-based, in UTF-16
// units) of a title or text that the reader took from fieldStart: a doubled
// quote in the script is one character of the field, and in a text "<br/>" is
// the two characters CR LF. An index past the field's end gives the offset
// just after it.
std::size_t offsetInField(std::string_view script, std::size_t fieldStart, std::size_t index, bool isText);
