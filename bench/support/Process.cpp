#include "Process.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bench {

namespace {

std::vector<std::string> environmentWith(const std::vector<std::pair<std::string, std::string>>& env) {
  std::vector<std::string> out;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    bool replaced = false;
    for (const auto& [name, value] : env)
      replaced = replaced || entry.rfind(name + "=", 0) == 0;
    if (!replaced)
      out.push_back(entry);
  }
  for (const auto& [name, value] : env)
    out.push_back(name + "=" + value);
  return out;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
  std::vector<char*> p;
  for (auto& s : strings)
    p.push_back(s.data());
  p.push_back(nullptr);
  return p;
}

pid_t xvfbPid = 0;

void endXvfb() {
  if (xvfbPid > 0) {
    ::kill(xvfbPid, SIGTERM);
    ::waitpid(xvfbPid, nullptr, 0);
  }
}

} // namespace

FirstFrame startToFirstFrame(const std::string& program,
                             const std::vector<std::pair<std::string, std::string>>& env) {
  auto vars = env;
  vars.emplace_back("QUILLFORT_BENCH_FIRST_FRAME", "1");
  std::vector<std::string> envStrings = environmentWith(vars);
  std::vector<std::string> argStrings = {program};
  auto envp = pointers(envStrings);
  auto argv = pointers(argStrings);

  int out[2];
  if (::pipe(out) != 0)
    return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  // Qt's start-up notes (such as a missing XDG_RUNTIME_DIR) would print once
  // per sample over the table.
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const auto start = std::chrono::steady_clock::now().time_since_epoch();
  const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  std::string output;
  char buf[256];
  for (ssize_t n; spawned == 0 && (n = ::read(out[0], buf, sizeof buf)) > 0;)
    output.append(buf, static_cast<std::size_t>(n));
  ::close(out[0]);
  int status = 0;
  if (spawned == 0)
    ::waitpid(pid, &status, 0);

  FirstFrame result;
  long long frameNs = 0;
  long long peakKb = 0;
  const auto at = output.find("first-frame ");
  if (spawned == 0 && at != std::string::npos &&
      std::sscanf(output.c_str() + at, "first-frame %lld %lld", &frameNs, &peakKb) == 2) {
    result.ns =
        static_cast<double>(frameNs - std::chrono::duration_cast<std::chrono::nanoseconds>(start).count());
    result.peakBytes = static_cast<double>(peakKb) * 1024.0;
    result.ok = true;
  } else {
    std::fprintf(
        stderr,
        "%s reported no first frame (start it by hand with QUILLFORT_BENCH_FIRST_FRAME=1 to see why)\n",
        program.c_str());
  }
  return result;
}

std::string xvfbDisplay() {
  static std::string display = [] {
    const char* candidates[] = {"/usr/bin/Xvfb", "/usr/local/bin/Xvfb"};
    const char* xvfb = nullptr;
    for (const char* c : candidates)
      if (::access(c, X_OK) == 0)
        xvfb = c;
    if (!xvfb)
      return std::string();
    int fds[2];
    if (::pipe(fds) != 0)
      return std::string();
    // Xvfb writes the display number it took to -displayfd once it is ready.
    std::vector<std::string> args = {
        xvfb, "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"};
    auto argv = pointers(args);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", 0, 0);
    const int spawned = ::posix_spawn(&xvfbPid, xvfb, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    std::string number;
    char buf[32];
    for (ssize_t n;
         spawned == 0 && number.find('\n') == std::string::npos && (n = ::read(fds[0], buf, sizeof buf)) > 0;)
      number.append(buf, static_cast<std::size_t>(n));
    ::close(fds[0]);
    if (spawned != 0 || number.empty())
      return std::string();
    std::atexit(endXvfb);
    std::string name = ":";
    return name.append(number, 0, number.find('\n'));
  }();
  return display;
}

} // namespace bench
