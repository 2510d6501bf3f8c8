// The control behaviour suite against the Win32 controls, on the display's real screen.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/ui_win32.h"
#include "tests/support/control_behaviours.h"

namespace sorel::test {
namespace {

// The user's actions wait in the message queue; the form's modal loop reads them.
class Win32ModalUser : public ModalUser {
 public:
  void ClickWhenShown(Form&, Button& button) override {
    HWND hwnd = HandleOf(button);
    PostMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd));
  }
  void CloseWhenShown(Form& form) override { PostMessageA(HandleOf(form), WM_CLOSE, 0, 0); }
};

class Win32ControlBehaviour : public testing::TestWithParam<ControlBehaviour> {
 protected:
  Win32Application app{GetModuleHandleA(nullptr)};
  Win32Ui ui{app};
  Win32ModalUser user;
};

TEST_P(Win32ControlBehaviour, AsTheInMemoryControlDoes) {
  ControlBackend backend{ui, app, user};
  GetParam().check(backend);
  // Nothing the test posted is left for the next one.
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

INSTANTIATE_TEST_SUITE_P(Suite, Win32ControlBehaviour, testing::ValuesIn(ControlBehaviours()),
                         [](const testing::TestParamInfo<ControlBehaviour>& info) { return info.param.name; });

}  // namespace
}  // namespace sorel::test
