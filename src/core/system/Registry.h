#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Read access to the Windows registry, in the shape of advapi32's three calls.
// On Windows they go straight to advapi32; elsewhere a stand-in answers the one
// lookup the About dialog makes; the tests put a fake in its place.
//
// The names of the constants differ from the Windows headers' on purpose:
// those are macros there.
namespace RegCode {
// The predefined root keys, as the 32-bit numbers the Windows headers give them.
inline constexpr std::int32_t HKeyClassesRoot = static_cast<std::int32_t>(0x80000000u);
inline constexpr std::int32_t HKeyCurrentUser = static_cast<std::int32_t>(0x80000001u);
inline constexpr std::int32_t HKeyLocalMachine = static_cast<std::int32_t>(0x80000002u);
inline constexpr std::int32_t HKeyUsers = static_cast<std::int32_t>(0x80000003u);

// Value types.
inline constexpr std::uint32_t RegNone = 0;
inline constexpr std::uint32_t RegSz = 1;
inline constexpr std::uint32_t RegExpandSz = 2;
inline constexpr std::uint32_t RegBinary = 3;
inline constexpr std::uint32_t RegDword = 4;

// Results.
inline constexpr std::int32_t Success = 0;
inline constexpr std::int32_t FileNotFound = 2;
inline constexpr std::int32_t AccessDenied = 5;
inline constexpr std::int32_t InvalidHandle = 6;
inline constexpr std::int32_t MoreData = 234;
} // namespace RegCode

class Registry {
public:
  // An open key: HKEY on Windows, a number of the stand-in's elsewhere. 0 is no key.
  using Handle = std::uintptr_t;

  virtual ~Registry() = default;

  // RegOpenKeyExA: opens subKey under the root key with the access mask
  // samDesired and puts its handle into result. Returns 0 or a Windows error code.
  virtual std::int32_t RegOpenKeyExA(std::int32_t root, const std::string& subKey, std::uint32_t options,
                                     std::uint32_t samDesired, Handle& result) = 0;

  // RegQueryValueExA: reads the value valueName of an open key into data, which
  // holds size bytes. On return type is the value's type and size the number of
  // bytes written (or needed, with RegCode::MoreData when data was too small).
  virtual std::int32_t RegQueryValueExA(Handle key, const std::string& valueName, std::uint32_t& type,
                                        unsigned char* data, std::uint32_t& size) = 0;

  // RegCloseKey.
  virtual std::int32_t RegCloseKey(Handle key) = 0;

  // The registry the program reads: a test's stand-in while one is set,
  // otherwise the system's.
  static Registry& instance() { return s_instance ? *s_instance : system(); }
  // Puts a stand-in in place; nullptr goes back to the system's.
  static void setInstance(Registry* registry) { s_instance = registry; }

  // The system's registry: advapi32 on Windows, DesktopRegistry elsewhere.
  static Registry& system();

private:
  static inline Registry* s_instance = nullptr;
};

#ifndef _WIN32
// Other systems have no registry, but most desktops have a system information
// tool of their own. This stand-in answers the About dialog's first lookup, the
// value "PATH" of "SOFTWARE\Microsoft\Shared Tools\MSINFO" under
// HKEY_LOCAL_MACHINE, with the path of that tool when one is installed, so the
// System Info button starts it; every other key, and that one when no tool is
// installed, is missing.
class DesktopRegistry final : public Registry {
public:
  // searchPath gives the folders to look in, in PATH's form ("/usr/bin:/bin"),
  // asked afresh at each lookup.
  explicit DesktopRegistry(std::function<std::string()> searchPath);

  std::int32_t RegOpenKeyExA(std::int32_t root, const std::string& subKey, std::uint32_t options,
                             std::uint32_t samDesired, Handle& result) override;
  std::int32_t RegQueryValueExA(Handle key, const std::string& valueName, std::uint32_t& type,
                                unsigned char* data, std::uint32_t& size) override;
  std::int32_t RegCloseKey(Handle key) override;

  // The first system information tool found: KDE's info center, then the
  // hardware information tools, each the first executable file of that name in
  // the folders of searchPath; on macOS the system's own System Information.
  // Empty when there is none.
  static std::string findSystemInfoTool(const std::string& searchPath);

private:
  std::function<std::string()> m_searchPath;
  std::string m_toolPath; // the tool found when the key was opened
  bool m_open = false;
};
#endif
