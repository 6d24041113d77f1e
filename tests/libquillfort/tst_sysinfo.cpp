#include "about/SysInfo.h"
#include "FakeRegistry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

using Events = std::vector<std::string>;
const std::string kUnavailable = "System Information Is Unavailable At This Time|0|Quillfort";

// StartSysInfo's system: only C:\Shared\MSINFO32.EXE exists, anything but what
// lies under C:\Gone starts, and events gets "start <path>" or "<prompt>|<style>|<title>".
struct FakeSystem {
  Events events;

  SysInfoCalls calls() {
    return {[](const std::string& path) { return path == "C:\\Shared\\MSINFO32.EXE"; },
            [this](const std::string& path) {
              events.push_back("start " + path);
              return path.rfind("C:\\Gone\\", 0) != 0;
            },
            [this](const std::string& prompt, int style, const std::string& title) {
              events.push_back(prompt + "|" + std::to_string(style) + "|" + title);
            }};
  }
};

TEST(StartSysInfo, StartsTheRegisteredToolOrSaysItIsUnavailable) {
  // The tool's path under the first key and its folder under the second ("" for
  // no key): what StartSysInfo did, and how many keys it tried to open.
  const auto run = [](const std::string& path, const std::string& folder) {
    FakeRegistry registry;
    if (!path.empty())
      registry.keys["SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"]["PATH"] = {RegCode::RegSz, path + '\0'};
    if (!folder.empty())
      registry.keys["SOFTWARE\\Microsoft\\Shared Tools Location"]["MSINFO"] = {RegCode::RegSz, folder + '\0'};
    FakeSystem system;
    StartSysInfo(registry, system.calls());
    system.events.push_back("opens " + std::to_string(registry.accessMasks.size()));
    return system.events;
  };
  EXPECT_EQ(run("C:\\Tools\\msinfo.exe", "C:\\Shared"), (Events{"start C:\\Tools\\msinfo.exe", "opens 1"}));
  EXPECT_EQ(run("", "C:\\Shared"), (Events{"start C:\\Shared\\MSINFO32.EXE", "opens 2"}));
  EXPECT_EQ(run("", "C:\\Empty"), (Events{kUnavailable, "opens 2"}));
  EXPECT_EQ(run("", ""), (Events{kUnavailable, "opens 2"}));
  EXPECT_EQ(run("C:\\Gone\\msinfo.exe", ""), (Events{"start C:\\Gone\\msinfo.exe", kUnavailable, "opens 1"}));
}

TEST(GetKeyValue, ReadsTheValueAsTextOrFails) {
  // GetKeyValue on the value V of the key K, stored with this type and these
  // bytes: "ok " or "failed ", then KeyVal ("before" on entry).
  const auto read = [](std::uint32_t type, std::string bytes, const char* key = "K", const char* name = "V") {
    FakeRegistry registry;
    registry.keys["K"]["V"] = {type, bytes};
    std::string KeyVal = "before";
    const bool ok = GetKeyValue(registry, RegCode::HKeyLocalMachine, key, name, KeyVal);
    EXPECT_TRUE(registry.open.empty());
    EXPECT_EQ(registry.accessMasks, std::vector<std::uint32_t>{0x2003F});
    return (ok ? "ok " : "failed ") + KeyVal;
  };
  EXPECT_EQ(read(RegCode::RegSz, std::string("C:\\x", 5)), "ok C:\\x");
  EXPECT_EQ(read(RegCode::RegDword, std::string("\x02\x01\0\0", 4)), "ok &h102");
  EXPECT_EQ(read(RegCode::RegExpandSz, std::string("%Tmp%", 6)), "ok before");
  EXPECT_EQ(read(RegCode::RegSz, std::string(1024, 'y') + '\0'), "failed "); // longer than the buffer
  EXPECT_EQ(read(RegCode::RegSz, "x", "L"), "failed ");                      // no such key
  EXPECT_EQ(read(RegCode::RegSz, "x", "K", "W"), "failed ");                 // no such value
}

#ifndef _WIN32
// Off Windows the first key answers with the desktop's own tool, found on PATH.
TEST(DesktopRegistryTest, StartsTheDesktopsToolOrSaysItIsUnavailable) {
  std::string dir = (std::filesystem::temp_directory_path() / "quillfort-sysinfo-XXXXXX").string();
  ASSERT_NE(mkdtemp(dir.data()), nullptr);
  std::ofstream(dir + "/kinfocenter") << "#!/bin/sh\n"; // not executable: passed over
  std::ofstream(dir + "/hardinfo") << "#!/bin/sh\n";
  std::filesystem::permissions(dir + "/hardinfo", std::filesystem::perms::owner_all);
  FakeSystem system;
  for (const std::string& searchPath : {dir + "/none:" + dir, dir + "/none"}) {
    DesktopRegistry registry([&] { return searchPath; });
    StartSysInfo(registry, system.calls());
  }
  EXPECT_EQ(system.events, (Events{"start " + dir + "/hardinfo", kUnavailable}));
  std::filesystem::remove_all(dir);
}
#else
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
  FakeSystem system;
  SysInfoCalls calls = system.calls();
  calls.fileExists = [](const std::string& path) { return std::filesystem::exists(path); };
  StartSysInfo(Registry::system(), calls);
  EXPECT_EQ(system.events, expected.at(which));
}
#endif
