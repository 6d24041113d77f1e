// The registry on Windows: advapi32's own calls.
#include "core/system/Registry.h"

#include <windows.h>

namespace {

HKEY toHkey(Registry::Handle handle) { return reinterpret_cast<HKEY>(handle); }

// The root keys arrive as their 32-bit numbers; HKEY_LOCAL_MACHINE and its
// kin are those numbers sign-extended to a pointer.
HKEY rootKey(std::int32_t root) { return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(root)); }

class WindowsRegistry final : public Registry {
public:
  std::int32_t RegOpenKeyExA(std::int32_t root, const std::string& subKey, std::uint32_t options,
                             std::uint32_t samDesired, Handle& result) override {
    HKEY key = nullptr;
    const LONG rc = ::RegOpenKeyExA(rootKey(root), subKey.c_str(), options, samDesired, &key);
    result = rc == ERROR_SUCCESS ? reinterpret_cast<Handle>(key) : 0;
    return rc;
  }

  std::int32_t RegQueryValueExA(Handle key, const std::string& valueName, std::uint32_t& type,
                                unsigned char* data, std::uint32_t& size) override {
    DWORD valueType = 0;
    DWORD valueSize = size;
    const LONG rc = ::RegQueryValueExA(toHkey(key), valueName.c_str(), nullptr, &valueType, data, &valueSize);
    type = valueType;
    size = valueSize;
    return rc;
  }

  std::int32_t RegCloseKey(Handle key) override { return ::RegCloseKey(toHkey(key)); }
};

} // namespace

Registry& Registry::system() {
  static WindowsRegistry registry;
  return registry;
}
