#include "Scripts.h"

#include "core/writer/BriefingScriptWriter.h"

namespace bench {

namespace {

constexpr std::size_t kLimit = 32767; // the reader's 16-bit positions

std::u16string title(char16_t kind, int i) {
  const std::string digits = std::to_string(i);
  return kind + std::u16string(digits.begin(), digits.end());
}

} // namespace

std::string largestReadableScript(Encoding encoding) {
  Briefing b{{SideBriefing{Side::East, {}, {}, {}}}, encoding};
  SideBriefing& side = b.sides.front();
  for (int i = 0; i < 255; ++i) {
    side.notes.push_back({title(u'N', i), {}});
    side.tasks.push_back({title(u'T', i), {}});
  }
  side.currentTask = side.tasks.front().title;
  while (composeBriefingScript(b).size() > kLimit)
    side.tasks.pop_back();

  const std::u16string prose = encoding == Encoding::Utf8
                                   ? u"\u0423\u0434\u0435\u0440\u0436\u0438\u0442\u0435 \"\u0441\u0442\u0430\u0440"
                                     u"\u044b\u0439\" \u043c\u043e\u0441\u0442.\r\n\u0417\u0430\u0442\u0435\u043c "
                                   : u"Hold the \"old\" caf\u00e9 bridge until dawn.\r\nThen fall back to the ";
  const std::size_t entries = side.notes.size() + side.tasks.size();
  std::size_t room = kLimit - composeBriefingScript(b).size();
  for (std::size_t i = 0; i < entries; ++i) {
    auto& text = i < side.notes.size() ? side.notes[i].text : side.tasks[i - side.notes.size()].text;
    // Each character takes its bytes in the encoding, a quote two, a CR LF five.
    std::size_t share = room / (entries - i);
    for (std::size_t j = 0; share > 5; ++j) {
      const char16_t c = prose[j % prose.size()];
      const std::size_t bytes = c == u'"' ? 2
                                : c == u'\r' ? 5
                                : c == u'\n' ? 0
                                : c < 0x80 || encoding == Encoding::Ansi ? 1
                                                                         : 2;
      text += c;
      share -= bytes;
      room -= bytes;
    }
  }
  std::string script = composeBriefingScript(b);
  while (script.size() > kLimit) { // the estimate overshot by a few bytes
    side.tasks.back().text.pop_back();
    script = composeBriefingScript(b);
  }
  return script;
}

} // namespace bench
