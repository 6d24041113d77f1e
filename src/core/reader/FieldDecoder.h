#pragma once

#include "core/reader/BriefingScriptReader.h"

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace reader_detail {

// One pass's records. The pass first finds every field (where it starts in
// the script and how many bytes it has), then decodes them all into one
// buffer of the size they need (a field never grows when decoded), so that a
// pass makes two allocations whatever its records hold, and the records view
// the buffer.
class RecordPass {
public:
  explicit RecordPass(Encoding encoding) : m_encoding(encoding) {}

  std::vector<ScriptRecordView> records;

  void begin(int count) {
    const auto n = static_cast<std::size_t>(std::max(count, 0));
    m_fields.reset(n == 0 ? nullptr : new Fields[n]);
    m_count = n;
    m_rawBytes = 0;
    records.clear();
  }

  // The raw fields of record k: 1-based start positions and byte lengths.
  void found(std::size_t k, int titleStart, int titleLength, int textStart, int textLength) {
    m_fields[k] = {static_cast<std::size_t>(titleStart - 1), static_cast<std::size_t>(titleLength),
                   static_cast<std::size_t>(textStart - 1), static_cast<std::size_t>(textLength)};
    m_rawBytes += static_cast<std::size_t>(titleLength) + static_cast<std::size_t>(textLength);
  }

  // Decodes the fields found into the records, in list order.
  const std::vector<ScriptRecordView>& finish(std::string_view script);

private:
  struct Fields {
    std::size_t titleStart; // 0-based
    std::size_t titleLength;
    std::size_t textStart;
    std::size_t textLength;
  };

  // readable: how many bytes of the script lie from the field's start on
  // (the field and what follows it), which the decoder may load but ignores.
  // isText: a text, in which "<br/>" is a line break (a title has none);
  // utf8: the script's encoding is UTF-8 (the code page's otherwise).
  // Inlined: most fields are a few bytes, and a call costs as much as their
  // decoding.
  template <bool isText, bool utf8>
  [[gnu::always_inline]] static inline char16_t* decodeField(std::string_view raw, std::size_t readable,
                                                             char16_t* out);
  template <bool utf8> void decodeAll(std::string_view script);

  std::unique_ptr<Fields[]> m_fields;
  std::size_t m_count = 0;
  std::size_t m_rawBytes = 0;
  std::unique_ptr<char16_t[]> m_text;
  Encoding m_encoding;
};

} // namespace reader_detail
