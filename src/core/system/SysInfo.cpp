#include "core/system/SysInfo.h"

#include <optional>
#include <string_view>
#include <vector>

namespace {

// Hexadecimal digits of a number, without leading zeros, as "&h" literals
// write them ("&h102").
std::string hexText(std::uint32_t value) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string text;
  do {
    text.insert(text.begin(), digits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  return text;
}

} // namespace

bool GetKeyValue(Registry& registry, std::int32_t KeyRoot, const std::string& KeyName,
                 const std::string& SubKeyRef, std::string& KeyVal) {
  Registry::Handle hKey = 0;
  const auto GetKeyError = [&] {
    KeyVal.clear();
    registry.RegCloseKey(hKey);
    return false;
  };

  if (registry.RegOpenKeyExA(KeyRoot, KeyName, 0, kSysInfoKeyAccess, hKey) != RegCode::Success)
    return GetKeyError();

  std::vector<unsigned char> tmpVal(kKeyValueBufferSize, 0);
  std::uint32_t KeyValType = 0;
  std::uint32_t KeyValSize = kKeyValueBufferSize;
  if (registry.RegQueryValueExA(hKey, SubKeyRef, KeyValType, tmpVal.data(), KeyValSize) != RegCode::Success ||
      KeyValSize > kKeyValueBufferSize)
    return GetKeyError();

  // The counted bytes, less the string terminator when the last one is it.
  std::string_view bytes(reinterpret_cast<const char*>(tmpVal.data()), KeyValSize);
  if (!bytes.empty() && bytes.back() == '\0')
    bytes.remove_suffix(1);

  switch (KeyValType) {
  case RegCode::RegSz:
    KeyVal.assign(bytes);
    break;
  case RegCode::RegDword: {
    // Little-endian; a high zero byte may have gone with the terminator cut.
    std::uint32_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;)
      value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    KeyVal = "&h" + hexText(value);
    break;
  }
  default:
    break;
  }

  registry.RegCloseKey(hKey);
  return true;
}

bool GetKeyValue(std::int32_t KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                 std::string& KeyVal) {
  return GetKeyValue(Registry::instance(), KeyRoot, KeyName, SubKeyRef, KeyVal);
}

namespace {

// The tool's path: the one registered for it, or MSINFO32.EXE in its
// registered folder when that file exists. The registered path is taken as it
// stands, without looking for the file.
std::optional<std::string> FindSysInfoPath(Registry& registry, const SysInfoCalls& calls) {
  std::string SysInfoPath;
  if (GetKeyValue(registry, RegCode::HKeyLocalMachine, gREGKEYSYSINFO, gREGVALSYSINFO, SysInfoPath))
    return SysInfoPath;
  if (!GetKeyValue(registry, RegCode::HKeyLocalMachine, gREGKEYSYSINFOLOC, gREGVALSYSINFOLOC, SysInfoPath))
    return std::nullopt;
  SysInfoPath += "\\MSINFO32.EXE";
  if (!calls.fileExists(SysInfoPath))
    return std::nullopt;
  return SysInfoPath;
}

} // namespace

void StartSysInfo(Registry& registry, const SysInfoCalls& calls) {
  // Whatever goes wrong, the lookup or the start, ends in the one message.
  try {
    const std::optional<std::string> SysInfoPath = FindSysInfoPath(registry, calls);
    if (SysInfoPath && calls.startProgram(*SysInfoPath))
      return;
  } catch (...) {
  }
  calls.messageBox(kSysInfoUnavailable, 0, "Quillfort");
}
