// Reading the largest script the reader accepts against a memcpy of its bytes.
#include "support/Bench.h"
#include "support/Scripts.h"

#include "core/reader/BriefingScriptReader.h"

#include <cstring>
#include <memory>

namespace {

constexpr int kBatch = 20; // each sample is the mean of this many runs: one run is a few microseconds

bench::Samplers parse() {
  auto script = std::make_shared<const std::string>(bench::largestReadableScript());
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
                     for (int i = 0; i < kBatch; ++i) {
                       // As the open command reads: one reader, both passes.
                       BriefingScriptReader reader(*script);
                       const ScriptHeader header = reader.header();
                       bench::keep(reader.notes(header.noteCount));
                       bench::keep(reader.tasks(header.taskCount));
                     }
                   }) /
                   kBatch;
          }};
}

} // namespace

BENCH_ROW("parse", "largest readable script (32 KB)", "memcpy of the script", bench::ratioAtMost(20), parse,
          31);
