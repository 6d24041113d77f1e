// Decoding a field: a title or text as it stands between its quotes in the
// script, back into the text the user typed (doubled quotes undone, in a text
// "<br/>" turned back into CR LF, the bytes of the script's encoding into
// characters).
#include "core/reader/FieldDecoder.h"

#include "core/system/Sse2.h"
#include "core/text/AnsiCodec.h"
#include "core/text/Utf8.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace reader_detail {

namespace {

// A character of UTF-8 at p[i], n bytes in the field: returns the bytes it
// takes. A byte that starts no valid sequence (a script is UTF-8 only when
// all of it is valid, but a field may end inside a sequence) is U+FFFD.
[[gnu::always_inline]] inline std::size_t decodeUtf8(const char* p, std::size_t n, std::size_t i, char16_t*& out) {
  const int length = Utf8::sequenceLength({p + i, n - i}, 0);
  if (length == 0) {
    *out++ = u'\uFFFD';
    return 1;
  }
  const auto lead = static_cast<unsigned char>(p[i]);
  char32_t c = length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
  for (int k = 1; k < length; ++k)
    c = (c << 6) | (static_cast<unsigned char>(p[i + static_cast<std::size_t>(k)]) & 0x3F);
  if (c >= 0x10000) {
    *out++ = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
    *out++ = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
  } else {
    *out++ = static_cast<char16_t>(c);
  }
  return static_cast<std::size_t>(length);
}

// One quote, "<br/>" or any other byte at i of a field of n bytes at p;
// returns the bytes taken and moves out past what it decoded.
template <bool isText, bool utf8>
[[gnu::always_inline]] inline std::size_t decodeSpecial(const char* p, std::size_t n, std::size_t i,
                                                        char16_t*& out) {
  if (p[i] == '"') {
    *out++ = u'"';
    return i + 1 < n && p[i + 1] == '"' ? 2 : 1;
  }
  if (isText && p[i] == '<' && n - i >= 5 && std::memcmp(p + i, "<br/>", 5) == 0) {
    *out++ = u'\r';
    *out++ = u'\n';
    return 5;
  }
  const auto byte = static_cast<unsigned char>(p[i]);
  if (utf8 && byte >= 0x80)
    return decodeUtf8(p, n, i, out);
#ifndef _WIN32
  *out++ = AnsiCodec::detail::windows1252Char(byte);
#else
  *out++ = static_cast<char16_t>(byte); // ANSI on Windows is decoded by the system, after unescaping
#endif
  return 1;
}

#ifdef QUILLFORT_SSE2
// The bulk of a field: returns how many of its bytes it decoded, moving out
// past them.
template <bool isText, bool utf8>
[[gnu::always_inline]] inline std::size_t decodeBlocks(const char* p, std::size_t n, std::size_t readable,
                                                       char16_t*& out) {
  std::size_t i = 0;
  // Sixteen bytes at a time, widened and stored at once; the pieces between
  // quotes and "<br/>" are copied from the widened block. A field's last
  // bytes (or a short field) are loaded as a whole block too where the script
  // goes on past them, and only the field's bytes of it are taken.
  const __m128i zero = _mm_setzero_si128();
  alignas(16) char16_t widened[32]; // the upper half only ever lands past a piece's end
  while (i < n && readable - i >= 16) {
    const std::size_t limit = std::min<std::size_t>(n - i, 16);
    const unsigned taken = limit == 16 ? 0xFFFFu : (1u << limit) - 1;
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const auto marks =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
            _mm_cmpeq_epi8(v, _mm_set1_epi8('"')), isText ? _mm_cmpeq_epi8(v, _mm_set1_epi8('<')) : zero))) &
        taken;
    // UTF-8: every byte from 0x80 up; Windows-1252: 0x80 to 0x9F, the rest
    // of the high half being Latin-1's.
    const auto high =
        static_cast<unsigned>(_mm_movemask_epi8(
            utf8 ? v
                 : _mm_cmpeq_epi8(_mm_subs_epu8(_mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>(0x80))),
                                                _mm_set1_epi8(0x1F)),
                                  zero))) &
        taken;
    const __m128i low = _mm_unpacklo_epi8(v, zero);
    const __m128i upper = _mm_unpackhi_epi8(v, zero);
    if ((marks | high) == 0) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), low);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), upper);
      i += limit;
      out += limit;
      continue;
    }
    if (utf8 && high != 0) {
      // The ASCII before the first special byte at once, then one character
      // at a time to the block's end (a sequence across it taken whole).
      const auto plain = static_cast<std::size_t>(std::countr_zero(marks | high));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), low);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), upper);
      out += plain;
      const std::size_t blockEnd = i + limit;
      i += plain;
      while (i < blockEnd)
        if (static_cast<unsigned char>(p[i]) < 0x80 && p[i] != '"' && p[i] != '<')
          *out++ = static_cast<char16_t>(p[i++]);
        else
          i += decodeSpecial<isText, utf8>(p, n, i, out);
      continue;
    }
    _mm_store_si128(reinterpret_cast<__m128i*>(widened), low);
    _mm_store_si128(reinterpret_cast<__m128i*>(widened + 8), upper);
    _mm_store_si128(reinterpret_cast<__m128i*>(widened + 16), zero);
    _mm_store_si128(reinterpret_cast<__m128i*>(widened + 24), zero);
