// Composing the largest briefing the format allows (255 notes and 255 tasks,
// a 2.2 MB script) against a memcpy of the script's bytes.
#include "support/Bench.h"
#include "support/Texts.h"

#include "core/writer/BriefingScriptWriter.h"

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace {

struct LargestBriefing {
  std::vector<std::u16string> titles; // the snapshot's entries refer to these
  std::vector<std::u16string> texts;
  std::u16string side = u"RESISTANCE";
  BriefingSnapshot snapshot;
  std::string script;
  std::string copy;

  explicit LargestBriefing(std::size_t textSize) {
    for (int i = 0; i < 510; ++i) {
      std::u16string title = i < 255 ? u"Intelligence report " : u"Secure \"sector\" ";
      title.push_back(static_cast<char16_t>(u'A' + i % 26));
      titles.push_back(std::move(title));
      texts.push_back(bench::briefingText(textSize, i));
    }
    snapshot.side = side;
    for (int i = 0; i < 510; ++i)
      (i < 255 ? snapshot.notes : snapshot.tasks).push_back({});
    for (int i = 0; i < 255; ++i) {
      snapshot.notes[i].title = titles[i];
      snapshot.notes[i].text = texts[i];
      snapshot.tasks[i].title = titles[255 + i];
      snapshot.tasks[i].text = texts[255 + i];
    }
    snapshot.currentTask = titles[300];
    snapshot.versionMajor = 1;
    script = composeBriefingScript(snapshot);
    copy.resize(script.size());
  }
};

bench::Samplers compose() {
  auto b = std::make_shared<LargestBriefing>(4096);
  return {[b] {
            return bench::timeNs([&] {
              std::memcpy(b->copy.data(), b->script.data(), b->script.size());
              bench::keep(b->copy);
            });
          },
          [b] {
            return bench::timeNs([&] {
              const std::string out = composeBriefingScript(b->snapshot);
              bench::keep(out);
            });
          }};
}

} // namespace

BENCH_ROW("compose", "255 + 255 entries, 2.2 MB script", "memcpy of the script", bench::ratioAtMost(4),
          compose, 31);
