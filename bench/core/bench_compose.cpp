// Composing the largest briefing the format allows (255 notes and 255 tasks,
// a 2.2 MB script) against a memcpy of the script's bytes, in the code page
// and in UTF-8 with Russian texts.
#include "support/Bench.h"
#include "support/Texts.h"

#include "core/writer/BriefingScriptWriter.h"

#include <cstring>
#include <memory>
#include <utility>

namespace {

struct LargestBriefing {
  Briefing briefing;
  std::string script;
  std::string copy;

  LargestBriefing(std::size_t textSize, Encoding encoding) {
    briefing = {{SideBriefing{Side::Resistance, {}, {}, {}}}, encoding};
    SideBriefing& side = briefing.sides.front();
    for (int i = 0; i < 510; ++i) {
      std::u16string title = i < 255 ? u"Intelligence report " : u"Secure \"sector\" ";
      title.push_back(static_cast<char16_t>(u'A' + i % 26));
      (i < 255 ? side.notes : side.tasks)
          .push_back({std::move(title), encoding == Encoding::Utf8 ? bench::russianText(textSize, i)
                                                                    : bench::briefingText(textSize, i)});
    }
    side.currentTask = side.tasks[45].title;
    script = composeBriefingScript(briefing);
    copy.resize(script.size());
  }
};

bench::Samplers compose(Encoding encoding) {
  auto b = std::make_shared<LargestBriefing>(4096, encoding);
  return {[b] {
            return bench::timeNs([&] {
              std::memcpy(b->copy.data(), b->script.data(), b->script.size());
              bench::keep(b->copy);
            });
          },
          [b] {
            return bench::timeNs([&] {
              const std::string out = composeBriefingScript(b->briefing);
              bench::keep(out);
            });
          }};
}

} // namespace

BENCH_ROW("compose", "255 + 255 entries, 2.2 MB script, ANSI", "memcpy of the script", bench::ratioAtMost(4),
          [] { return compose(Encoding::Ansi); }, 31);
BENCH_ROW("compose", "255 + 255 entries, 3.5 MB script, UTF-8 Russian", "memcpy of the script",
          bench::ratioAtMost(8), [] { return compose(Encoding::Utf8); }, 31);
