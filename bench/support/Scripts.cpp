#include "Scripts.h"

#include "core/writer/BriefingScriptWriter.h"

#include <vector>

namespace bench {

namespace {

constexpr std::size_t kLimit = 32767; // the reader's 16-bit positions

struct Entries {
  std::vector<std::u16string> noteTitles, noteTexts, taskTitles, taskTexts;

  // A fresh snapshot each time: the snapshot may hold views of these strings.
  std::string compose() const {
    BriefingSnapshot s;
    s.side = u"EAST";
    s.versionMajor = 1;
    for (std::size_t i = 0; i < noteTitles.size(); ++i)
      s.notes.push_back({noteTitles[i], noteTexts[i]});
    for (std::size_t i = 0; i < taskTitles.size(); ++i)
      s.tasks.push_back({taskTitles[i], taskTexts[i]});
    if (!taskTitles.empty())
      s.currentTask = taskTitles.front();
    return composeBriefingScript(s);
  }
};

std::u16string title(char16_t kind, int i) {
  const std::string digits = std::to_string(i);
  return kind + std::u16string(digits.begin(), digits.end());
}

} // namespace

std::string largestReadableScript() {
  Entries e;
  for (int i = 0; i < 255; ++i) {
    e.noteTitles.push_back(title(u'N', i));
    e.taskTitles.push_back(title(u'T', i));
  }
  e.noteTexts.resize(255);
  e.taskTexts.resize(255);
  while (e.compose().size() > kLimit) {
    e.taskTitles.pop_back();
    e.taskTexts.pop_back();
  }

  const std::u16string prose = u"Hold the \"old\" bridge until dawn.\r\nThen fall back to the ";
  const std::size_t entries = e.noteTexts.size() + e.taskTexts.size();
  std::size_t room = kLimit - e.compose().size();
  for (std::size_t i = 0; i < entries; ++i) {
    auto& text = i < e.noteTexts.size() ? e.noteTexts[i] : e.taskTexts[i - e.noteTexts.size()];
    // Each prose character takes a byte, a quote two, a CR LF five.
    std::size_t share = room / (entries - i);
    for (std::size_t j = 0; share > 5; ++j) {
      const char16_t c = prose[j % prose.size()];
      const std::size_t bytes = c == u'"' ? 2 : c == u'\r' ? 5 : c == u'\n' ? 0 : 1;
      text += c;
      share -= bytes;
      room -= bytes;
    }
  }
  std::string script = e.compose();
  while (script.size() > kLimit) { // the estimate overshot by a few bytes
    e.taskTexts.back().pop_back();
    script = e.compose();
  }
  return script;
}

} // namespace bench
