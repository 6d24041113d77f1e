// Windows-1252 as a table of our own, for systems without the Windows calls.
#include "core/text/AnsiCodec.h"

#include <algorithm>

namespace {

// Bytes 0x80 to 0x9F. The five bytes Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the control characters of the same number, as
// Windows itself decodes them, so that every byte survives a round trip.
constexpr char16_t kHighControls[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int byteFor(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
    return c;
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] == c)
      return 0x80 + i;
  return -1;
}

} // namespace

namespace AnsiCodec::detail {

bool encodeInto(std::u16string_view text, std::string& out, std::size_t& badIndex) {
  const std::size_t start = out.size();
  out.resize(start + text.size());
  char* dst = out.data() + start;
  const char16_t* src = text.data();
  const std::size_t n = text.size();
  constexpr std::size_t kBlock = 16;
  for (std::size_t i = 0; i < n;) {
    const std::size_t end = std::min(i + kBlock, n);
    // Most text is ASCII: a block of it narrows in one simple loop, which the
    // compiler turns into vector instructions.
    char16_t any = 0;
    for (std::size_t k = i; k < end; ++k)
      any |= src[k];
    if (any < 0x80) {
      for (std::size_t k = i; k < end; ++k)
        dst[k] = static_cast<char>(src[k]);
      i = end;
      continue;
    }
    for (; i < end; ++i) {
      const char16_t c = src[i];
      if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) { // Latin-1 outside the C1 range: the same byte
        dst[i] = static_cast<char>(c);
        continue;
      }
      const int b = byteFor(c);
      if (b < 0) {
        out.resize(start + i);
        badIndex = i;
        return false;
      }
      dst[i] = static_cast<char>(b);
    }
  }
  return true;
}

std::u16string decodeBytes(std::string_view bytes) {
  std::u16string out;
  out.resize(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    out[i] = (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : char16_t(b);
  }
  return out;
}

std::string platformCodePageName() { return "Windows-1252"; }

int windows1252Byte(char16_t c) { return byteFor(c); }

char16_t windows1252Char(unsigned char byte) {
  return (byte >= 0x80 && byte < 0xA0) ? kHighControls[byte - 0x80] : char16_t(byte);
}

} // namespace AnsiCodec::detail
