#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The script file's code page: Windows-1252 off Windows, the system's ANSI code
// page on Windows. One character is one byte in Windows-1252, so positions in a
// script are byte positions.
namespace AnsiCodec {

// Encodes text into the code page. A character the code page cannot hold
// throws RuntimeError 5 whose description names the character and `where`, the
// entry it stands in ("the title of task 3").
std::string encode(std::u16string_view text, std::string_view where);

// Decodes bytes of the code page. In Windows-1252 every byte decodes to one
// character that encodes back to the same byte.
std::u16string decode(std::string_view bytes);

// The name of the code page in use, for messages ("Windows-1252").
std::string codePageName();

namespace detail {
// The platform's half, one implementation per system: a table of our own off
// Windows, the system's conversion calls on Windows. encodeInto appends the
// encoding of text to out; on a character the code page cannot hold it returns
// false with badIndex at that character's first UTF-16 unit.
bool encodeInto(std::u16string_view text, std::string& out, std::size_t& badIndex);
std::u16string decodeBytes(std::string_view bytes);
std::string platformCodePageName();
#ifndef _WIN32
// Off Windows the code page is Windows-1252 by our own table: the byte for
// one character, -1 when it has none. Bulk encoders (the script writer) use
// it for the characters outside ASCII.
int windows1252Byte(char16_t c);
// The character of one byte, for bulk decoders (the script reader).
char16_t windows1252Char(unsigned char byte);
#endif
} // namespace detail

} // namespace AnsiCodec
