#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// The game's structured text, as a briefing text carries it: plain text, CR LF
// line breaks (the script writes them as "<br/>"), tags such as
// "<marker name='m'>here</marker>" and entities such as "&amp;". The preview
// renders from these tokens and the briefing check inspects them, so both
// read a text the same way.
namespace StructuredText {

enum class TokenKind {
  Text,      // characters shown as they are; a bare "&" stays in here
  LineBreak, // CR LF
  Tag,       // <name attr='value'>, </name> or <name/>
  Entity,    // &amp; &lt; &gt; &quot; &apos; &#NN; &#xNN;
};

enum class TagName { Br, Marker, Img, Font, Execute, Unknown };

struct Attribute {
  std::u16string_view name;
  std::u16string_view value;
};

struct Token {
  TokenKind kind = TokenKind::Text;
  std::size_t begin = 0; // offsets into the text, in UTF-16 units
  std::size_t end = 0;
  // Tags only:
  TagName tag = TagName::Unknown;
  std::u16string_view name; // as written
  bool closing = false;     // </name>
  bool selfClosing = false; // <name/>
  std::vector<Attribute> attributes;
  // Entities only: the character it stands for.
  char32_t character = 0;

  // The value of an attribute (names compare without regard to case), or
  // nullptr when the tag has no such attribute.
  const std::u16string_view* attribute(std::u16string_view wanted) const;
};

// Splits a text into tokens, in order, covering every character. A "<" that
// does not start a well-formed tag is text, and so is an "&" that does not
// start an entity.
std::vector<Token> tokenize(std::u16string_view text);

} // namespace StructuredText
