#include <gtest/gtest.h>

#include <cstdlib>

#include "CRegistry.h"
#include "RegistryFixture.h"

namespace azuz {
namespace {

using test::RegEncoding;

const char* const kKey = "Software\\ORVELIX\\QPT-L712\\KDW\\Custom";

// The same content must read the same from every header and encoding.
const char* const kStoredSettings =
    "; stored by the maker's installer\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\ORVELIX\\QPT-L712\\KDW\\Custom]\r\n"
    "\"Port\"=\"COM3\"\r\n"
    "\"BaudRate\"=dword:00004b00\r\n"
    "\"Big\"=hex(5):00,00,00,01\r\n"
    "\"Expand\"=hex(2):25,00,53,00,59,00,53,00,25,00,5c,00,78,00,00,00\r\n"
    "\"Quoted\"=\"a\\\\b\\\"c\"\r\n"
    "\"Empty\"=\"\"\r\n"
    "@=\"default\"\r\n"
    "\"Name\"=\"M\xC3\xBCller\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\ORVELIX\\QPT-L712\\KDW\\Custom\\Sub]\r\n";

class RegistryEncodings : public ::testing::TestWithParam<RegEncoding> {
 protected:
  std::string Write(const std::string& body) {
    // REGEDIT4 files are code-page text and hold 8-bit hex(2) data.
    std::string text = body;
    if (GetParam() == RegEncoding::Ansi) {
      text.replace(text.find("M\xC3\xBCller"), 7, "M\xFCller");
      const std::string wide = "25,00,53,00,59,00,53,00,25,00,5c,00,78,00,00,00";
      text.replace(text.find(wide), wide.size(), "25,53,59,53,25,5c,78,00");
    }
    return test::WriteRegFile(dir, "store.reg", text, GetParam());
  }
  test::TempDir dir;
};

TEST_P(RegistryEncodings, ReadsTypedValuesAlike) {
  CRegistry reg(RegRoot::LocalMachine, Write(kStoredSettings));
  EXPECT_EQ(reg.Store().SkippedLines(), 0) << reg.Store().LastError();
  std::string text;
  ASSERT_TRUE(reg.ReadString(kKey, "Port", text));
  EXPECT_EQ(text, "COM3");
  std::int32_t number = 0;
  ASSERT_TRUE(reg.ReadDword(kKey, "BaudRate", number));
  EXPECT_EQ(number, 19200);
  // Big-endian dwords are read as stored, without a byte swap.
  ASSERT_TRUE(reg.ReadDword(kKey, "Big", number));
  EXPECT_EQ(number, 0x01000000);
  ASSERT_TRUE(reg.ReadString(kKey, "Expand", text));
  EXPECT_EQ(text, "%SYS%\\x");
  if (GetParam() != RegEncoding::Ansi) {
    ASSERT_TRUE(reg.ReadString(kKey, "Quoted", text));
    EXPECT_EQ(text, "a\\b\"c");
  }
  ASSERT_TRUE(reg.ReadString(kKey, "Empty", text));
  EXPECT_EQ(text, "");
  ASSERT_TRUE(reg.ReadString(kKey, "", text));
  EXPECT_EQ(text, "default");
  ASSERT_TRUE(reg.ReadString(kKey, "Name", text));
  EXPECT_EQ(text, "M\xFCller");  // the system code page, Windows-1252
}

TEST_P(RegistryEncodings, NamesMatchWithoutCase) {
  CRegistry reg(RegRoot::LocalMachine, Write(kStoredSettings));
  std::string text;
  EXPECT_TRUE(reg.ReadString("SOFTWARE\\orvelix\\qpt-l712\\kdw\\CUSTOM", "pORT", text));
  EXPECT_EQ(text, "COM3");
}

INSTANTIATE_TEST_SUITE_P(Headers, RegistryEncodings,
                         ::testing::Values(RegEncoding::Ansi, RegEncoding::Utf8,
                                           RegEncoding::Utf16));

class RegistryTypes : public ::testing::Test {
 protected:
  CRegistry Load(const std::string& body) {
    return CRegistry(
        RegRoot::LocalMachine,
        test::WriteRegFile(dir, "t.reg", "[HKEY_LOCAL_MACHINE\\K]\n" + body, RegEncoding::Utf8));
  }
  test::TempDir dir;
};

TEST_F(RegistryTypes, MismatchedTypesFailAndLeaveOutputs) {
  CRegistry reg = Load(
      "\"S\"=\"17\"\n\"D\"=dword:00000011\n\"B\"=hex:01,02,03,04\n\"Short\"=hex(4):01,02\n"
      "\"Multi\"=hex(7):61,00,00,00,00,00\n\"Link\"=hex(6):61,00,62,00\n");
  std::int32_t number = -5;
  EXPECT_FALSE(reg.ReadDword("K", "S", number));
  EXPECT_FALSE(reg.ReadDword("K", "B", number));
  EXPECT_FALSE(reg.ReadDword("K", "Short", number));  // fewer than four bytes
  EXPECT_FALSE(reg.ReadDword("K", "Missing", number));
  EXPECT_FALSE(reg.ReadDword("Nowhere", "D", number));
  EXPECT_EQ(number, -5);
  std::string text = "unchanged";
  EXPECT_FALSE(reg.ReadString("K", "D", text));
  EXPECT_FALSE(reg.ReadString("K", "B", text));
  EXPECT_FALSE(reg.ReadString("K", "Multi", text));
  EXPECT_EQ(text, "unchanged");
  EXPECT_TRUE(reg.ReadString("K", "Link", text));
  EXPECT_EQ(text, "ab");  // no NUL stored: the text ends with the data
}

TEST_F(RegistryTypes, TextEndsAtFirstNul) {
  CRegistry reg = Load("\"T\"=hex(1):61,00,62,00,00,00,63,00,00,00\n\"Odd\"=hex(1):61,00,62\n");
  std::string text;
  ASSERT_TRUE(reg.ReadString("K", "T", text));
  EXPECT_EQ(text, "ab");
  ASSERT_TRUE(reg.ReadString("K", "Odd", text));
  EXPECT_EQ(text, "a");
}

TEST_F(RegistryTypes, KeyCountsCountValuesAndSubKeysUnderLocalMachine) {
  const std::string path = test::WriteRegFile(dir, "c.reg",
                                              "[HKEY_LOCAL_MACHINE\\Two\\A]\n"
                                              "[HKEY_LOCAL_MACHINE\\Two\\B\\Deeper]\n"
                                              "[HKEY_LOCAL_MACHINE\\Neither]\n"
                                              "[HKEY_LOCAL_MACHINE\\Values]\n\"x\"=\"1\"\n",
                                              RegEncoding::Ansi);
  // Counts are taken under HKEY_LOCAL_MACHINE even for an instance made with another root.
  CRegistry reg(RegRoot::CurrentUser, path);
  std::uint32_t values = 9;
  std::uint32_t subKeys = 9;
  EXPECT_TRUE(reg.GetKeyCounts("Two", &values, &subKeys));
  EXPECT_EQ(values, 0u);
  EXPECT_EQ(subKeys, 2u);
  values = subKeys = 9;
  EXPECT_FALSE(reg.GetKeyCounts("Neither", &values, &subKeys));
  EXPECT_EQ(values, 0u);
  EXPECT_EQ(subKeys, 0u);
  values = subKeys = 9;
  EXPECT_FALSE(reg.GetKeyCounts("Missing", &values, &subKeys));
  EXPECT_EQ(values + subKeys, 0u);
  EXPECT_TRUE(reg.GetKeyCounts("Values", &values, nullptr));
  EXPECT_EQ(values, 1u);
}

TEST_F(RegistryTypes, DeletionsAndRedefinitions) {
  CRegistry reg = Load(
      "\"Gone\"=\"1\"\n\"Kept\"=\"1\"\n\"Kept\"=\"2\"\n\"Gone\"=-\n"
      "[HKEY_LOCAL_MACHINE\\K\\Sub\\Leaf]\n\"x\"=\"1\"\n"
      "[-HKEY_LOCAL_MACHINE\\K\\SUB]\n"
      "[HKEY_LOCAL_MACHINE\\K]\n\"After\"=\"yes\"\n");
  std::string text;
  EXPECT_FALSE(reg.ReadString("K", "Gone", text));
  ASSERT_TRUE(reg.ReadString("K", "Kept", text));
  EXPECT_EQ(text, "2");
  EXPECT_FALSE(reg.ReadString("K\\Sub\\Leaf", "x", text));
  std::vector<std::string> names{"stale"};
  EXPECT_TRUE(reg.EnumSubKeys("K", names));
  EXPECT_TRUE(names.empty());
  EXPECT_TRUE(reg.ReadString("K", "After", text));
}

TEST_F(RegistryTypes, HexDataContinuesOverLines) {
  CRegistry reg = Load(
      "\"Bin\"=hex(2):41,00,42,00,\\\n"
      "  43,00,\\\n"
      "  44,00,00,00\n"
      "\"Next\"=dword:00000007 ; trailing comment\n");
  std::string text;
  ASSERT_TRUE(reg.ReadString("K", "Bin", text));
  EXPECT_EQ(text, "ABCD");
  std::int32_t number = 0;
  ASSERT_TRUE(reg.ReadDword("K", "Next", number));
  EXPECT_EQ(number, 7);
}

TEST_F(RegistryTypes, MalformedLinesAreSkippedNotFatal) {
  CRegistry reg = Load(
      "\"A\"=\"1\"\n"
      "garbage here\n"
      "\"Unterminated=\"x\"\n"
      "\"TooLong\"=dword:123456789\n"
      "\"BadHex\"=hex:0g\n"
      "\"NoComma\"=hex:01 02\n"
      "\"NoEquals\" \"x\"\n"
      "[HKEY_NOWHERE\\X]\n"
      "\"Orphan\"=\"1\"\n"
      "[HKEY_LOCAL_MACHINE\\K]\n"
      "\"B\"=\"2\"\n");
  const RegistryStore& store = reg.Store();
  EXPECT_EQ(store.SkippedLines(), 8);
  EXPECT_EQ(store.LastError().rfind("line 5:", 0), 0u) << store.LastError();
  std::string text;
  EXPECT_TRUE(reg.ReadString("K", "A", text));
  EXPECT_TRUE(reg.ReadString("K", "B", text));
  std::int32_t number = 0;
  EXPECT_FALSE(reg.ReadDword("K", "TooLong", number));
  EXPECT_FALSE(reg.ReadString("X", "Orphan", text));
}

TEST(RegistryFile, MissingFileIsAnEmptyStore) {
  test::TempDir dir;
  const RegistryStore store = RegistryStore::LoadFile(dir / "absent.reg");
  EXPECT_EQ(store.LastError(), "");
  EXPECT_EQ(store.FindKey(RegRoot::LocalMachine, "Software"), nullptr);
}

TEST(RegistryFile, UnreadableOrHeaderlessFilesAreEmptyWithAReason) {
  test::TempDir dir;
  EXPECT_NE(RegistryStore::LoadFile(dir.Path().string()).LastError(), "");
  const std::string noHeader = dir / "plain.reg";
  std::ofstream(noHeader) << "[HKEY_LOCAL_MACHINE\\K]\n\"A\"=\"1\"\n";
  const RegistryStore store = RegistryStore::LoadFile(noHeader);
  EXPECT_NE(store.LastError().find("not a registry file"), std::string::npos);
  EXPECT_EQ(store.FindKey(RegRoot::LocalMachine, "K"), nullptr);
}

TEST(RegistryFile, EndlessInputIsRefusedWithinTheLimit) {
  const RegistryStore store = RegistryStore::LoadFile("/dev/zero");
  EXPECT_NE(store.LastError().find("larger than"), std::string::npos) << store.LastError();
}

TEST(RegistryFile, OverlongAndOverdeepKeysAreSkipped) {
  std::string deep = "[HKEY_LOCAL_MACHINE";
  for (int i = 0; i < 513; ++i) {
    deep += "\\k";
  }
  const RegistryStore store = RegistryStore::Parse(
      "REGEDIT4\n" + deep + "]\n[HKEY_LOCAL_MACHINE\\" + std::string(256, 'n') + "]\n");
  EXPECT_EQ(store.SkippedLines(), 2);
  EXPECT_EQ(store.FindKey(RegRoot::LocalMachine, "k"), nullptr);
}

TEST(RegistryFile, PathComesFromTheEnvironment) {
  test::TempDir dir;
  const std::string path = test::WriteRegFile(
      dir, "env.reg", "[HKEY_LOCAL_MACHINE\\E]\n\"v\"=\"env\"\n", RegEncoding::Ansi);
  const char* old = std::getenv("AZUZ_REGISTRY");
  const std::string saved = old != nullptr ? old : "";
  unsetenv("AZUZ_REGISTRY");
  EXPECT_EQ(RegistryFilePath(), "/etc/vurodadud-azuz/registry.reg");
  setenv("AZUZ_REGISTRY", path.c_str(), 1);
  std::string text;
  EXPECT_TRUE(CRegistry(RegRoot::LocalMachine).ReadString("E", "v", text));
  EXPECT_EQ(text, "env");
  if (old != nullptr) {
    setenv("AZUZ_REGISTRY", saved.c_str(), 1);
  } else {
    unsetenv("AZUZ_REGISTRY");
  }
}

}  // namespace
}  // namespace azuz
