#pragma once

#include <QString>

// Starts programs for the program: detached, in a normal window, without
// waiting for them. The tests put a fake in place that records the path.
class ProcessLauncher {
public:
  virtual ~ProcessLauncher() = default;

  // Starts the program at path with no arguments. False when it cannot be started.
  virtual bool start(const QString& path) = 0;

  // The launcher in use: a test's while one is set, otherwise the system's.
  static ProcessLauncher& instance();
  // Puts a launcher in place; nullptr goes back to the system's.
  static void setInstance(ProcessLauncher* launcher);
};

// The system's launcher, through QProcess.
class SystemProcessLauncher final : public ProcessLauncher {
public:
  bool start(const QString& path) override;
};