#ifndef _WIN32
    for (unsigned rest = high; rest != 0; rest &= rest - 1) {
      const int at = std::countr_zero(rest);
      widened[at] =
          AnsiCodec::detail::windows1252Char(static_cast<unsigned char>(p[i + static_cast<std::size_t>(at)]));
    }
#endif
    // Each piece is copied sixteen characters at a time; what lands past its
    // end is overwritten by what follows.
    std::size_t from = 0;
    for (unsigned rest = marks; rest != 0; rest &= rest - 1) {
      const auto at = static_cast<std::size_t>(std::countr_zero(rest));
      if (at < from)
        continue; // the second quote of a pair
      std::memcpy(out, widened + from, 16 * sizeof(char16_t));
      out += at - from;
      from = at + decodeSpecial<isText, utf8>(p, n, i + at, out);
    }
    if (from < limit) {
      std::memcpy(out, widened + from, 16 * sizeof(char16_t));
      out += limit - from;
      from = limit;
    }
    i += from;
  }
  return i;
}
#endif

} // namespace

template <bool isText, bool utf8>
char16_t* RecordPass::decodeField(std::string_view raw, [[maybe_unused]] std::size_t readable, char16_t* out) {
  const char* const p = raw.data();
  const std::size_t n = raw.size();
  std::size_t i = 0;
#ifdef _WIN32
  // The system decodes the code page: the bytes are unescaped first, then
  // converted, so that a character of two bytes stays whole.
  if constexpr (!utf8) {
    std::string bytes;
    bytes.reserve(n);
    for (; i < n; ++i) {
      if (p[i] == '"' && i + 1 < n && p[i + 1] == '"') {
        bytes += '"';
        ++i;
      } else if (isText && raw.compare(i, 5, "<br/>") == 0) {
        bytes += "\r\n";
        i += 4;
      } else {
        bytes += p[i];
      }
    }
    const std::u16string text = AnsiCodec::decode(bytes);
    std::memcpy(out, text.data(), text.size() * sizeof(char16_t));
    return out + text.size();
  }
#endif
#ifdef QUILLFORT_SSE2
  i = decodeBlocks<isText, utf8>(p, n, readable, out);
#endif
  while (i < n) {
    if (p[i] == '"' || p[i] == '<' || static_cast<unsigned char>(p[i]) >= 0x80) {
      i += decodeSpecial<isText, utf8>(p, n, i, out);
    } else {
      *out++ = static_cast<char16_t>(p[i]);
      ++i;
    }
  }
  return out;
}

template <bool utf8> void RecordPass::decodeAll(std::string_view script) {
  char16_t* out = m_text.get();
  for (std::size_t k = 0; k < m_count; ++k) {
    const Fields& f = m_fields[k];
    char16_t* const title = out;
    out = decodeField<false, utf8>(script.substr(f.titleStart, f.titleLength), script.size() - f.titleStart,
                                   out);
    char16_t* const text = out;
    out = decodeField<true, utf8>(script.substr(f.textStart, f.textLength), script.size() - f.textStart, out);
    records.push_back({{title, static_cast<std::size_t>(text - title)},
                       {text, static_cast<std::size_t>(out - text)},
                       f.titleStart,
                       f.textStart});
  }
}

const std::vector<ScriptRecordView>& RecordPass::finish(std::string_view script) {
  // Sixteen characters of room past the last field: the decoder stores
  // whole blocks of sixteen and moves on by what it really decoded.
  m_text.reset(new char16_t[m_rawBytes + 32]);
  records.reserve(m_count);
  if (m_encoding == Encoding::Utf8)
    decodeAll<true>(script);
  else
    decodeAll<false>(script);
  return records;
}

} // namespace reader_detail
