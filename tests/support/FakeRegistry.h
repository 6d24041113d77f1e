#pragma once

#include "platform/Registry.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

// HKEY_LOCAL_MACHINE in memory. Values are kept as the bytes Windows returns
// (a string with its terminator); every open and query is recorded.
class FakeRegistry final : public Registry {
public:
  struct Value {
    std::uint32_t type;
    std::string bytes;
  };
  std::map<std::string, std::map<std::string, Value>> keys;

  void setString(const std::string& key, const std::string& name, const std::string& text) {
    keys[key][name] = {RegCode::RegSz, text + '\0'};
  }

  std::vector<std::uint32_t> accessMasks; // of every open
  std::vector<std::string> queried;       // "key|value" of every query
  int keysOpen = 0;                       // opened and not yet closed

  std::int32_t RegOpenKeyExA(std::int32_t root, const std::string& subKey, std::uint32_t, std::uint32_t sam,
                             Handle& result) override {
    accessMasks.push_back(sam);
    result = 0;
    if (root != RegCode::HKeyLocalMachine || !keys.count(subKey))
      return RegCode::FileNotFound;
    result = m_next++;
    m_open[result] = subKey;
    ++keysOpen;
    return RegCode::Success;
  }

  std::int32_t RegQueryValueExA(Handle key, const std::string& name, std::uint32_t& type, unsigned char* data,
                                std::uint32_t& size) override {
    if (!m_open.count(key))
      return RegCode::InvalidHandle;
    queried.push_back(m_open[key] + "|" + name);
    const auto& values = keys[m_open[key]];
    const auto found = values.find(name);
    if (found == values.end())
      return RegCode::FileNotFound;
    type = found->second.type;
    const auto needed = static_cast<std::uint32_t>(found->second.bytes.size());
    const bool fits = needed <= size;
    if (fits)
      std::memcpy(data, found->second.bytes.data(), needed);
    size = needed;
    return fits ? RegCode::Success : RegCode::MoreData;
  }

  std::int32_t RegCloseKey(Handle key) override {
    if (!m_open.erase(key))
      return RegCode::InvalidHandle;
    --keysOpen;
    return RegCode::Success;
  }

private:
  std::map<Handle, std::string> m_open;
  Handle m_next = 0x100;
};
