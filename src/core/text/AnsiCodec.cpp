#include "core/text/AnsiCodec.h"

#include "core/system/RuntimeError.h"

#include <cstdio>

namespace {

// The code point starting at index i, joining a surrogate pair.
char32_t codePointAt(std::u16string_view text, std::size_t i) {
  const char32_t high = text[i];
  if (high >= 0xD800 && high <= 0xDBFF && i + 1 < text.size()) {
    const char32_t low = text[i + 1];
    if (low >= 0xDC00 && low <= 0xDFFF)
      return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
  }
  return high;
}

std::string toUtf8(char32_t c) {
  std::string out;
  if (c >= 0xD800 && c <= 0xDFFF)
    return out; // a lone surrogate has no UTF-8 form
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

} // namespace

namespace AnsiCodec {

std::string encode(std::u16string_view text, std::string_view where) {
  std::string out;
  out.reserve(text.size());
  std::size_t bad = 0;
  if (detail::encodeInto(text, out, bad))
    return out;

  const char32_t c = codePointAt(text, bad);
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
  std::string description = "The character ";
  description += code;
  const std::string shown = c >= 0x20 ? toUtf8(c) : std::string();
  if (!shown.empty())
    description += " \"" + shown + "\"";
  description += " in ";
  description += where;
  description += " cannot be written in the code page " + codePageName();
  throw RuntimeError(ErrorNumber::InvalidArgument, description);
}

std::u16string decode(std::string_view bytes) { return detail::decodeBytes(bytes); }

std::string codePageName() { return detail::platformCodePageName(); }

} // namespace AnsiCodec
