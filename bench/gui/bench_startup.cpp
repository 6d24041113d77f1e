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

bench::Samplers underXvfb(const char* floor, const char* subject) {
  const std::string display = bench::xvfbDisplay();
  if (display.empty())
    return {{}, {}, "Xvfb is not installed"};
  const Env x11 = {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", display}};
  return {firstFrame(floor, x11), firstFrame(subject, x11)};
}

bench::Samplers memory(const char* floor, const char* subject) {
  return {peakMemory(floor, kOffscreen), peakMemory(subject, kOffscreen)};
}

bench::Samplers offscreen(const char* floor, const char* subject) {
  return {firstFrame(floor, kOffscreen), firstFrame(subject, kOffscreen)};
}

} // namespace

constexpr const char* kBare = "bare QWidget 1101x621";
constexpr const char* kControls = "the window's controls alone";

// The goals set for the editor against the plain windows.
BENCH_ROW(
    "start-up", "editor to first frame, offscreen", kBare, bench::ratioAtMost(1.3),
    [] { return offscreen(QUILLFORT_BARE_WIDGET, QUILLFORT_EDITOR); }, 21);
BENCH_ROW(
    "start-up", "editor to first frame, offscreen", "window with one captioned button",
    bench::ratioAtMost(1.1), [] { return offscreen(QUILLFORT_BUTTON_WINDOW, QUILLFORT_EDITOR); }, 21);
BENCH_ROW(
    "start-up", "editor to first frame, Xvfb", kBare, bench::ratioAtMost(1.15),
    [] { return underXvfb(QUILLFORT_BARE_WIDGET, QUILLFORT_EDITOR); }, 21);
BENCH_ROW(
    "memory", "editor peak memory (VmHWM) at first frame", kBare, bench::ratioAtMost(1.2, bench::Unit::Bytes),
    [] { return memory(QUILLFORT_BARE_WIDGET, QUILLFORT_EDITOR); }, 15);

// What the editor's own code costs: the editor against its controls alone
// (the same Qt widgets, captions, fonts and places, nothing else).
BENCH_ROW(
    "start-up", "editor to first frame, offscreen", kControls, bench::ratioAtMost(1.1),
    [] { return offscreen(QUILLFORT_CONTROLS_WINDOW, QUILLFORT_EDITOR); }, 21);
BENCH_ROW(
    "start-up", "editor to first frame, Xvfb", kControls, bench::ratioAtMost(1.1),
    [] { return underXvfb(QUILLFORT_CONTROLS_WINDOW, QUILLFORT_EDITOR); }, 21);
BENCH_ROW(
    "memory", "editor peak memory (VmHWM) at first frame", kControls,
    bench::ratioAtMost(1.05, bench::Unit::Bytes),
    [] { return memory(QUILLFORT_CONTROLS_WINDOW, QUILLFORT_EDITOR); }, 15);

// The floors against each other: how far the goals above lie below what Qt
// itself takes for text (one button) and for the window's controls.
BENCH_ROW(
    "start-up", "one-button window to first frame (a floor)", kBare, bench::noGoal(),
    [] { return offscreen(QUILLFORT_BARE_WIDGET, QUILLFORT_BUTTON_WINDOW); }, 21);
BENCH_ROW(
    "start-up", "controls alone to first frame (a floor)", kBare, bench::noGoal(),
    [] { return offscreen(QUILLFORT_BARE_WIDGET, QUILLFORT_CONTROLS_WINDOW); }, 21);
BENCH_ROW(
    "start-up", "controls alone to first frame (a floor)", "window with one captioned button",
    bench::noGoal(), [] { return offscreen(QUILLFORT_BUTTON_WINDOW, QUILLFORT_CONTROLS_WINDOW); }, 21);
BENCH_ROW(
    "start-up", "controls alone to first frame, Xvfb (a floor)", kBare, bench::noGoal(),
    [] { return underXvfb(QUILLFORT_BARE_WIDGET, QUILLFORT_CONTROLS_WINDOW); }, 21);
BENCH_ROW(
    "memory", "one-button window peak memory (a floor)", kBare, bench::noGoal(bench::Unit::Bytes),
    [] { return memory(QUILLFORT_BARE_WIDGET, QUILLFORT_BUTTON_WINDOW); }, 15);
BENCH_ROW(
    "memory", "controls alone peak memory (a floor)", kBare, bench::noGoal(bench::Unit::Bytes),
    [] { return memory(QUILLFORT_BARE_WIDGET, QUILLFORT_CONTROLS_WINDOW); }, 15);
