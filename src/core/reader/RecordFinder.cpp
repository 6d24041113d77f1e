#include "core/reader/RecordFinder.h"

#include "core/system/Sse2.h"

namespace reader_detail {

void RecordFinder::classify(std::size_t end) {
  const std::size_t size = m_bytes.size();
  alignas(16) char tail[80];
  for (std::size_t k = m_classified; k < end; ++k) {
    const std::size_t base = k * 64;
    const char* p = m_bytes.data() + base;
    if (size - base <=
        64) { // the last block (and the byte after it), padded with bytes that are none of these
      std::memset(tail, 0, sizeof tail);
      std::memcpy(tail, p, size - base);
      p = tail;
    }
    // Each CR LF is found by its CR and the byte after it, one load apart.
    std::uint64_t quotes = 0;
    std::uint64_t lineEnds = 0;
#ifdef QUILLFORT_SSE2
    for (int j = 0; j < 4; ++j) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * j));
      const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * j + 1));
      const auto bits = [](__m128i m) {
        return std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(m))};
      };
      quotes |= bits(_mm_cmpeq_epi8(v, _mm_set1_epi8('"'))) << (16 * j);
      lineEnds |= bits(_mm_and_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r')),
                                     _mm_cmpeq_epi8(after, _mm_set1_epi8('\n'))))
                  << (16 * j);
    }
#else
    for (int j = 0; j < 64; ++j) {
      quotes |= std::uint64_t{p[j] == '"'} << j;
      lineEnds |= std::uint64_t{p[j] == '\r' && p[j + 1] == '\n'} << j;
    }
#endif
    m_blocks[k] = {quotes, lineEnds, 0};
  }
  m_classified = std::max(m_classified, end);
}

} // namespace reader_detail
