// The control behaviour suite against the Win32 controls, on the display's real screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "ui/win32/ui_win32.h"
#include "tests/support/control_behaviours.h"

namespace sorel::test {
namespace {

// The user's actions wait in the message queue; the form's modal loop reads them. Events from
// outside arrive as messages to a hidden window of their own, as the network's do.
class Win32ModalUser : public ModalUser {
 public:
  Win32ModalUser() {
    WNDCLASSA wc{0, EventProc, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr, "SorelTestEvents"};
    RegisterClassA(&wc);
    events_ = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  }
  ~Win32ModalUser() override { DestroyWindow(events_); }
  void ClickWhenShown(Form&, Button& button) override {
    HWND hwnd = HandleOf(button);
    PostMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd));
  }
  void CloseWhenShown(Form& form) override { PostMessageA(HandleOf(form), WM_CLOSE, 0, 0); }
  void PressEnterWhenShown(Form& form) override { PostMessageA(HandleOf(form), WM_KEYDOWN, VK_RETURN, 0); }
  void RunWhenShown(std::function<void()> event) override {
    PostMessageA(events_, WM_APP, 0, reinterpret_cast<LPARAM>(new std::function<void()>(std::move(event))));
  }

 private:
  static LRESULT CALLBACK EventProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_APP) return DefWindowProcA(hwnd, msg, wParam, lParam);
    std::unique_ptr<std::function<void()>> event(reinterpret_cast<std::function<void()>*>(lParam));
    (*event)();
    return 0;
  }
  HWND events_ = nullptr;
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
