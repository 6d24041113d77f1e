#include "about/SysInfo.h"
#include "support/FakeRegistry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

const std::string kFirstKey = gREGKEYSYSINFO;
const std::string kSecondKey = gREGKEYSYSINFOLOC;

// The system around StartSysInfo: files that exist, programs that start.
struct FakeSystem {
  std::set<std::string> files;
  bool startWorks = true;
  std::vector<std::string> started;
  std::vector<std::string> messages; // "prompt|style|title"

  SysInfoCalls calls() {
    SysInfoCalls c;
    c.fileExists = [this](const std::string& path) { return files.count(path) > 0; };
    c.startProgram = [this](const std::string& path) {
      started.push_back(path);
      return startWorks;
    };
    c.messageBox = [this](const std::string& prompt, int style, const std::string& title) {
      messages.push_back(prompt + "|" + std::to_string(style) + "|" + title);
    };
    return c;
  }
};

const std::string kUnavailable = "System Information Is Unavailable At This Time|0|Quillfort";

struct StartCase {
  const char* name;
  const char* first;  // the tool's registered path, or none
  const char* second; // the tool's registered folder, or none
  std::set<std::string> files;
  bool startWorks;
  std::vector<std::string> started;
  bool message;
};

const std::string kLong(1024, 'x'); // with its terminator one byte more than the buffer

class StartSysInfoTest : public testing::TestWithParam<StartCase> {};

