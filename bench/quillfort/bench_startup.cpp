// Start-up as a whole process, from exec to the first painted frame, against
// small programs built the same way; and the peak memory at that frame.
#include "support/Bench.h"
#include "support/Process.h"

#include <memory>

namespace {

using Env = std::vector<std::pair<std::string, std::string>>;

const Env kOffscreen = {{"QT_QPA_PLATFORM", "offscreen"}};

bench::Sampler firstFrame(const std::string& program, const Env& env) {
  return [=] { return bench::startToFirstFrame(program, env).ns; };
}

bench::Sampler peakMemory(const std::string& program, const Env& env) {
  return [=] { return bench::startToFirstFrame(program, env).peakBytes; };
}

bench::Samplers againstBareWidget() {
  return {firstFrame(QUILLFORT_BARE_WIDGET, kOffscreen), firstFrame(QUILLFORT_EDITOR, kOffscreen)};
}

bench::Samplers againstButtonWindow() {
  return {firstFrame(QUILLFORT_BUTTON_WINDOW, kOffscreen), firstFrame(QUILLFORT_EDITOR, kOffscreen)};
}

bench::Samplers underXvfb() {
  const std::string display = bench::xvfbDisplay();
  if (display.empty())
    return {{}, {}, "Xvfb is not installed"};
  const Env x11 = {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", display}};
  return {firstFrame(QUILLFORT_BARE_WIDGET, x11), firstFrame(QUILLFORT_EDITOR, x11)};
}

bench::Samplers memory() {
  return {peakMemory(QUILLFORT_BARE_WIDGET, kOffscreen), peakMemory(QUILLFORT_EDITOR, kOffscreen)};
}

// What text alone costs: the button window against the bare window, as a
// measure of how far below the goals the floors themselves lie.
bench::Samplers buttonAgainstBare() {
  return {firstFrame(QUILLFORT_BARE_WIDGET, kOffscreen), firstFrame(QUILLFORT_BUTTON_WINDOW, kOffscreen)};
}

bench::Samplers buttonMemory() {
  return {peakMemory(QUILLFORT_BARE_WIDGET, kOffscreen), peakMemory(QUILLFORT_BUTTON_WINDOW, kOffscreen)};
}

} // namespace

BENCH_ROW("start-up", "editor to first frame, offscreen", "bare QWidget 1101x621", bench::ratioAtMost(1.3),
          againstBareWidget, 21);
BENCH_ROW("start-up", "editor to first frame, offscreen", "window with one captioned button",
          bench::ratioAtMost(1.1), againstButtonWindow, 21);
BENCH_ROW("start-up", "editor to first frame, Xvfb", "bare QWidget 1101x621", bench::ratioAtMost(1.15),
          underXvfb, 21);
BENCH_ROW("memory", "editor peak memory (VmHWM) at first frame", "bare QWidget 1101x621",
          bench::ratioAtMost(1.2, bench::Unit::Bytes), memory, 15);
BENCH_ROW("start-up", "one-button window to first frame (a floor)", "bare QWidget 1101x621", bench::noGoal(),
          buttonAgainstBare, 21);
BENCH_ROW("memory", "one-button window peak memory (a floor)", "bare QWidget 1101x621",
          bench::noGoal(bench::Unit::Bytes), buttonMemory, 15);
