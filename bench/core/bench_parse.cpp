// Reading the largest script the reader accepts against a memcpy of its
// bytes, in the code page and in UTF-8.
#include "support/Bench.h"
#include "support/Scripts.h"

#include "core/reader/BriefingScriptReader.h"

#include <cstring>
#include <memory>

namespace {

constexpr int kBatch = 20; // each sample is the mean of this many runs: one run is a few microseconds

bench::Samplers parse(Encoding encoding) {
  auto script = std::make_shared<const std::string>(bench::largestReadableScript(encoding));
  auto copy = std::make_shared<std::string>(script->size(), '\0');
  return {[=] {
            return bench::timeNs([&] {
                     for (int i = 0; i < kBatch; ++i) {
                       std::memcpy(copy->data(), script->data(), script->size());
                       bench::keep(*copy);
                     }
                   }) /
                   kBatch;
          },
          [=] {
            return bench::timeNs([&] {
                     for (int i = 0; i < kBatch; ++i)
                       bench::keep(readBriefingScript(*script, Side::West).briefing.sides);
                   }) /
                   kBatch;
          }};
}

} // namespace

BENCH_ROW("parse", "largest readable script (32 KB), ANSI", "memcpy of the script", bench::ratioAtMost(20),
          [] { return parse(Encoding::Ansi); }, 31);
BENCH_ROW("parse", "largest readable script (32 KB), UTF-8 Russian", "memcpy of the script",
          bench::ratioAtMost(30), [] { return parse(Encoding::Utf8); }, 31);