TEST_P(StartSysInfoTest, StartsTheToolOrSaysItIsUnavailable) {
  const StartCase& c = GetParam();
  FakeRegistry registry;
  if (c.first)
    registry.setString(kFirstKey, "PATH", c.first);
  if (c.second)
    registry.setString(kSecondKey, "MSINFO", c.second);
  FakeSystem system;
  system.files = c.files;
  system.startWorks = c.startWorks;

  StartSysInfo(registry, system.calls());

  EXPECT_EQ(system.started, c.started);
  EXPECT_EQ(system.messages, c.message ? std::vector<std::string>{kUnavailable} : std::vector<std::string>{});
  EXPECT_EQ(registry.keysOpen, 0);
  // A path from the first key ends the lookup: the second is not even read.
  if (c.first && c.first != kLong) {
    EXPECT_EQ(registry.queried, std::vector<std::string>{kFirstKey + "|PATH"});
  }
  for (std::uint32_t mask : registry.accessMasks)
    EXPECT_EQ(mask, 0x2003Fu);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartSysInfoTest,
    testing::Values(
        // The second key is not even read when the first gives a path.
        StartCase{"BothKeys",
                  "C:\\Tools\\msinfo.exe",
                  "C:\\Shared",
                  {"C:\\Shared\\MSINFO32.EXE"},
                  true,
                  {"C:\\Tools\\msinfo.exe"},
                  false},
        // The first key's path is started without looking for the file.
        StartCase{"OnlyFirstFileMissing",
                  "C:\\Gone\\msinfo.exe",
                  nullptr,
                  {},
                  true,
                  {"C:\\Gone\\msinfo.exe"},
                  false},
        StartCase{"OnlySecondWithTool",
                  nullptr,
                  "C:\\Shared",
                  {"C:\\Shared\\MSINFO32.EXE"},
                  true,
                  {"C:\\Shared\\MSINFO32.EXE"},
                  false},
        StartCase{
            "OnlySecondWithoutTool", nullptr, "C:\\Shared", {"C:\\Other\\MSINFO32.EXE"}, true, {}, true},
        StartCase{"Neither", nullptr, nullptr, {}, true, {}, true},
        StartCase{"FirstTooLong",
                  kLong.c_str(),
                  "C:\\Shared",
                  {"C:\\Shared\\MSINFO32.EXE"},
                  true,
                  {"C:\\Shared\\MSINFO32.EXE"},
                  false},
        StartCase{
            "StartFails", "C:\\Tools\\msinfo.exe", nullptr, {}, false, {"C:\\Tools\\msinfo.exe"}, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct ValueCase {
  const char* name;
  std::uint32_t type;
  std::string bytes;
  bool ok;
  std::string text; // KeyVal afterwards; it was "before" on entry
};

class GetKeyValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(GetKeyValueTest, ReadsTheValue) {
  const ValueCase& c = GetParam();
  FakeRegistry registry;
  registry.keys["K"]["V"] = {c.type, c.bytes};
  std::string KeyVal = "before";
  EXPECT_EQ(GetKeyValue(registry, RegCode::HKeyLocalMachine, "K", "V", KeyVal), c.ok);
  EXPECT_EQ(KeyVal, c.text);
  EXPECT_EQ(registry.keysOpen, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GetKeyValueTest,
    testing::Values(
        ValueCase{"String", RegCode::RegSz, std::string("C:\\x", 5), true, "C:\\x"},
        ValueCase{"StringWithoutTerminator", RegCode::RegSz, "abc", true, "abc"},
        ValueCase{"EmptyString", RegCode::RegSz, std::string(1, '\0'), true, ""},
        ValueCase{"FillsTheBuffer", RegCode::RegSz, std::string(1023, 'y') + '\0', true,
                  std::string(1023, 'y')},
        ValueCase{"LongerThanTheBuffer", RegCode::RegSz, std::string(1024, 'y') + '\0', false, ""},
        ValueCase{"Dword", RegCode::RegDword, std::string("\x02\x01\0\0", 4), true, "&h102"},
        ValueCase{"DwordZero", RegCode::RegDword, std::string(4, '\0'), true, "&h0"},
        ValueCase{"DwordFull", RegCode::RegDword, "\xEF\xBE\xAD\xDE", true, "&hDEADBEEF"},
        ValueCase{"OtherTypeKeepsTheText", RegCode::RegExpandSz, std::string("%Tmp%", 6), true, "before"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GetKeyValue, MissingKeyOrValueEmptiesTheText) {
  FakeRegistry registry;
  registry.setString("K", "V", "text");
  for (const auto& [key, value] : {std::pair{"K", "W"}, std::pair{"L", "V"}}) {
    std::string KeyVal = "before";
    EXPECT_FALSE(GetKeyValue(registry, RegCode::HKeyLocalMachine, key, value, KeyVal));
    EXPECT_EQ(KeyVal, "");
  }
  EXPECT_EQ(registry.keysOpen, 0);
}

#ifndef _WIN32
// Off Windows the first lookup finds the desktop's own tool on PATH.
TEST(DesktopRegistryTest, AnswersWithTheDesktopsTool) {
  namespace fs = std::filesystem;
  std::string pattern = (fs::temp_directory_path() / "quillfort-sysinfo-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path root = pattern;
  const auto tool = [&](const char* folder, const char* name, bool executable) {
    fs::create_directories(root / folder);
    std::ofstream(root / folder / name) << "#!/bin/sh\n";
    fs::permissions(root / folder / name, executable ? fs::perms::owner_all : fs::perms::owner_read);
  };
  tool("a", "kinfocenter", false); // not executable: passed over
  tool("a", "hardinfo", true);
  const std::string searchPath = (root / "a").string() + ":" + (root / "b").string();
  EXPECT_EQ(DesktopRegistry::findSystemInfoTool(searchPath), (root / "a" / "hardinfo").string());
  tool("b", "kinfocenter", true); // KDE's own comes first
  EXPECT_EQ(DesktopRegistry::findSystemInfoTool(searchPath), (root / "b" / "kinfocenter").string());

  std::string pathNow = searchPath;
  DesktopRegistry registry([&] { return pathNow; });
  FakeSystem system;
  StartSysInfo(registry, system.calls());
  EXPECT_EQ(system.started, std::vector<std::string>{(root / "b" / "kinfocenter").string()});
  EXPECT_TRUE(system.messages.empty());

  pathNow = (root / "none").string();
  system.started.clear();
  StartSysInfo(registry, system.calls());
  EXPECT_TRUE(system.started.empty());
  EXPECT_EQ(system.messages, std::vector<std::string>{kUnavailable});
  fs::remove_all(root);
}
#endif

#ifdef _WIN32
// Against the real registry. ./test-windows creates the keys of one case, names
// it in QUILLFORT_REGISTRY_CASE and the tool's folder in QUILLFORT_SYSINFO_DIR,
// then runs this test; elsewhere it is skipped.
TEST(RealRegistryTest, FindsTheToolAsRegistered) {
  const char* name = std::getenv("QUILLFORT_REGISTRY_CASE");
  if (!name)
    GTEST_SKIP() << "no registry case set up";
  const std::string which = name;
  const char* dir = std::getenv("QUILLFORT_SYSINFO_DIR");
  const std::string folder = dir ? dir : "";

  FakeSystem system;
  SysInfoCalls calls = system.calls();
  calls.fileExists = [](const std::string& path) { return std::filesystem::exists(path); };
  StartSysInfo(Registry::system(), calls);

  std::string value = "before";
  const bool read = GetKeyValue(RegCode::HKeyLocalMachine, gREGKEYSYSINFO, gREGVALSYSINFO, value);
  if (which == "both") {
    EXPECT_EQ(system.started, std::vector<std::string>{"C:\\Tools\\msinfo.exe"});
  } else if (which == "second") {
    EXPECT_EQ(system.started, std::vector<std::string>{folder + "\\MSINFO32.EXE"});
  } else if (which == "second-without-tool" || which == "neither") {
    EXPECT_EQ(system.messages, std::vector<std::string>{kUnavailable});
  } else if (which == "dword") {
    EXPECT_TRUE(read);
    EXPECT_EQ(value, "&h102");
  } else if (which == "long") {
    EXPECT_FALSE(read);
    EXPECT_EQ(value, "");
    EXPECT_EQ(system.messages, std::vector<std::string>{kUnavailable});
  } else {
    FAIL() << "unknown registry case " << which;
  }
  if (which == "both" || which == "second") {
    EXPECT_TRUE(system.messages.empty());
  }
}
#endif

} // namespace
