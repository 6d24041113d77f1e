#pragma once
// Texts that look like briefings: lines of prose with CR LF line breaks, a
// marker link, a quote now and then, accented letters the code page holds.
#include <cstddef>
#include <string>

namespace bench {

inline std::u16string briefingText(std::size_t size, int seed) {
  const std::u16string line = u"Advance along the ridge to the <marker name='obj'>village</marker> at "
                              u"dawn; the \"old\" caf\u00e9 is the rally point (\u20ac50 per head).";
  std::u16string text;
  text.reserve(size + line.size() + 16);
  while (text.size() < size) {
    text += line;
    text += static_cast<char16_t>(u'0' + seed % 10);
    text += u"\r\n";
  }
  text.resize(size);
  if (!text.empty() && text.back() == u'\r')
    text.back() = u'.'; // never cut a line break in half
  return text;
}

constexpr std::size_t KB = 1024;
constexpr std::size_t MB = 1024 * 1024;

} // namespace bench
