#include "core/text/Utf8.h"

#include <cstdio>

namespace Utf8 {

bool isSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

char32_t codePointAt(std::u16string_view text, std::size_t i, std::size_t* count) {
  const char32_t high = text[i];
  if (high >= 0xD800 && high <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
    if (count)
      *count = 2;
    return 0x10000 + ((high - 0xD800) << 10) + (text[i + 1] - 0xDC00);
  }
  if (count)
    *count = 1;
  return high;
}

std::string fromUtf16(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::size_t units = 1;
    char32_t c = codePointAt(text, i, &units);
    i += units;
    if (isSurrogate(c))
      c = 0xFFFD;
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
  }
  return out;
}

std::u16string toUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    for (int k = 1; k < length && i + static_cast<std::size_t>(k) < bytes.size(); ++k)
      c = (c << 6) | (static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]) & 0x3F);
    i += static_cast<std::size_t>(length);
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

int sequenceLength(std::string_view bytes, std::size_t at) {
  if (at >= bytes.size())
    return 0;
  const auto lead = static_cast<unsigned char>(bytes[at]);
  if (lead < 0x80)
    return 1;
  // The sequence's length and the range its second byte must lie in, which
  // rules out overlong forms, surrogates and code points past U+10FFFF.
  int length = 4;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    low = lead == 0xE0 ? 0xA0 : 0x80;
    high = lead == 0xED ? 0x9F : 0xBF;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    low = lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xF4 ? 0x8F : 0xBF;
  } else {
    return 0;
  }
  if (bytes.size() - at < static_cast<std::size_t>(length))
    return 0;
  for (int k = 1; k < length; ++k) {
    const auto b = static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(k)]);
    if (b < (k == 1 ? low : 0x80) || b > (k == 1 ? high : 0xBF))
      return 0;
  }
  return length;
}

bool isValid(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    const int length = sequenceLength(bytes, i);
    if (length == 0)
      return false;
    i += static_cast<std::size_t>(length);
  }
  return true;
}

std::string describe(std::u16string_view text, std::size_t i) {
  std::size_t units = 1;
  const char32_t c = codePointAt(text, i, &units);
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
  std::string out = code;
  if (c >= 0x20 && !(c >= 0x7F && c < 0xA0) && !isSurrogate(c))
    out += " \"" + fromUtf16(text.substr(i, units)) + '"';
  return out;
}

} // namespace Utf8
