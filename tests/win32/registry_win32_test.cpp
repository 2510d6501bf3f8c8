// Win32Registry against the real registry, on a scratch key under HKEY_CURRENT_USER: the checks
// every registry must pass, and what only the real one shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/win32/registry_win32.h"
#include "tests/support/registry_contract.h"

namespace sorel {
namespace {

const std::string kParent = "Software\\Velmora\\SorelAssistantTests";

class RealRegistry : public testing::Test {
 protected:
  void SetUp() override {
    path = kParent + "\\" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount());
  }
  void TearDown() override {
    DeleteTree(path);
    // Parents go only when nothing else lives under them.
    RegDeleteKeyA(HKEY_CURRENT_USER, kParent.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmora");
  }
  static void DeleteTree(const std::string& key) {
    for (const char* sub : {"\\inner\\deeper", "\\inner", ""}) RegDeleteKeyA(HKEY_CURRENT_USER, (key + sub).c_str());
  }
  std::unique_ptr<RegistryKey> Create() { return registry.Open(RegRoot::CurrentUser, path, true); }
  // Stores a value of any type, as another program would.
  void SetRaw(const std::string& name, DWORD type, const std::string& bytes) {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }

  Win32Registry registry;
  std::string path;
};

TEST_F(RealRegistry, TheFontTableIsOpenWithFullAccessInOurOwnView) {
  auto key = registry.Open(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes", false);
  ASSERT_NE(key, nullptr);
  auto values = key->Values();
  EXPECT_TRUE(std::any_of(values.begin(), values.end(),
                          [](const RegValueInfo& v) { return v.name == "Arial CE,238" && v.type == RegType::String; }));
  EXPECT_EQ(key->ReadString("Arial CE,238"), "Arial,238");
}

// Values written in Unicode by another program: those whose name or text the ANSI code page
// cannot hold, exactly and without look-alikes, are reported as inexact.
TEST_F(RealRegistry, ValuesTellWhichTheCodePageHoldsExactly) {
  ASSERT_NE(Create(), nullptr);
  const bool westernLetters = GetACP() == 1252 || GetACP() == 1250;  // both hold é
  struct Case {
    const wchar_t* name;
    DWORD type;
    const wchar_t* text;
    bool exact;
  };
  const Case cases[] = {
      {L"1 Plain", REG_SZ, L"Arial", true},
      {L"2 Alpha \x03A9", REG_SZ, L"Alpha", false},                  // a Greek letter in the name
      {L"3 MS Mincho", REG_SZ, L"\xFF2D\xFF33 \x660E\x671D", false},   // CJK in the text only
      {L"4 Macron \x0100", REG_SZ, L"x", false},                      // best fit would make it "A"
      {L"5 Number \x03A9", REG_DWORD, L"", false},                    // a name is a name whatever the type
      {L"6 Bytes", REG_BINARY, L"\xFF2D", true},                      // binary data is not text
      {L"7 Caf\x00E9", REG_SZ, L"\x00E9", westernLetters},
  };
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  for (const auto& c : cases) {
    const std::wstring text = c.text;
    const DWORD number = 7;
    const BYTE* data = c.type == REG_DWORD ? reinterpret_cast<const BYTE*>(&number)
                                           : reinterpret_cast<const BYTE*>(text.c_str());
    const DWORD size = c.type == REG_DWORD ? sizeof(number) : static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    ASSERT_EQ(RegSetValueExW(key, c.name, 0, c.type, data, size), ERROR_SUCCESS);
  }
  RegCloseKey(key);

  // Each name begins with its case's number, which every code page holds.
  const auto values = registry.Open(RegRoot::CurrentUser, path, false)->Values();
  ASSERT_EQ(values.size(), std::size(cases));
  for (const auto& value : values) {
    const Case& c = cases[value.name[0] - '1'];
    EXPECT_EQ(value.exact, c.exact) << value.name;
    EXPECT_EQ(value.type, c.type) << value.name;
    if (c.exact) EXPECT_EQ(std::wstring(value.name.begin(), value.name.end()).substr(0, 3), std::wstring(c.name).substr(0, 3));
  }
}

// The checks every registry must pass, against the real one on the scratch key.
class RealRegistryContract : public RealRegistry, public testing::WithParamInterface<test::RegistryContractCase> {};

TEST_P(RealRegistryContract, Holds) {
  test::RegistryUnderTest r{registry, path,
                            [&](const std::string& name, std::uint32_t type, const std::string& bytes) {
                              SetRaw(name, type, bytes);
                            },
                            [&] { ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str()), ERROR_SUCCESS); }};
  GetParam().check(r);
}

INSTANTIATE_TEST_SUITE_P(Registry, RealRegistryContract, testing::ValuesIn(test::RegistryContractCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sorel
