#include "about/SysInfo.h"
#include "support/FakeRegistry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

const std::string kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kInFolder = "C:\\Shared\\MSINFO32.EXE";
const std::string kUnavailable = "System Information Is Unavailable At This Time|0|Quillfort";

// StartSysInfo's system: kInFolder exists when toolThere, a start works when
// startWorks, and events gets "start <path>" or "<prompt>|<style>|<title>".
struct FakeSystem {
  bool toolThere = true, startWorks = true;
  std::vector<std::string> events = {};

  SysInfoCalls calls() {
    return {[this](const std::string& path) { return toolThere && path == kInFolder; },
            [this](const std::string& path) {
              events.push_back("start " + path);
              return startWorks;
            },
            [this](const std::string& prompt, int style, const std::string& title) {
              events.push_back(prompt + "|" + std::to_string(style) + "|" + title);
            }};
  }
};

TEST(StartSysInfo, StartsTheRegisteredToolOrSaysItIsUnavailable) {
  const std::string tool = "C:\\Tools\\msinfo.exe";
  struct Case {
    bool first, second;
    FakeSystem system;
    std::vector<std::string> events;
  } cases[] = {
      {true, true, {}, {"start " + tool}}, // the second key is not even opened
      {false, true, {}, {"start " + kInFolder}},
      {false, true, {false}, {kUnavailable}},
      {false, false, {}, {kUnavailable}},
      {true, false, {true, false}, {"start " + tool, kUnavailable}}, // the start fails
  };
  for (Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << &c - cases);
    FakeRegistry registry;
    registry.setString(c.first ? kToolKey : "Elsewhere", "PATH", tool);
    registry.setString(c.second ? "SOFTWARE\\Microsoft\\Shared Tools Location" : "Elsewhere", "MSINFO",
                       "C:\\Shared");
    StartSysInfo(registry, c.system.calls());
    EXPECT_EQ(c.system.events, c.events);
    EXPECT_EQ(registry.accessMasks.size(), c.first ? 1u : 2u);
  }
}

TEST(GetKeyValue, ReadsTheValueAsTextOrFails) {
  struct Case {
    const char *key, *value;
    std::uint32_t type;
    std::string bytes, text; // text: KeyVal afterwards, "before" on entry
    bool ok;
  } cases[] = {
      {"K", "V", RegCode::RegSz, std::string("C:\\x", 5), "C:\\x", true},
      {"K", "V", RegCode::RegDword, std::string("\x02\x01\0\0", 4), "&h102", true},
      {"K", "V", RegCode::RegExpandSz, std::string("%Tmp%", 6), "before", true},
      {"K", "V", RegCode::RegSz, std::string(1024, 'y') + '\0', "", false}, // longer than the buffer
      {"L", "V", RegCode::RegSz, "x", "", false},                           // no such key
      {"K", "W", RegCode::RegSz, "x", "", false},                           // no such value
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << &c - cases);
    FakeRegistry registry;
    registry.keys["K"]["V"] = {c.type, c.bytes};
    std::string KeyVal = "before";
    EXPECT_EQ(GetKeyValue(registry, RegCode::HKeyLocalMachine, c.key, c.value, KeyVal), c.ok);
    EXPECT_EQ(KeyVal, c.text);
    EXPECT_TRUE(registry.open.empty());
    EXPECT_EQ(registry.accessMasks, std::vector<std::uint32_t>{0x2003F});
  }
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
  EXPECT_EQ(system.events, (std::vector<std::string>{"start " + dir + "/hardinfo", kUnavailable}));
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
  const std::map<std::string, std::vector<std::string>> expected{
      {"both", {"start C:\\Tools\\msinfo.exe"}},
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
