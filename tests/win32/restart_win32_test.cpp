// The restart's privilege step against this process's real token (the restart itself is never asked).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/restart_win32.h"
#include "platform/win32/system_error_win32.h"

namespace sorel {
namespace {

// Sets or reads the shutdown privilege of this process's token directly, to see what the class did.
class ShutdownPrivilege : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token));
    ASSERT_TRUE(LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &luid));
  }
  void TearDown() override { CloseHandle(token); }

  void Set(bool enabled) {
    TOKEN_PRIVILEGES tp = {};
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Luid = luid;
    tp.Privileges[0].Attributes = enabled ? SE_PRIVILEGE_ENABLED : 0;
    ASSERT_TRUE(AdjustTokenPrivileges(token, FALSE, &tp, sizeof(tp), nullptr, nullptr));
  }
  // Whether the token holds the privilege and it is switched on.
  bool Enabled() {
    DWORD size = 0;
    GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) return false;
    auto* list = reinterpret_cast<TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < list->PrivilegeCount; ++i) {
      const LUID_AND_ATTRIBUTES& p = list->Privileges[i];
      if (p.Luid.LowPart == luid.LowPart && p.Luid.HighPart == luid.HighPart)
        return (p.Attributes & SE_PRIVILEGE_ENABLED) != 0;
    }
    return false;
  }

  HANDLE token = nullptr;
  LUID luid = {};
};

TEST_F(ShutdownPrivilege, EnablesThePrivilegeThatWasOff) {
  Set(false);
  ASSERT_FALSE(Enabled()) << "the token must start without the privilege switched on";
  std::string error;
  EXPECT_TRUE(EnableShutdownPrivilege(error)) << error;
  EXPECT_TRUE(Enabled());
  // Asking again, with the privilege already on, still succeeds.
  EXPECT_TRUE(EnableShutdownPrivilege(error)) << error;
  EXPECT_TRUE(Enabled());
  Set(false);
}

// A refusal is shown in the system's words, without the line break they end with; a code the
// system has no words for gives the fallback.
TEST(SystemErrorText, TheSystemsWordsOrTheFallback) {
  const std::string privilege = SystemErrorText(ERROR_PRIVILEGE_NOT_HELD, "fallback");
  EXPECT_NE(privilege, "fallback");
  EXPECT_FALSE(privilege.empty() || privilege.back() == '\n' || privilege.back() == '\r' || privilege.back() == ' ');
  EXPECT_EQ(SystemErrorText(0, "fallback"), "fallback");
  EXPECT_EQ(SystemErrorText(0x20001234, "fallback"), "fallback") << "an application's own code";
}

}  // namespace
}  // namespace sorel
