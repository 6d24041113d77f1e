// The registry off Windows: a stand-in that knows one value, the path of the
// desktop's system information tool.
#include "core/system/Registry.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

namespace {

constexpr Registry::Handle kToolKey = 1;

// Key and value names compare as Windows compares them: without regard to case.
bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool isExecutableFile(const std::filesystem::path& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec || !fs::is_regular_file(status))
    return false;
  const fs::perms exec = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
  return (status.permissions() & exec) != fs::perms::none;
}

// KDE's own tool first, then the desktop-neutral hardware information tools.
constexpr const char* kTools[] = {"kinfocenter", "hardinfo2", "hardinfo", "lshw-gtk"};

} // namespace

DesktopRegistry::DesktopRegistry(std::function<std::string()> searchPath)
    : m_searchPath(std::move(searchPath)) {}

std::string DesktopRegistry::findSystemInfoTool(const std::string& searchPath) {
  for (const char* tool : kTools) {
    std::string_view rest = searchPath;
    while (true) {
      const std::size_t colon = rest.find(':');
      const std::string_view folder = rest.substr(0, colon);
      // An empty entry is the working folder, which is no place to find a tool.
      if (!folder.empty()) {
        const std::filesystem::path candidate = std::filesystem::path(folder) / tool;
        if (isExecutableFile(candidate))
          return candidate.string();
      }
      if (colon == std::string_view::npos)
        break;
      rest.remove_prefix(colon + 1);
    }
  }
#ifdef __APPLE__
  const char* macTool =
      "/System/Applications/Utilities/System Information.app/Contents/MacOS/System Information";
  if (isExecutableFile(macTool))
    return macTool;
#endif
  return {};
}

std::int32_t DesktopRegistry::RegOpenKeyExA(std::int32_t root, const std::string& subKey,
                                            std::uint32_t /*options*/, std::uint32_t /*samDesired*/,
                                            Handle& result) {
  result = 0;
  if (root != RegCode::HKeyLocalMachine || !sameName(subKey, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"))
    return RegCode::FileNotFound;
  std::string tool = findSystemInfoTool(m_searchPath ? m_searchPath() : std::string());
  if (tool.empty())
    return RegCode::FileNotFound;
  m_toolPath = std::move(tool);
  m_open = true;
  result = kToolKey;
  return RegCode::Success;
}

std::int32_t DesktopRegistry::RegQueryValueExA(Handle key, const std::string& valueName, std::uint32_t& type,
                                               unsigned char* data, std::uint32_t& size) {
  if (key != kToolKey || !m_open)
    return RegCode::InvalidHandle;
  if (!sameName(valueName, "PATH"))
    return RegCode::FileNotFound;
  // A string value carries its terminator, as Windows stores it.
  const std::size_t needed = m_toolPath.size() + 1;
  type = RegCode::RegSz;
  if (needed > size) {
    size = static_cast<std::uint32_t>(needed);
    return RegCode::MoreData;
  }
  std::memcpy(data, m_toolPath.c_str(), needed);
  size = static_cast<std::uint32_t>(needed);
  return RegCode::Success;
}

std::int32_t DesktopRegistry::RegCloseKey(Handle key) {
  if (key != kToolKey || !m_open)
    return RegCode::InvalidHandle;
  m_open = false;
  return RegCode::Success;
}

Registry& Registry::system() {
  static DesktopRegistry registry([] {
    const char* path = std::getenv("PATH");
    return std::string(path ? path : "");
  });
  return registry;
}
