#include "core/check/StructuredText.h"

#include <array>
#include <utility>

namespace StructuredText {
namespace {

bool isLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isNameChar(char16_t c) { return isLetter(c) || isDigit(c) || c == u'_' || c == u'-'; }
bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
char16_t lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

bool equalsNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i]))
      return false;
  return true;
}

TagName tagNameOf(std::u16string_view name) {
  constexpr std::array<std::pair<std::u16string_view, TagName>, 5> known = {{{u"br", TagName::Br},
                                                                             {u"marker", TagName::Marker},
                                                                             {u"img", TagName::Img},
                                                                             {u"font", TagName::Font},
                                                                             {u"execute", TagName::Execute}}};
  for (const auto& [word, tag] : known)
    if (equalsNoCase(name, word))
      return tag;
  return TagName::Unknown;
}

// Reads a tag that starts at text[at] == '<'. Returns false when the
// characters there do not form one.
bool readTag(std::u16string_view text, std::size_t at, Token& token) {
  std::size_t i = at + 1;
  const std::size_t n = text.size();
  token = Token{};
  token.kind = TokenKind::Tag;
  token.begin = at;
  if (i < n && text[i] == u'/') {
    token.closing = true;
    ++i;
  }
  if (i >= n || !isLetter(text[i]))
    return false;
  const std::size_t nameStart = i;
  while (i < n && isNameChar(text[i]))
    ++i;
  token.name = text.substr(nameStart, i - nameStart);
  token.tag = tagNameOf(token.name);
  for (;;) {
    const std::size_t beforeBlanks = i;
    while (i < n && isBlank(text[i]))
      ++i;
    if (i >= n)
      return false;
    if (text[i] == u'>') {
      token.end = i + 1;
      return true;
    }
    if (text[i] == u'/') {
      if (i + 1 < n && text[i + 1] == u'>' && !token.closing) {
        token.selfClosing = true;
        token.end = i + 2;
        return true;
      }
      return false;
    }
    // An attribute needs a blank before it: name='value' or name="value".
    if (token.closing || i == beforeBlanks || !isLetter(text[i]))
      return false;
    const std::size_t attrStart = i;
    while (i < n && isNameChar(text[i]))
      ++i;
    Attribute attribute{text.substr(attrStart, i - attrStart), {}};
    while (i < n && isBlank(text[i]))
      ++i;
    if (i >= n || text[i] != u'=')
      return false;
    ++i;
    while (i < n && isBlank(text[i]))
      ++i;
    if (i >= n || (text[i] != u'\'' && text[i] != u'"'))
      return false;
    const char16_t quote = text[i++];
    const std::size_t close = text.find(quote, i);
    if (close == std::u16string_view::npos)
      return false;
    attribute.value = text.substr(i, close - i);
    token.attributes.push_back(attribute);
    i = close + 1;
  }
}

// Reads an entity that starts at text[at] == '&'; returns its length, or 0.
std::size_t readEntity(std::u16string_view text, std::size_t at, char32_t& character) {
  constexpr std::array<std::pair<std::u16string_view, char32_t>, 5> named = {
      {{u"&amp;", U'&'}, {u"&lt;", U'<'}, {u"&gt;", U'>'}, {u"&quot;", U'"'}, {u"&apos;", U'\''}}};
  const std::u16string_view rest = text.substr(at);
  for (const auto& [word, value] : named) {
    if (rest.substr(0, word.size()) == word) {
      character = value;
      return word.size();
    }
  }
  if (rest.size() < 4 || rest[1] != u'#')
    return 0;
  std::size_t i = 2;
  const bool hex = rest[i] == u'x' || rest[i] == u'X';
  if (hex)
    ++i;
  char32_t value = 0;
  const std::size_t digitsStart = i;
  for (; i < rest.size() && i < digitsStart + 7; ++i) {
    const char16_t c = rest[i];
    int digit = -1;
    if (isDigit(c))
      digit = c - u'0';
    else if (hex && lower(c) >= u'a' && lower(c) <= u'f')
      digit = lower(c) - u'a' + 10;
    if (digit < 0)
      break;
    value = value * (hex ? 16 : 10) + char32_t(digit);
  }
  if (i == digitsStart || i >= rest.size() || rest[i] != u';' || value > 0x10FFFF)
    return 0;
  character = value;
  return i + 1;
}

} // namespace

const std::u16string_view* Token::attribute(std::u16string_view wanted) const {
  for (const auto& a : attributes)
    if (equalsNoCase(a.name, wanted))
      return &a.value;
  return nullptr;
}

std::vector<Token> tokenize(std::u16string_view text) {
  std::vector<Token> tokens;
  std::size_t textStart = 0;
  auto flushText = [&](std::size_t upTo) {
    if (upTo > textStart) {
      Token t;
      t.begin = textStart;
      t.end = upTo;
      tokens.push_back(std::move(t));
    }
  };
  const std::size_t n = text.size();
  Token token;
  for (std::size_t i = 0; i < n;) {
    const char16_t c = text[i];
    if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') {
      flushText(i);
      Token t;
      t.kind = TokenKind::LineBreak;
      t.begin = i;
      t.end = i + 2;
      tokens.push_back(std::move(t));
      i += 2;
      textStart = i;
    } else if (c == u'<' && readTag(text, i, token)) {
      flushText(i);
      i = token.end;
      tokens.push_back(std::move(token));
      textStart = i;
    } else if (c == u'&') {
      char32_t character = 0;
      const std::size_t length = readEntity(text, i, character);
      if (length == 0) {
        ++i;
        continue;
      }
      flushText(i);
      Token t;
      t.kind = TokenKind::Entity;
      t.begin = i;
      t.end = i + length;
      t.character = character;
      tokens.push_back(std::move(t));
      i += length;
      textStart = i;
    } else {
      ++i;
    }
  }
  flushText(n);
  return tokens;
}

} // namespace StructuredText
