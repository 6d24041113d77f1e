#pragma once

#include <stdexcept>
#include <string>
#include <utility>

// A failure with the runtime's classic number (5 invalid argument, 6 overflow,
// 53 file not found, 57 device I/O error, 61 disk full, 70 permission denied,
// 75 path/file access error, 76 path not found). Routines without error
// handling of their own throw it; the save and open commands catch it and show
// the "Open Error" box. The description is UTF-8.
class RuntimeError : public std::runtime_error {
public:
  RuntimeError(int number, std::string description)
      : std::runtime_error(description), number(number), description(std::move(description)) {}

  int number;
  std::string description;
};

namespace ErrorNumber {
inline constexpr int InvalidArgument = 5;
inline constexpr int Overflow = 6;
inline constexpr int FileNotFound = 53;
inline constexpr int DeviceIO = 57;
inline constexpr int DiskFull = 61;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
} // namespace ErrorNumber
