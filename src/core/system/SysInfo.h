#pragma once

#include "core/system/Registry.h"

#include <cstdint>
#include <functional>
#include <string>

// Where Windows keeps the location of its system information tool.
inline constexpr char gREGKEYSYSINFOLOC[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr char gREGVALSYSINFOLOC[] = "MSINFO";
inline constexpr char gREGKEYSYSINFO[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr char gREGVALSYSINFO[] = "PATH";

// Read control plus the six key rights: query, set, create sub-key,
// enumerate, notify and create link.
inline constexpr std::uint32_t kSysInfoKeyAccess = 0x2003F;
// The bytes a value may take, its terminator included.
inline constexpr std::uint32_t kKeyValueBufferSize = 1024;

// Reads the value SubKeyRef of the key KeyName under KeyRoot into KeyVal: a
// string value as its text, a 32-bit number as "&h" and its hexadecimal digits;
// a value of any other type leaves KeyVal as it was. Returns false, with KeyVal
// emptied, when the key or the value cannot be read (a value that does not fit
// the buffer included).
bool GetKeyValue(Registry& registry, std::int32_t KeyRoot, const std::string& KeyName,
                 const std::string& SubKeyRef, std::string& KeyVal);
// The same on the program's registry.
bool GetKeyValue(std::int32_t KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                 std::string& KeyVal);

// What StartSysInfo needs from the system besides the registry. Paths are the
// registry's ANSI bytes.
struct SysInfoCalls {
  std::function<bool(const std::string& path)> fileExists;
  // Starts the program in a normal window without waiting; false when it cannot.
  std::function<bool(const std::string& path)> startProgram;
  std::function<void(const std::string& prompt, int style, const std::string& title)> messageBox;
};

inline constexpr char kSysInfoUnavailable[] = "System Information Is Unavailable At This Time";

// Finds the system information tool through the registry and starts it, or
// tells the user that it is unavailable.
void StartSysInfo(Registry& registry, const SysInfoCalls& calls);
