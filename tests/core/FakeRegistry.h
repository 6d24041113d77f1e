#pragma once

#include "core/system/Registry.h"

#include <cstring>
#include <map>
#include <vector>

// HKEY_LOCAL_MACHINE in memory, each value as the type and bytes Windows returns
// (a string with its terminator). Records the access mask of every open.
struct FakeRegistry final : Registry {
  std::map<std::string, std::map<std::string, std::pair<std::uint32_t, std::string>>> keys;
  std::vector<std::uint32_t> accessMasks;
  std::map<Handle, std::string> open; // opened and not yet closed

  std::int32_t RegOpenKeyExA(std::int32_t root, const std::string& subKey, std::uint32_t, std::uint32_t sam,
                             Handle& result) override {
    accessMasks.push_back(sam);
    if (root != RegCode::HKeyLocalMachine || !keys.count(subKey))
      return RegCode::FileNotFound;
    open[result = 0x100 + accessMasks.size()] = subKey; // a new handle for every open
    return RegCode::Success;
  }

  std::int32_t RegQueryValueExA(Handle key, const std::string& name, std::uint32_t& type, unsigned char* data,
                                std::uint32_t& size) override {
    auto& values = keys[open.at(key)]; // a handle not open throws
    if (!values.count(name))
      return RegCode::FileNotFound;
    const auto& [valueType, bytes] = values[name];
    type = valueType;
    const bool fits = bytes.size() <= size;
    if (fits)
      std::memcpy(data, bytes.data(), bytes.size());
    size = static_cast<std::uint32_t>(bytes.size());
    return fits ? RegCode::Success : RegCode::MoreData;
  }

  std::int32_t RegCloseKey(Handle key) override {
    return open.erase(key) ? RegCode::Success : RegCode::InvalidHandle;
  }
};
