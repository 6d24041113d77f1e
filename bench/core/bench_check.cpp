// The briefing check on the briefing of the largest readable script, against
// composing that script: the check must stay well under a millisecond.
#include "support/Bench.h"
#include "support/Scripts.h"

#include "core/check/BriefingCheck.h"
#include "core/reader/BriefingScriptReader.h"

#include <memory>

namespace {

struct CheckFixture {
  std::vector<ScriptRecord> notes, tasks; // the snapshot's entries refer to these
  BriefingSnapshot snapshot;

  CheckFixture() {
    const std::string script = bench::largestReadableScript();
    const ScriptHeader header = readScriptHeader(script);
    notes = scanNoteRecords(script, header.noteCount);
    tasks = scanTaskRecords(script, header.taskCount);
    snapshot.side = u"EAST";
    for (const auto& r : notes)
      snapshot.notes.push_back({r.title, r.text});
    for (const auto& r : tasks)
      snapshot.tasks.push_back({r.title, r.text});
    snapshot.currentTask = tasks.front().title;
    snapshot.versionMajor = 1;
  }
};

bench::Samplers check() {
  auto f = std::make_shared<CheckFixture>();
  return {[f] { return bench::timeNs([&] { bench::keep(composeBriefingScript(f->snapshot)); }); },
          [f] { return bench::timeNs([&] { bench::keep(checkBriefing(f->snapshot)); }); }};
}

} // namespace

BENCH_ROW("check", "briefing check, largest readable script", "composing the same script", bench::msAtMost(1),
          check, 31);
