// The briefing check on the briefing of the largest readable script, against
// composing that script: the check must stay well under a millisecond.
#include "support/Bench.h"
#include "support/Scripts.h"

#include "core/check/BriefingCheck.h"
#include "core/reader/BriefingScriptReader.h"
#include "core/writer/BriefingScriptWriter.h"

#include <memory>

namespace {

bench::Samplers check() {
  auto briefing = std::make_shared<const Briefing>(
      readBriefingScript(bench::largestReadableScript(), Side::West).briefing);
  return {[briefing] { return bench::timeNs([&] { bench::keep(composeBriefingScript(*briefing)); }); },
          [briefing] { return bench::timeNs([&] { bench::keep(checkBriefing(*briefing)); }); }};
}

} // namespace

BENCH_ROW("check", "briefing check, largest readable script", "composing the same script", bench::msAtMost(1),
          check, 31);
