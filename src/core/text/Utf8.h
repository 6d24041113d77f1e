#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-8, the game's encoding of scripts and the encoding of every message,
// beside the UTF-16 the briefing's texts are held in.
namespace Utf8 {

// The code point whose UTF-16 units start at index i: a surrogate pair taken
// whole, a lone half of one as it is. count receives the units it takes.
char32_t codePointAt(std::u16string_view text, std::size_t i, std::size_t* count = nullptr);

bool isSurrogate(char32_t c);

// The text in UTF-8; a lone half of a surrogate pair, which UTF-8 cannot
// hold, comes out as U+FFFD.
std::string fromUtf16(std::u16string_view text);

// Valid UTF-8 in UTF-16.
std::u16string toUtf16(std::string_view bytes);

// The length of the valid UTF-8 sequence that starts at bytes[at] (1 to 4),
// or 0 when none starts there (a stray continuation byte, an overlong form, a
// surrogate, a code point past U+10FFFF or a sequence cut short).
int sequenceLength(std::string_view bytes, std::size_t at);

bool isValid(std::string_view bytes);

// The character at index i (a surrogate pair taken whole) named for a
// message: U+00E9 "é", or U+0009 alone for a control character or a lone
// half of a pair.
std::string describe(std::u16string_view text, std::size_t i);

} // namespace Utf8
