#pragma once
// Whole-process start-up measurements: a program run from exec to its first
// painted frame (it reports that moment itself, see app/FirstFrameReport.h).
#include <string>
#include <utility>
#include <vector>

namespace bench {

struct FirstFrame {
  double ns = 0;        // from just before the spawn to the first painted frame
  double peakBytes = 0; // the program's VmHWM at that moment
  bool ok = false;
};

// Runs `program` with QUILLFORT_BENCH_FIRST_FRAME=1 and the given variables
// added to the environment, and waits for it to end.
FirstFrame startToFirstFrame(const std::string& program,
                             const std::vector<std::pair<std::string, std::string>>& env);

// The display of an Xvfb server started on first use (and ended at exit),
// or an empty string when Xvfb is not installed.
std::string xvfbDisplay();

} // namespace bench
