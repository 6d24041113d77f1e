// Decoding a field: a title or text as it stands between its quotes in the
// script, back into the text the user typed (doubled quotes undone, in a text
// "<br/>" turned back into CR LF, the code page's bytes into characters).
#include "core/reader/FieldDecoder.h"

#include "core/text/AnsiCodec.h"
#include "core/system/Sse2.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace reader_detail {

#ifdef _WIN32
// The system decodes: the bytes are unescaped first, then converted.
template <bool isText> char16_t* RecordPass::decodeField(std::string_view raw, std::size_t, char16_t* out) {
  std::string bytes;
  bytes.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '"' && i + 1 < raw.size() && raw[i + 1] == '"') {
      bytes += '"';
      ++i;
    } else if (isText && raw.compare(i, 5, "<br/>") == 0) {
      bytes += "\r\n";
      i += 4;
    } else {
      bytes += raw[i];
    }
  }
  const std::u16string text = AnsiCodec::decode(bytes);
  std::memcpy(out, text.data(), text.size() * sizeof(char16_t));
  return out + text.size();
}
#else
// Windows-1252: every byte is one character, the same value but for 0x80 to
// 0x9F, which the table maps.
namespace {

// One quote, "<br/>" or any other byte at i of a field of n bytes at p;
// returns the bytes taken and moves out past what it decoded.
template <bool isText>
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
  *out++ = AnsiCodec::detail::windows1252Char(static_cast<unsigned char>(p[i]));
  return 1;
}

#ifdef QUILLFORT_SSE2
// The bulk of a field: returns how many of its bytes it decoded, moving out
// past them.
template <bool isText>
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
    const auto c1 =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(
            _mm_subs_epu8(_mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>(0x80))), _mm_set1_epi8(0x1F)),
            zero))) &
        taken;
    const __m128i low = _mm_unpacklo_epi8(v, zero);
    const __m128i high = _mm_unpackhi_epi8(v, zero);
    if ((marks | c1) == 0) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), low);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), high);
      i += limit;
      out += limit;
      continue;
    }
    _mm_store_si128(reinterpret_cast<__m128i*>(widened), low);
    _mm_store_si128(reinterpret_cast<__m128i*>(widened + 8), high);
    _mm_store_si128(reinterpret_cast<__m128i*>(widened + 16), zero);
    _mm_store_si128(reinterpret_cast<__m128i*>(widened + 24), zero);
    for (unsigned rest = c1; rest != 0; rest &= rest - 1) {
      const int at = std::countr_zero(rest);
      widened[at] =
          AnsiCodec::detail::windows1252Char(static_cast<unsigned char>(p[i + static_cast<std::size_t>(at)]));
    }
    // Each piece is copied sixteen characters at a time; what lands past its
    // end is overwritten by what follows.
    std::size_t from = 0;
    for (unsigned rest = marks; rest != 0; rest &= rest - 1) {
      const auto at = static_cast<std::size_t>(std::countr_zero(rest));
      if (at < from)
        continue; // the second quote of a pair
      std::memcpy(out, widened + from, 16 * sizeof(char16_t));
      out += at - from;
      from = at + decodeSpecial<isText>(p, n, i + at, out);
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

template <bool isText>
char16_t* RecordPass::decodeField(std::string_view raw, [[maybe_unused]] std::size_t readable,
                                  char16_t* out) {
  const char* const p = raw.data();
  const std::size_t n = raw.size();
  std::size_t i = 0;
#ifdef QUILLFORT_SSE2
  i = decodeBlocks<isText>(p, n, readable, out);
#endif
  while (i < n) {
    if (p[i] == '"' || p[i] == '<' || static_cast<unsigned char>(p[i]) >= 0x80) {
      i += decodeSpecial<isText>(p, n, i, out);
    } else {
      *out++ = static_cast<char16_t>(p[i]);
      ++i;
    }
  }
  return out;
}
#endif

const std::vector<ScriptRecordView>& RecordPass::finish(std::string_view script) {
  // Sixteen characters of room past the last field: the decoder stores
  // whole blocks of sixteen and moves on by what it really decoded.
  m_text.reset(new char16_t[m_rawBytes + 32]);
  char16_t* out = m_text.get();
  records.reserve(m_count);
  for (std::size_t k = 0; k < m_count; ++k) {
    const Fields& f = m_fields[k];
    char16_t* const title = out;
    out = decodeField<false>(script.substr(f.titleStart, f.titleLength), script.size() - f.titleStart, out);
    char16_t* const text = out;
    out = decodeField<true>(script.substr(f.textStart, f.textLength), script.size() - f.textStart, out);
    records.push_back({{title, static_cast<std::size_t>(text - title)},
                       {text, static_cast<std::size_t>(out - text)},
                       f.titleStart,
                       f.textStart});
  }
  return records;
}

} // namespace reader_detail
