#pragma once
// Texts that look like briefings: lines of prose with CR LF line breaks, a
// marker link, a quote now and then, accented letters the code page holds.
#include <cstddef>
#include <string>
#include <string_view>

namespace bench {

// A text of `size` UTF-16 units: `line` again and again, each time with the
// seed's digit and a line break, never cut inside a line break.
inline std::u16string repeatedText(std::u16string_view line, std::size_t size, int seed) {
  std::u16string text;
  text.reserve(size + line.size() + 16);
  while (text.size() < size) {
    text += line;
    text += static_cast<char16_t>(u'0' + seed % 10);
    text += u"\r\n";
  }
  text.resize(size);
  if (!text.empty() && text.back() == u'\r')
    text.back() = u'.';
  return text;
}

inline std::u16string briefingText(std::size_t size, int seed) {
  return repeatedText(u"Advance along the ridge to the <marker name='obj'>village</marker> at "
                      u"dawn; the \"old\" caf\u00e9 is the rally point (\u20ac50 per head).",
                      size, seed);
}

// The same in Russian, as a UTF-8 script carries it.
inline std::u16string russianText(std::size_t size, int seed) {
  return repeatedText(u"\u041f\u0440\u043e\u0434\u0432\u0438\u0433\u0430\u0439\u0442\u0435\u0441\u044c "
                      u"\u043a <marker name='obj'>\u0434\u0435\u0440\u0435\u0432\u043d\u0435</marker> "
                      u"\u043d\u0430 \u0440\u0430\u0441\u0441\u0432\u0435\u0442\u0435; \"\u0441\u0442"
                      u"\u0430\u0440\u043e\u0435\" \u043a\u0430\u0444\u0435 \u2014 \u0441\u0431\u043e"
                      u"\u0440 (50 \u20bd).",
                      size, seed);
}

constexpr std::size_t KB = 1024;
constexpr std::size_t MB = 1024 * 1024;

} // namespace bench
