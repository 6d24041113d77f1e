#include "FakeRegistry.h"
#include "core/system/SysInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using Events = std::vector<std::string>;
const std::string kUnavailable = "System Information Is Unavailable At This Time|0|Quillfort";

// StartSysInfo's system: only C:\Shared\MSINFO32.EXE exists, anything but what
// lies under C:\Gone starts, and events gets "start <path>" or "<prompt>|<style>|<title>".
SysInfoCalls fakeSystem(Events& events) {
  return {[](const std::string& path) { return path == "C:\\Shared\\MSINFO32.EXE"; },
          [&events](const std::string& path) {
            events.push_back("start " + path);
            return path.rfind("C:\\Gone\\", 0) != 0;
          },
          [&events](const std::string& prompt, int style, const std::string& title) {
            events.push_back(prompt + "|" + std::to_string(style) + "|" + title);
          }};
}

TEST(StartSysInfo, StartsTheRegisteredToolOrSaysItIsUnavailable) {
  // The first key holding the value `name` with this type and these bytes (no
  // name: no such key), the tool's folder under the second ("": no key): what
  // StartSysInfo did, and how many keys it opened, each with the access mask
  // 0x2003F and closed again.
  const auto run = [](const char* name, std::uint32_t type, const std::string& bytes,
                      const std::string& folder) {
    FakeRegistry registry;
    if (*name)
      registry.keys["SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"][name] = {type, bytes};
    if (!folder.empty())
      registry.keys["SOFTWARE\\Microsoft\\Shared Tools Location"]["MSINFO"] = {RegCode::RegSz, folder + '\0'};
    Events events;
    StartSysInfo(registry, fakeSystem(events));
    EXPECT_TRUE(registry.open.empty());
    EXPECT_EQ(registry.accessMasks, std::vector<std::uint32_t>(registry.accessMasks.size(), 0x2003F));
    events.push_back("opens " + std::to_string(registry.accessMasks.size()));
    return events;
  };
  const std::string tool("C:\\Tools\\msinfo.exe", 20); // with the string's terminator
  const Events started{"start C:\\Tools\\msinfo.exe", "opens 1"},
      inFolder{"start C:\\Shared\\MSINFO32.EXE", "opens 2"};
  EXPECT_EQ(run("PATH", RegCode::RegSz, tool, "C:\\Shared"), started);
  EXPECT_EQ(run("", 0, "", "C:\\Shared"), inFolder);
  EXPECT_EQ(run("OTHER", RegCode::RegSz, tool, "C:\\Shared"), inFolder);
  // The buffer holds 1024 bytes: a value of that size is read, a longer one not.
  EXPECT_EQ(run("PATH", RegCode::RegSz, std::string(1023, 'y') + '\0', ""),
            (Events{"start " + std::string(1023, 'y'), "opens 1"}));
  EXPECT_EQ(run("PATH", RegCode::RegSz, std::string(1024, 'y') + '\0', "C:\\Shared"), inFolder);
  EXPECT_EQ(run("", 0, "", "C:\\Empty"), (Events{kUnavailable, "opens 2"}));
  EXPECT_EQ(run("", 0, "", ""), (Events{kUnavailable, "opens 2"}));
  EXPECT_EQ(run("PATH", RegCode::RegSz, "C:\\Gone\\msinfo.exe", ""),
            (Events{"start C:\\Gone\\msinfo.exe", kUnavailable, "opens 1"}));
  // A number is started as its "&h" text; another type leaves the path empty.
  EXPECT_EQ(run("PATH", RegCode::RegDword, std::string("\x02\x01\0\0", 4), ""),
            (Events{"start &h102", "opens 1"}));
  EXPECT_EQ(run("PATH", RegCode::RegExpandSz, std::string("%Tmp%", 6), ""), (Events{"start ", "opens 1"}));
}

#ifdef _WIN32
// Against the real registry: ./test-windows sets up the keys of the case named in
// QUILLFORT_REGISTRY_CASE, with the tool's folder in QUILLFORT_SYSINFO_DIR.
TEST(RealRegistryTest, FindsTheToolAsRegistered) {
  const char* which = std::getenv("QUILLFORT_REGISTRY_CASE");
  const char* dir = std::getenv("QUILLFORT_SYSINFO_DIR");
  if (!which || !dir)
    GTEST_SKIP() << "no registry case set up";
  // A number where the path belongs is started as its text; a value too long for
  // the buffer is not read. An unknown case throws.
  const std::map<std::string, Events> expected{{"both", {"start C:\\Tools\\msinfo.exe"}},
                                               {"second", {"start " + std::string(dir) + "\\MSINFO32.EXE"}},
                                               {"second-without-tool", {kUnavailable}},
                                               {"neither", {kUnavailable}},
                                               {"dword", {"start &h102"}},
                                               {"long", {kUnavailable}}};
  Events events;
  SysInfoCalls calls = fakeSystem(events);
  calls.fileExists = [](const std::string& path) { return std::filesystem::exists(path); };
  StartSysInfo(Registry::system(), calls);
  EXPECT_EQ(events, expected.at(which));
}
#endif
