#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Splitting an SQF script into tokens, the first step of importing a briefing
// written by hand. It works on the file's bytes: all of SQF's syntax is ASCII,
// and what a string holds is decoded later, once the file's encoding is known.
namespace Sqf {

enum class TokenKind : std::uint8_t {
  Identifier, // letters, digits and "_", not starting with a digit
  Number,     // 12, 1.5, 2e-3, .5, 0x1F, $1F
  String,     // "..." or '...', quotes included
  Symbol,     // an operator, a bracket, ";" or ","
  Directive,  // a preprocessor line, "\" continuations included
  Other,      // a byte SQF has no use for outside strings (a run of them for bytes from 0x80 up)
};

struct Token {
  TokenKind kind = TokenKind::Other;
  // The token as written; a preprocessor line without its line end.
  std::string_view text;
  int line = 1;   // 1-based; lines end at LF
  int column = 1; // 1-based, in bytes
};

// The tokens of a script; comments and blanks are skipped. Throws
// RuntimeError 5 for a string or a block comment that is never closed, giving
// the line and column where it opens. The tokens view the bytes.
std::vector<Token> tokenize(std::string_view bytes);

// What a string token holds: its quotes taken off and each doubled quote of
// its own kind made single. Still the file's bytes, not decoded.
std::string stringContents(const Token& token);

} // namespace Sqf
